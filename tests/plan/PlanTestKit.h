#pragma once

#include "TestProgram.h"
#include "WidgetDriver.h"

#include "core/Sql.h"
#include "plan/frmIPAddressSettings.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QSqlRecord>
#include <QTabWidget>
#include <QTest>

// The windows of the address plan over a test program folder, driven by the names of their controls.
namespace tarvo::test {

template <class Window>
struct PlanWindow
{
    ~PlanWindow() { delete window; }

    template <class... Args>
    void open(Args&&... args)
    {
        window = new Window(program.context, std::forward<Args>(args)...);
        window->show();
        QApplication::setActiveWindow(window);
        if (!QTest::qWaitForWindowActive(window))
            qFatal("the window does not come up");
    }
    void exec(const QString& sql) const
    {
        if (!execSql(program.database.handle(), sql))
            qFatal("cannot run %s", qPrintable(sql));
    }
    // The values of a query's first row, as texts joined by "|".
    QString row(const QString& sql) const
    {
        auto query = runSql(program.database.handle(), sql);
        QStringList values;
        if (query && query->next())
            for (int i = 0; i < query->record().count(); ++i)
                values << (query->value(i).isNull() ? QStringLiteral("NULL") : query->value(i).toString());
        return values.join(QLatin1Char('|'));
    }
    int count(const QString& table) const
    {
        return row(QStringLiteral("SELECT count(*) FROM ") + table).toInt();
    }

    template <class T>
    T* child(const char* name) const
    {
        return test::child<T>(window, name);
    }
    // The text of a label or of a field.
    QString text(const char* name) const
    {
        if (auto* label = window->template findChild<QLabel*>(QLatin1String(name)))
            return label->text();
        return child<QLineEdit>(name)->text();
    }
    bool enabled(const char* name) const { return child<QWidget>(name)->isEnabled(); }
    bool visible(const char* name) const { return child<QWidget>(name)->isVisible(); }
    void type(const char* name, const QString& text) const { test::type(window, name, text); }
    void click(const char* name) const { test::click(window, name); }
    QStringList messages() const { return program.messenger.texts(); }
    QStringList listed(const char* list) const
    {
        QStringList names;
        auto* box = child<QListWidget>(list);
        for (int i = 0; i < box->count(); ++i)
            names << box->item(i)->text();
        return names;
    }
    QStringList items(const char* combo) const
    {
        QStringList texts;
        auto* box = child<QComboBox>(combo);
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    }

    TestProgram program;
    QPointer<Window> window;
};

enum Tab
{
    AreaTab = 0,
    StateTab = 1,
    CityTab = 2,
    WorkgroupTab = 3,
    EquipmentTab = 4
};

// The suffix of a page's buttons and the name of its list.
struct PageNames
{
    const char* suffix;
    const char* list;
};
inline const PageNames Pages[] = {{"Region", "LstRegion"},
                                  {"State", "lstState"},
                                  {"City", "lstBandarCity"},
                                  {"Workgroup", "lstWorkgroup"},
                                  {"Equipment", "lstEquipment"}};

inline QByteArray button(int tab, const char* action)
{
    return QByteArray(action) + Pages[tab].suffix;
}

// The settings window, opened by a signed-in administrator.
struct Settings : PlanWindow<frmIPAddressSettings>
{
    explicit Settings(const QString& group = GroupSistem, const QString& region = {})
    {
        program.signInAs(QStringLiteral("admin"), QStringLiteral("Administrator"), group, region);
    }

    // Saves and answers the confirmation with OK (or the given answer).
    void save(const char* button, MessageAnswer answer = MessageAnswer::Ok)
    {
        program.messenger.clear();
        program.messenger.answer(answer);
        click(button);
    }
    void tab(int index) const { child<QTabWidget>("SSTabSetting")->setCurrentIndex(index); }
    QList<bool> tabsEnabled() const
    {
        auto* tabs = child<QTabWidget>("SSTabSetting");
        QList<bool> enabled;
        for (int i = 0; i < tabs->count(); ++i)
            enabled << tabs->isTabEnabled(i);
        return enabled;
    }
    // Picks a list entry with the mouse.
    void pick(const char* list, const QString& name) const
    {
        auto* box = child<QListWidget>(list);
        const QList<QListWidgetItem*> items = box->findItems(name, Qt::MatchExactly);
        if (items.isEmpty())
            qFatal("no list entry %s", qPrintable(name));
        box->scrollToItem(items.first());
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, box->visualItemRect(items.first()).center());
    }
    // Chooses an item of a drop-down list with the mouse.
    void choose(const char* combo, const QString& item) const { test::pick(window, combo, item); }

    // Enters the edit state of a page: "Add" when name is empty, else a pick of that row and "Update".
    void edit(int tab, const QString& name) const
    {
        if (child<QTabWidget>("SSTabSetting")->currentIndex() != tab)
            this->tab(tab);
        if (name.isEmpty()) {
            click(button(tab, "cmdTambah"));
        } else {
            pick(Pages[tab].list, name);
            click(button(tab, "cmdKemaskini"));
        }
    }
    // Types "field=value" steps into their fields and clicks the other steps' buttons.
    void enter(const QStringList& steps) const
    {
        for (const QString& step : steps) {
            const QString field = step.section('=', 0, 0);
            if (step.contains('='))
                type(field.toLatin1(), step.section('=', 1));
            else
                click(field.toLatin1());
        }
    }
    bool editing(int tab) const
    {
        return visible(button(tab, tab == CityTab ? "frameSimpan" : "FrameSimpan"));
    }
};

} // namespace tarvo::test
