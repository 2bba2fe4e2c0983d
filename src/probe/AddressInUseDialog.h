#pragma once

#include "probe/NodeStatusService.h"

#include <QDialog>
#include <QPointer>

#include <optional>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tarvo {

class AssignmentWindowLink;
class BannerService;
class HostResolver;
class Messenger;
struct ProbeState;

// The services the address-in-use windows use; tests hand in fakes.
struct ProbeServices
{
    HostResolver& resolver;
    NodeStatusService& nodeStatus;
    BannerService& banners;
    Messenger& messenger;
};

// What can be learnt about a live device that holds an address: its host name, NetBIOS work group,
// signed-on user (LAN ID) and MAC address, or the first text of its telnet service when it has no
// NetBIOS name table. One design, two windows: frmIPAddGuna for the assignment window and
// frmIPAddressUsed for the record-detail window's "Live Info".
//
// Opening shows UsedIPMessage and the address UsedIPAddress and asks the device for its name table in
// the background. "Detail Info ..." looks the host name up, then shows the findings of the name table
// (waiting for the query when it is still running) or, when the device did not answer, starts the
// telnet probe; then the button reads "OK". Nothing waits on the network on the user-interface thread;
// the button is disabled while the lookup runs. Closing the window ends every query still running.
class AddressInUseDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Mode
    {
        Assignment,  // frmIPAddGuna: modal, marks the proposal, "OK" writes back
        Information, // frmIPAddressUsed: only shows
    };

    Mode mode() const { return m_mode; }
    // True from "Detail Info ..." until the button reads "OK".
    bool isProbing() const { return m_probing; }

    // The button: "Detail Info ..." runs the probe, "OK" closes.
    void cmdGetInfo_Click();

Q_SIGNALS:
    // "Detail Info ..." is done: the fields hold the findings and the button reads "OK".
    void detailInfoFinished();

protected:
    AddressInUseDialog(Mode mode, ProbeState& state, ProbeServices services, AssignmentWindowLink* link,
                       QWidget* parent);

    void done(int result) override;

private:
    void buildControls();
    void Form_Load();
    QString addressText() const;
    void RunNodeStatusQuery(const QString& address);
    void onHostName(const QString& hostName);
    void continueWithNameTable();
    void onNameTable(const NodeStatusOutcome& outcome);
    void ProbeTelnet();
    void finishDetailInfo();
    void markAssignmentWindow();
    void writeBack();

    Mode m_mode;
    ProbeState& m_state;
    ProbeServices m_services;
    AssignmentWindowLink* m_link;

    // Every query of the window runs in this scope; deleting it ends them.
    QObject* m_scope = nullptr;
    QString m_queriedAddress;
    bool m_queryStarted = false;
    std::optional<NodeStatusOutcome> m_nameTable;
    bool m_waitingForNameTable = false;
    bool m_probing = false;
    // HostNotFound as this window's own lookup left it: another window's lookup may change the shared
    // flag before "OK".
    bool m_hostNotFound = false;

    QLabel* lblTelahGuna = nullptr;
    QWidget* m_ipAddress = nullptr;
    QWidget* m_hostName = nullptr;
    QWidget* m_workGroup = nullptr;
    QWidget* m_lanId = nullptr;
    QWidget* m_macAddress = nullptr;
    QPlainTextEdit* txtResult = nullptr;
    QFrame* FrameOK = nullptr;
    QPushButton* cmdGetInfo = nullptr;
};

// The address-in-use dialog of the assignment window ("Information ..."), shown modally when a proposed
// address answered the ping. Its value fields are labels (lblIPAddress, lblNamaPeralatan, ...).
class frmIPAddGuna final : public AddressInUseDialog
{
    Q_OBJECT
public:
    frmIPAddGuna(ProbeState& state, ProbeServices services, AssignmentWindowLink& link,
                 QWidget* parent = nullptr);
};

// The address-in-use window of the record-detail window ("Information"), shown without being modal by
// "Live Info". Its value fields are read-only text boxes (txtlblIPAddress, txtlblNamaPeralatan, ...).
class frmIPAddressUsed final : public AddressInUseDialog
{
    Q_OBJECT
public:
    frmIPAddressUsed(ProbeState& state, ProbeServices services, QWidget* parent = nullptr);
};

} // namespace tarvo
