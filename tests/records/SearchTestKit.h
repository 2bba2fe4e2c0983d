#pragma once

#include "FakeMainWindow.h"
#include "FakePinger.h"
#include "FakeProbes.h"
#include "TestProgram.h"
#include "WidgetDriver.h"

#include "core/Sql.h"
#include "probe/ProbeKit.h"
#include "probe/ProbeState.h"
#include "records/RecordWindows.h"
#include "records/SearchResultModel.h"
#include "records/frmCarian.h"
#include "records/frmMaklumatIP.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QTableView>
#include <QTest>

// The search and detail windows of a test program folder, on fake probes and a fake main window, with an
// address plan of a state area (Central) and a segment area (Borneo) and seven IP records.
namespace tarvo::test {

struct RecordsKit
{
    explicit RecordsKit(const QString& region = {})
    {
        program.signInAs(QStringLiteral("admin"), QStringLiteral("Administrator"),
                         region.isEmpty() ? GroupSistem : GroupKawasan, region);
        for (const char* sql : {
                 "INSERT INTO Region (Region, AssignIP, Segment_ip, Abbr_segment) VALUES ('Central', 10, 0, "
                 "''), "
                 "('Borneo', 20, 1, 'BO')",
                 "INSERT INTO State (State_name, Abbr_state, Region) VALUES ('Selangor', 'S', 'Central'), "
                 "('Perak', 'P', 'Central')",
                 "INSERT INTO City (City_name, Abbr_city, IP_octet2, Offset, StartIPRange, ToIPRange, "
                 "Abbr_state, Region) VALUES ('Klang', 'KLA', 1, 10, 0, 0, 'S', 'Central'), "
                 "('Shah Alam', 'SHA', 2, 0, 0, 0, 'S', 'Central'), ('Ipoh', 'IPH', 3, 20, 0, 0, 'P', "
                 "'Central'), "
                 "('Kuching', 'KCH', 5, 40, 0, 0, 'BO', 'Borneo')",
                 "INSERT INTO Workgroup (Workgroup_name, Workgroup_code, Octet_3) VALUES ('Finance', 'F', "
                 "1), "
                 "('Admin', 'A', 2)",
                 "INSERT INTO UnitDivision (UnitDivision, Floor, Building, Roadname, Postcode, City, State, "
                 "RegionOwner, StateOwner, CityOwner) VALUES ('IT Unit', 'Level 3', 'Menara A', 'Jalan 1', "
                 "'41000', 'Klang', 'Selangor', 'Central', 'Selangor', 'Klang')",
             })
            exec(QString::fromLatin1(sql));
        // address, host name, remarks, user, staff number, status, unit, floor, area, state, city
        const QStringList rows[] = {
            {"10.1.11.5", "PCKLAM01", "O'Brien's desk", "Ali bin Abu", "S100", "Permanent", "IT Unit",
             "Level 3", "Central", "Selangor", "Klang"},
            {"10.1.11.6", "PCKLAM02", "Printer", "Siti", "S200", "", "Gone Unit", "Level 9", "Central",
             "Selangor", "Klang"},
            {"10.1.11.7", "PCKLAM03", "Printer", "Wong", "S300", "Temporary", "", "", "Central", "Selangor",
             "Klang"},
            {"10.1.12.5", "PCKLAM04", "", "Ravi", "S400", "Permanent", "", "", "Central", "Selangor",
             "Klang"},
            {"10.2.0.9", "PCSHA01", "", "Chong", "S500", "Permanent", "", "", "Central", "Selangor",
             "Shah Alam"},
            {"10.2.0.10", "PCSHA02", "", "Devi", "S600", "Permanent", "", "", "Central", "Selangor",
             "Shah Alam"},
            {"20.5.7.1", "PCKCH01", "Printer", "Lim", "S700", "Temporary", "", "", "Borneo", "", "Kuching"},
        };
        for (const QStringList& row : rows)
            insert(row);
    }

    ~RecordsKit()
    {
        delete windows.detailWindow();
        delete search;
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
    void insert(const QStringList& row) const
    {
        exec(QStringLiteral(
                 "INSERT INTO IP_Info (IP_Address, IP_4, Name, Type, Region, Workgroup, Remarks, Username, "
                 "StaffNo, Status, UnitDivision, Floor, StateOwner, CityOwner, DateIssue, InputBy) "
                 "VALUES (?, ?, ?, 'PC', ?, 'Finance', ?, ?, ?, ?, ?, ?, ?, ?, '01/01/2020', 'Old')"),
             {row[0], row[0].section('.', 3).toInt(), row[1], row[8], row[2], row[3], row[4], row[5],
              row[6].isEmpty() ? QVariant() : QVariant(row[6]), row[7],
              row[9].isEmpty() ? QVariant() : QVariant(row[9]), row[10]});
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
    frmMaklumatIP* detail() const { return windows.detailWindow(); }
    bool detailShown() const { return detail() && detail()->isVisible(); }

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
    void searchFor(const char* kind, const char* option, const QString& text)
    {
        if (*kind)
            click(search, kind);
        if (*option)
            click(search, option);
        type(search, "txtCarian", text);
        QTest::keyClick(child<QLineEdit>(search, "txtCarian"), Qt::Key_Return);
    }
    // A pick in a list of the location search, as the user makes it.
    void pick(const char* list, const QString& entry) const
    {
        auto* box = child<QComboBox>(search, list);
        const int index = box->findText(entry);
        if (index < 0)
            qFatal("no entry %s in %s", qPrintable(entry), list);
        box->setCurrentIndex(index);
        Q_EMIT box->activated(index);
    }
    void doubleClickRow(int row) const
    {
        QTableView* view = grid();
        const QPoint cell = view->visualRect(view->model()->index(row, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell);
    }

    TestProgram program;
    FakeMainWindow mainWindow;
    FakePinger pinger;
    FakeHostResolver resolver;
    FakeNodeStatusService nodeStatus;
    FakeBannerService banners;
    ProbeState probeState;
    ProbeKit probes{probeState, pinger, {resolver, nodeStatus, banners, program.messenger}};
    // What the unit/division window was asked: by whom, and what to call when it closes.
    QList<QPointer<QWidget>> unitOpeners;
    std::function<void()> unitWindowClosed;
    RecordWindows windows{RecordsServices{program.context, mainWindow, probes,
                                          [this](QWidget* opener, std::function<void()> whenClosed) {
                                              unitOpeners << opener;
                                              unitWindowClosed = std::move(whenClosed);
                                          }}};
    QPointer<frmCarian> search;
};

} // namespace tarvo::test
