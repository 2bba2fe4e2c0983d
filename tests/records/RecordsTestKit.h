#pragma once

#include "FakeMainWindow.h"
#include "FakePinger.h"
#include "FakeProbes.h"
#include "ModalDialogs.h"
#include "TestProgram.h"
#include "WidgetDriver.h"

#include "core/Sql.h"
#include "plan/UnitDivisionWindows.h"
#include "probe/ProbeKit.h"
#include "probe/ProbeState.h"
#include "records/RecordWindows.h"
#include "records/SearchResultModel.h"
#include "records/frmCarian.h"
#include "records/frmMaklumatIP.h"
#include "records/report/ReportPreview.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableView>

#include <memory>
#include <optional>

// The records windows of a test program folder, opened by a signed-in administrator and driven by the
// names of their controls.
namespace tarvo::test {

// A test program folder with an administrator of the whole system, or of the area given, signed in.
struct RecordsProgram
{
    explicit RecordsProgram(const QString& region = {})
    {
        program.signInAs(QStringLiteral("admin"), QStringLiteral("Administrator"),
                         region.isEmpty() ? GroupSistem : GroupKawasan, region);
    }

    void exec(const QString& sql, const QVariantList& values = {}) const
    {
        if (!execSql(program.database.handle(), sql, values))
            qFatal("cannot run %s", qPrintable(sql));
    }
    QString value(const QString& sql, const QVariantList& values = {}) const
    {
        auto found = querySingleValue(program.database.handle(), sql, values);
        return found->isNull() ? QStringLiteral("NULL") : found->toString();
    }
    int count() const { return value(QStringLiteral("SELECT count(*) FROM IP_Info")).toInt(); }

    // Adds areas, states, cities and work groups to the address plan, each as the VALUES of its table.
    void addPlan(const QString& areas, const QString& states, const QString& cities,
                 const QString& workgroups) const
    {
        if (!areas.isEmpty())
            exec(QStringLiteral("INSERT INTO Region (Region, AssignIP, Segment_ip, Abbr_segment) VALUES ") +
                 areas);
        exec(QStringLiteral("INSERT INTO State (State_name, Abbr_state, Region) VALUES ") + states);
        exec(QStringLiteral(
                 "INSERT INTO City (City_name, Abbr_city, IP_octet2, Offset, StartIPRange, ToIPRange, "
                 "Abbr_state, Region) VALUES ") +
             cities);
        exec(QStringLiteral("INSERT INTO Workgroup (Workgroup_name, Workgroup_code, Octet_3) VALUES ") +
             workgroups);
    }

    // Adds IP_Info rows in one transaction, a value for each column named; the first column is the
    // address, whose octet 4 goes into IP_4.
    void addRecords(const QStringList& columns, const QList<QVariantList>& rows) const
    {
        const QString sql =
            QStringLiteral("INSERT INTO IP_Info (IP_4, %1) VALUES (?%2)")
                .arg(columns.join(QLatin1String(", ")), QStringLiteral(", ?").repeated(columns.size()));
        WriteTransaction transaction(program.database.handle());
        if (!transaction.begin())
            qFatal("no transaction");
        for (QVariantList values : rows) {
            values.prepend(values.first().toString().section(QLatin1Char('.'), 3).toInt());
            exec(sql, values);
        }
        if (!transaction.commit())
            qFatal("no commit");
    }

    TestProgram program;
};

// Runs steps on a window: "name" clicks an option, "txtName=text" types the text and Enter,
// "cboName=entry" picks the entry in the list.
inline void follow(QWidget* window, const QStringList& steps)
{
    for (const QString& step : steps) {
        const QByteArray name = step.section(QLatin1Char('='), 0, 0).toLatin1();
        const QString value = step.section(QLatin1Char('='), 1);
        if (!step.contains(QLatin1Char('='))) {
            click(window, name);
        } else if (name.startsWith("txt")) {
            type(window, name, value);
            QTest::keyClick(child<QLineEdit>(window, name), Qt::Key_Return);
        } else {
            pick(window, name, value);
        }
    }
}

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
struct ReportWindowKit : RecordsProgram
{
    using RecordsProgram::RecordsProgram;

    void open()
    {
        window = std::make_unique<Window>(program.context);
        window->show();
        QApplication::setActiveWindow(window.get());
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("the report window does not come up");
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
    void follow(const QStringList& steps) const { test::follow(window.get(), steps); }

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

    std::unique_ptr<Window> window;
};

// The search and detail windows on fake probes and a fake main window, with an address plan of a state
// area (Central) and a segment area (Borneo) and seven IP records.
struct SearchKit : RecordsProgram
{
    explicit SearchKit(const QString& region = {}) : RecordsProgram(region)
    {
        addPlan("('Central', 10, 0, ''), ('Borneo', 20, 1, 'BO')",
                "('Selangor', 'S', 'Central'), ('Perak', 'P', 'Central')",
                "('Klang', 'KLA', 1, 10, 0, 0, 'S', 'Central'), ('Shah Alam', 'SHA', 2, 0, 0, 0, 'S', "
                "'Central'), ('Ipoh', 'IPH', 3, 20, 0, 0, 'P', 'Central'), ('Kuching', 'KCH', 5, 40, 0, 0, "
                "'BO', 'Borneo')",
                "('Finance', 'F', 1), ('Admin', 'A', 2)");
        exec("INSERT INTO UnitDivision (UnitDivision, Floor, RegionOwner, StateOwner, CityOwner) "
             "VALUES ('IT Unit', 'Level 3', 'Central', 'Selangor', 'Klang')");
        const QVariant none; // NULL
        addRecords({"IP_Address", "Name", "Remarks", "Username", "StaffNo", "Status", "UnitDivision", "Floor",
                    "Region", "StateOwner", "CityOwner"},
                   {{"10.1.11.5", "PCKLAM01", "O'Brien's desk", "Ali bin Abu", "S100", "Permanent", "IT Unit",
                     "Level 3", "Central", "Selangor", "Klang"},
                    {"10.1.11.6", "PCKLAM02", "Printer", "Siti", "S200", "", "Gone Unit", "Level 9",
                     "Central", "Selangor", "Klang"},
                    {"10.1.11.7", "PCKLAM03", "Printer", "Wong", "S300", "Temporary", none, "", "Central",
                     "Selangor", "Klang"},
                    {"10.1.12.5", "PCKLAM04", "", "Ravi", "S400", "Permanent", none, "", "Central",
                     "Selangor", "Klang"},
                    {"10.2.0.9", "PCSHA01", "", "Chong", "S500", "Permanent", none, "", "Central", "Selangor",
                     "Shah Alam"},
                    {"10.2.0.10", "PCSHA02", "", "Devi", "S600", "Permanent", none, "", "Central", "Selangor",
                     "Shah Alam"},
                    {"20.5.7.1", "PCKCH01", "Printer", "Lim", "S700", "Temporary", none, "", "Borneo", none,
                     "Kuching"}});
        exec(QStringLiteral("UPDATE IP_Info SET Type = 'PC', Workgroup = 'Finance', DateIssue = "
                            "'01/01/2020', InputBy = 'Old'"));
    }

    ~SearchKit()
    {
        delete windows.detailWindow();
        delete search;
    }

    frmCarian& openSearch()
    {
        search = windows.createSearchWindow();
        search->show();
        QApplication::setActiveWindow(search);
        if (!QTest::qWaitForWindowActive(search))
            qFatal("the search window does not come up");
        return *search;
    }
    QString stored(const QString& column, const QString& address) const
    {
        return value(
            QStringLiteral("SELECT ifnull(%1, 'NULL') FROM IP_Info WHERE IP_Address = ?").arg(column),
            {address});
    }
    frmMaklumatIP* detail() const { return windows.detailWindow(); }
    bool detailShown() const { return detail() && detail()->isVisible(); }
    QString detailText(const char* field) const { return child<QLineEdit>(detail(), field)->text(); }
    // Clicks a button of the detail window; a question it asks gets the answer given, else its default.
    void press(const char* detailButton, std::optional<MessageAnswer> answer = {})
    {
        if (answer)
            program.messenger.answer(*answer);
        QTest::mouseClick(child<QPushButton>(detail(), detailButton), Qt::LeftButton);
    }

    // The search window's grid and what it lists in a column.
    QTableView* grid() const { return child<QTableView>(search, "gridCarian"); }
    QStringList listed(int column = SearchResultModel::AddressColumn) const
    {
        QStringList texts;
        const QAbstractItemModel* model = grid()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, column).data().toString();
        return texts;
    }
    QString note() const { return child<QLabel>(search, "lblNotaCarian")->text(); }

    // A text search of a kind and match option (either empty: as chosen), ended with Enter.
    void searchFor(const char* kind, const char* option, const QString& text) const
    {
        QStringList steps;
        for (const char* name : {kind, option})
            if (*name)
                steps << QString::fromLatin1(name);
        follow(search, steps << QStringLiteral("txtCarian=") + text);
    }
    void doubleClickRow(int row) const
    {
        QTableView* view = grid();
        const QPoint cell = view->visualRect(view->model()->index(row, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell);
    }

    FakeMainWindow mainWindow;
    FakePinger pinger;
    FakeHostResolver resolver;
    FakeNodeStatusService nodeStatus;
    FakeBannerService banners;
    ProbeState probeState;
    ProbeKit probes{probeState, pinger, {resolver, nodeStatus, banners, program.messenger}};
    // What the unit/division window was asked: by whom, and what to call when it closes. With
    // unitWindows set, the real unit window opens instead.
    QList<QPointer<QWidget>> unitOpeners;
    std::function<void()> unitWindowClosed;
    std::optional<UnitDivisionWindows> unitWindows;
    RecordWindows windows{RecordsServices{
        program.context, mainWindow, probes, [this](QWidget* opener, std::function<void()> whenClosed) {
            unitOpeners << opener;
            if (unitWindows)
                unitWindows->showForDetail(OpenerCallback(opener, std::move(whenClosed)), mainWindow);
            else
                unitWindowClosed = std::move(whenClosed);
        }}};
    QPointer<frmCarian> search;
};

} // namespace tarvo::test
