#pragma once

#include "ModalDialogs.h"
#include "TestProgram.h"
#include "WidgetDriver.h"

#include "core/Sql.h"
#include "records/report/ReportPreview.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <memory>
#include <optional>

// A report window of a test program folder, opened by a signed-in administrator and driven by the names
// of its controls, with what it hands to the preview read back.
namespace tarvo::test {

// One IP_Info row as the tests write it.
struct RecordRow
{
    QString IP_Address;
    QString Name;
    QString Type = QStringLiteral("PC");
    QString DateIssue = QStringLiteral("05/12/2026");
    QString Username = QStringLiteral("Aminah");
    QString Project = {};
    QString StaffNo = {};
    QString UnitDivision = {};
    QString Remarks = {};
};

// What a report window showed in the preview.
struct ShownReport
{
    ReportDefinition definition;
    std::shared_ptr<const ReportRows> rows;
    int pageCount = 0;

    // The texts of one field over every row.
    QStringList field(const char* name) const
    {
        QStringList texts;
        const int index = rows->fieldIndex(QString::fromLatin1(name));
        for (int row = 0; row < rows->rowCount(); ++row)
            texts << (index < 0 ? QStringLiteral("<no field>") : rows->text(row, index));
        return texts;
    }
};

template <class Window>
struct ReportWindowKit
{
    explicit ReportWindowKit(const QString& region = {})
    {
        program.signInAs(QStringLiteral("admin"), QStringLiteral("Administrator"),
                         region.isEmpty() ? GroupSistem : GroupKawasan, region);
    }

    void open()
    {
        window = std::make_unique<Window>(program.context);
        window->show();
        QApplication::setActiveWindow(window.get());
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("the report window does not come up");
    }

    void exec(const QString& sql, const QVariantList& values = {}) const
    {
        if (!execSql(program.database.handle(), sql, values))
            qFatal("cannot run %s", qPrintable(sql));
    }

    void add(const RecordRow& r) const
    {
        exec(QStringLiteral("INSERT INTO IP_Info (IP_Address, IP_4, Name, Type, Username, Project, StaffNo, "
                            "UnitDivision, Remarks, DateIssue) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
             {r.IP_Address, r.IP_Address.section(QLatin1Char('.'), 3).toInt(), r.Name, r.Type, r.Username,
              r.Project, r.StaffNo, r.UnitDivision, r.Remarks, r.DateIssue});
    }

    template <class T = QWidget>
    T* child(const char* name) const
    {
        return test::child<T>(window.get(), name);
    }
    QString caption(const char* label) const { return child<QLabel>(label)->text(); }
    QStringList entries(const char* list) const
    {
        QStringList texts;
        auto* box = child<QComboBox>(list);
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    }

    // Picks a list entry with the mouse in the list's drop-down.
    void pick(const char* list, const QString& entry) const
    {
        auto* box = child<QComboBox>(list);
        const int index = box->findText(entry, Qt::MatchExactly);
        if (index < 0)
            qFatal("no entry %s in %s", qPrintable(entry), list);
        box->showPopup();
        QAbstractItemView* view = box->view();
        const QModelIndex item = view->model()->index(index, box->modelColumn(), view->rootIndex());
        view->scrollTo(item);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    }

    // Runs an action that opens the preview; reads what the preview shows, runs inPreview on it and
    // closes it. Nothing when no preview opened. (An action that shows no report at all is checked
    // through the messenger instead: the watcher waits a while for a preview.)
    std::optional<ShownReport> report(const std::function<void()>& action,
                                      const std::function<void(ReportPreview&)>& inPreview = {}) const
    {
        auto shown = std::make_shared<std::optional<ShownReport>>();
        whenModal(QStringLiteral("frmReportPreview"), [shown, inPreview](QWidget* modal) {
            auto& preview = *static_cast<ReportPreview*>(modal);
            *shown =
                ShownReport{preview.renderer().definition(), preview.renderer().rows(), preview.pageCount()};
            if (inPreview)
                inPreview(preview);
            preview.accept();
        });
        action();
        return *shown;
    }

    TestProgram program;
    std::unique_ptr<Window> window;
};

} // namespace tarvo::test
