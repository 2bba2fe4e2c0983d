#pragma once

#include "Cases.h"
#include "FakePinger.h"
#include "FakeProbes.h"
#include "ModalDialogs.h"
#include "TestProgram.h"
#include "WidgetDriver.h"

#include "assign/AssignLog.h"
#include "assign/ScanFlow.h"
#include "assign/frmTarvoMain.h"
#include "core/Sql.h"
#include "probe/AssignmentWindowLink.h"
#include "probe/ProbeKit.h"
#include "probe/ProbeState.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

// The assignment window of a test program folder with a sample address plan, on the fake pinger and
// fake probe services (the sample addresses are 10.x: nothing may be pinged), driven by the names of
// its controls.
namespace tarvo::test {

// An address plan: the area "Central" with states (first octet 10) and its states Kedah (K) and Perak
// (P); the segmented area "Headquarters" of the delivered database (10, segment code HQ) with the
// delivered city "IT Division" and the city "Data Centre" (offset 20, own range 10 to 50); the work
// groups LAN (L, digit 4) and Server (S, digit 9); the equipment PC (71 to 240) and Printer (241 to
// 250); units of Amstown and of IT Division.
inline const char* const SamplePlan[] = {
    "INSERT INTO Region VALUES ('Central', 10, 0, '')",
    "INSERT INTO State VALUES ('Kedah', 'K', 'Central'), ('Perak', 'P', 'Central')",
    "INSERT INTO City (City_name, Abbr_city, IP_octet2, Offset, StartIPRange, ToIPRange, Abbr_state, Region) "
    "VALUES ('Amstown', 'AMS', 20, 30, 0, 0, 'K', 'Central'), ('Zerotown', 'ZRO', 21, 0, 0, 0, 'K', "
    "'Central'),"
    " ('Bigtown', 'BIG', 22, 250, 0, 0, 'K', 'Central'),"
    " ('Data Centre', 'DC', 101, 20, 10, 50, 'HQ', 'Headquarters')",
    "INSERT INTO Workgroup VALUES ('LAN', 'L', 4), ('Server', 'S', 9)",
    "INSERT INTO Equipment VALUES ('Printer', 'PR', 241, 250)",
    "INSERT INTO UnitDivision VALUES ('Finance', '3', 'Menara', 'Jalan Satu', '05000', 'Amstown', 'Kedah', "
    "'Central', 'Kedah', 'Amstown'), ('IT Dept', '1', 'Wisma', 'Jalan Dua', '50000', 'Kuala', 'Selangor', "
    "'Headquarters', NULL, 'IT Division')",
};

// The steps to a place of Central, Kedah, and to a segment of IT Division (AssignWindow::apply).
inline QStringList inKedah(const QString& city = QStringLiteral("Amstown"),
                           const QString& workgroup = QStringLiteral("LAN"))
{
    return {"cboRegion:Central", "cboState:Kedah", "cboCity:" + city, "cboWorkGroup:" + workgroup};
}
inline QStringList inSegment(const QString& segment)
{
    return {"cboRegion:Headquarters", "cboCity:IT Division", "txtSegment:" + segment};
}

struct AssignWindow
{
    explicit AssignWindow(AssignMode mode = AssignMode::New, const QString& region = {}, bool plan = true)
    {
        quietOffscreenNotes();
        program.signInAs(QStringLiteral("admin"), QStringLiteral("Administrator"),
                         region.isEmpty() ? GroupSistem : GroupKawasan, region);
        program.modes.ScanMode = mode == AssignMode::Scan;
        program.modes.DedicatedMode = mode == AssignMode::Dedicated;
        for (const char* sql : SamplePlan) {
            if (plan)
                exec(QString::fromLatin1(sql));
        }
    }
    ~AssignWindow() { delete window; }

    void open()
    {
        AssignmentServices services{probes, {}, {}, {}, {}};
        const AddressInUseOpener real = addressInUseDialog(probes);
        services.showAddressInUse = [this, real](QWidget* parent, AssignmentWindowLink& link) {
            inUseShown << probeState.UsedIPAddress;
            if (realAddressInUse)
                real(parent, link);
            else if (onAddressInUse)
                onAddressInUse(link);
        };
        services.openUnitWindow = [this](QWidget*, OpenerCallback refill) {
            unitHandOvers << program.context.unitDivisionHandOver();
            if (onUnitWindow)
                onUnitWindow();
            refill();
        };
        services.runLocalSetting = [this](QWidget*) { ++localSettingRuns; };
        services.makeScan = makeScan;
        window = new frmTarvoMain(program.context, services);
        window->show();
        QApplication::setActiveWindow(window);
        if (!QTest::qWaitForWindowActive(window))
            qFatal("the assignment window does not come up");
    }

    // Opens the window on Central, Kedah, Amstown and LAN (prefix 10.20.34.), with the count typed if given.
    void start(const QString& count = {})
    {
        open();
        apply(inKedah());
        if (!count.isEmpty())
            type("txtBilangan", count);
    }

    void exec(const QString& sql, const QVariantList& values = {}) const
    {
        if (auto done = execSql(program.database.handle(), sql, values); !done)
            qFatal("%s: %s", qPrintable(sql), qPrintable(done.error()));
    }
    QString value(const QString& sql) const
    {
        auto found = querySingleValue(program.database.handle(), sql);
        return found ? found->toString() : QStringLiteral("<%1>").arg(found.error());
    }
    int records() const { return value(QStringLiteral("SELECT count(*) FROM IP_Info")).toInt(); }
    // Records addresses of a prefix by their fourth octets (host names "HOST" + octet).
    void recorded(const QString& prefix, const QList<int>& octets) const
    {
        for (const int octet : octets)
            exec(QStringLiteral("INSERT INTO IP_Info (IP_Address, IP_4, Name) VALUES (?, ?, ?)"),
                 {prefix + QString::number(octet), octet, QStringLiteral("HOST%1").arg(octet)});
    }

    QString field(const QString& column, const QString& address) const
    {
        return value(QStringLiteral("SELECT %1 FROM IP_Info WHERE IP_Address = '%2'").arg(column, address));
    }
    QString log() const
    {
        QFile file(QDir(program.folder()).filePath(AssignLogFileName));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }

    template <class T>
    T* child(const char* name) const
    {
        return test::child<T>(window, name);
    }
    QString text(const char* name) const
    {
        QWidget* control = child<QWidget>(name);
        if (auto* box = qobject_cast<QLineEdit*>(control))
            return box->text();
        if (auto* list = qobject_cast<QComboBox*>(control))
            return list->currentIndex() < 0 ? QString() : list->currentText();
        if (auto* label = qobject_cast<QLabel*>(control))
            return label->text();
        return qobject_cast<QAbstractButton*>(control)->text();
    }
    QStringList texts(std::initializer_list<const char*> names) const
    {
        QStringList all;
        for (const char* name : names)
            all << text(name);
        return all;
    }
    bool enabled(const char* name) const { return child<QWidget>(name)->isEnabled(); }
    bool visible(const char* name) const { return child<QWidget>(name)->isVisible(); }
    QStringList entries(const char* name) const
    {
        auto* list = child<QComboBox>(name);
        QStringList all;
        for (int i = 0; i < list->count(); ++i)
            all << list->itemText(i);
        return all;
    }
    void tab(int index) const { child<QTabWidget>("SSTab1")->setCurrentIndex(index); }
    void type(const char* name, const QString& text) const { test::type(window, name, text); }
    void click(const char* name) const { QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton); }
    void pick(const char* name, const QString& entry) const { test::pick(window, name, entry); }
    // Steps "control:text": a list's entry is picked, a box's text typed.
    void apply(const QStringList& steps) const
    {
        for (const QString& step : steps) {
            const QByteArray name = step.section(QLatin1Char(':'), 0, 0).toLatin1();
            const QString text = step.section(QLatin1Char(':'), 1);
            if (name.startsWith("cbo"))
                pick(name.constData(), text);
            else
                type(name.constData(), text);
        }
    }
    // Picks an equipment item and waits until the proposal stands (or the pick ends otherwise).
    bool propose(const QString& item = QStringLiteral("PC"))
    {
        pick("cboEquipment", item);
        return QTest::qWaitFor([this] { return enabled("cmdSave"); }, 3000);
    }
    // Saves the proposal, answering the question with OK.
    void save() { saveAnswering({MessageAnswer::Ok}); }
    // Clicks Save with the answers to its questions queued.
    void saveAnswering(const QList<MessageAnswer>& answers)
    {
        for (const MessageAnswer answer : answers)
            program.messenger.answer(answer);
        click("cmdSave");
    }
    // The titles of the messages shown, the save question as "save".
    QStringList questions() const
    {
        QStringList titles;
        for (const Message& message : program.messenger.shown())
            titles << (message.text == QLatin1String("Save record to Tarvo database ?")
                           ? QStringLiteral("save")
                           : message.title);
        return titles;
    }
    // Nothing under way: the selection is back.
    bool idle() const
    {
        return text("cmdBatal") == QLatin1String("Cancel") && !enabled("cmdBatal") && enabled("cmdTutup") &&
               enabled("cboEquipment") && !enabled("cmdSave");
    }

    TestProgram program;
    FakePinger pinger;
    FakeHostResolver resolver;
    FakeNodeStatusService nodeStatus;
    FakeBannerService banners;
    ProbeState probeState;
    ProbeKit probes{probeState, pinger, {resolver, nodeStatus, banners, program.messenger}};

    bool realAddressInUse = false; // frmIPAddGuna on the fake probe services
    int localSettingRuns = 0;
    QStringList inUseShown;
    std::function<void(AssignmentWindowLink&)> onAddressInUse;
    QList<UnitDivisionHandOver> unitHandOvers;
    NetworkScanFactory makeScan = makeNetworkScan;
    std::function<void()> onUnitWindow;
    QPointer<frmTarvoMain> window;
};

} // namespace tarvo::test
