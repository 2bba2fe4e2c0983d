#include "probe/AddressInUseDialog.h"

#include "core/Messenger.h"
#include "probe/AssignmentWindowLink.h"
#include "probe/HostNameLookup.h"
#include "probe/ProbeState.h"
#include "probe/TelnetProbe.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

namespace {

const QString DetailInfoCaption = QStringLiteral("Detail Info ...");
const QString OkCaption = QStringLiteral("OK");

// A value field: a label in the assignment window's dialog, a read-only text box in the other.
QWidget* makeValueField(AddressInUseDialog::Mode mode, const QString& name, QWidget* parent)
{
    if (mode == AddressInUseDialog::Mode::Assignment) {
        auto* label = new QLabel(parent);
        label->setObjectName(QStringLiteral("lbl") + name);
        label->setTextFormat(Qt::PlainText);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setMinimumHeight(label->sizeHint().height() + 6);
        return label;
    }
    auto* box = new QLineEdit(parent);
    box->setObjectName(QStringLiteral("txtlbl") + name);
    box->setReadOnly(true);
    return box;
}

void setFieldText(QWidget* field, const QString& text)
{
    if (auto* label = qobject_cast<QLabel*>(field)) {
        label->setText(text);
    } else if (auto* box = qobject_cast<QLineEdit*>(field)) {
        box->setText(text);
        box->setCursorPosition(0);
    }
}

QString fieldText(const QWidget* field)
{
    if (const auto* label = qobject_cast<const QLabel*>(field))
        return label->text();
    if (const auto* box = qobject_cast<const QLineEdit*>(field))
        return box->text();
    return {};
}

} // namespace

AddressInUseDialog::AddressInUseDialog(Mode mode, ProbeState& state, ProbeServices services,
                                       AssignmentWindowLink* link, QWidget* parent)
    : QDialog(parent), m_mode(mode), m_state(state), m_services(services), m_link(link),
      m_scope(new QObject(this))
{
    buildControls();
    Form_Load();
}

void AddressInUseDialog::buildControls()
{
    const bool assignment = m_mode == Mode::Assignment;
    setObjectName(assignment ? QStringLiteral("frmIPAddGuna") : QStringLiteral("frmIPAddressUsed"));
    setWindowTitle(assignment ? QStringLiteral("Information ...") : QStringLiteral("Information"));

    auto* fields = new QGridLayout;
    const auto addRow = [&](int row, const QString& labelName, const QString& caption,
                            const QString& fieldName) {
        auto* label = new QLabel(caption, this);
        label->setObjectName(labelName);
        fields->addWidget(label, row, 0);
        QWidget* field = makeValueField(m_mode, fieldName, this);
        fields->addWidget(field, row, 1);
        return field;
    };
    m_ipAddress =
        addRow(0, QStringLiteral("Label1"), QStringLiteral("IP Address :"), QStringLiteral("IPAddress"));
    m_hostName =
        addRow(1, QStringLiteral("Label2"), QStringLiteral("Hostname :"), QStringLiteral("NamaPeralatan"));
    m_workGroup =
        addRow(2, QStringLiteral("Label3"), QStringLiteral("Workgroup :"), QStringLiteral("WorkGroup"));
    m_lanId = addRow(3, QStringLiteral("Label4"), QStringLiteral("LAN ID :"), QStringLiteral("LANID"));
    m_macAddress =
        addRow(4, QStringLiteral("Label5"), QStringLiteral("MAC Address :"), QStringLiteral("MACAddress"));
    fields->setColumnStretch(1, 1);

    auto* extraInfo = new QLabel(QStringLiteral("Extra Info :"), this);
    extraInfo->setObjectName(QStringLiteral("Label6"));
    txtResult = new QPlainTextEdit(this);
    txtResult->setObjectName(QStringLiteral("txtResult"));
    txtResult->setReadOnly(true);

    lblTelahGuna =
        new QLabel(assignment ? UsedIPMessageAssignment
                              : QStringLiteral("Click Detail Info button to get current information ..."),
                   this);
    lblTelahGuna->setObjectName(QStringLiteral("lblTelahGuna"));
    lblTelahGuna->setTextFormat(Qt::PlainText);
    lblTelahGuna->setWordWrap(true);

    FrameOK = new QFrame(this);
    FrameOK->setObjectName(QStringLiteral("FrameOK"));
    cmdGetInfo = new QPushButton(DetailInfoCaption, FrameOK);
    cmdGetInfo->setObjectName(QStringLiteral("cmdGetInfo"));
    cmdGetInfo->setDefault(true);
    auto* buttonRow = new QHBoxLayout(FrameOK);
    buttonRow->setContentsMargins(0, 0, 0, 0);
    buttonRow->addWidget(lblTelahGuna, 1);
    buttonRow->addWidget(cmdGetInfo);
    connect(cmdGetInfo, &QPushButton::clicked, this, [this] { cmdGetInfo_Click(); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(extraInfo);
    layout->addWidget(txtResult, 1);
    layout->addWidget(FrameOK);
    resize(460, 400);
}

void AddressInUseDialog::Form_Load()
{
    lblTelahGuna->setText(m_state.UsedIPMessage);
    if (m_mode == Mode::Assignment || !m_state.UsedIPAddress.isEmpty()) {
        setFieldText(m_ipAddress, m_state.UsedIPAddress);
        RunNodeStatusQuery(m_state.UsedIPAddress);
    }
}

QString AddressInUseDialog::addressText() const
{
    return fieldText(m_ipAddress);
}

void AddressInUseDialog::RunNodeStatusQuery(const QString& address)
{
    m_queriedAddress = address;
    m_queryStarted = true;
    m_nameTable.reset();
    m_services.nodeStatus.query(address, m_scope, [this](const NodeStatusOutcome& outcome) {
        m_nameTable = outcome;
        if (m_waitingForNameTable) {
            m_waitingForNameTable = false;
            onNameTable(outcome);
        }
    });
}

void AddressInUseDialog::cmdGetInfo_Click()
{
    if (cmdGetInfo->text() == OkCaption) {
        if (m_mode == Mode::Assignment)
            writeBack();
        accept();
        return;
    }
    if (m_probing)
        return;
    m_probing = true;
    cmdGetInfo->setEnabled(false);
    setCursor(Qt::WaitCursor);
    GetHostNameFromIP(
        m_services.resolver, m_state, m_services.messenger, this, addressText(),
        [this](const QString& hostName) { onHostName(hostName); }, m_scope);
}

void AddressInUseDialog::onHostName(const QString& hostName)
{
    unsetCursor();
    m_hostNotFound = m_state.HostNotFound;
    setFieldText(m_hostName, hostName);
    if (m_mode == Mode::Assignment && lblTelahGuna->text() == UsedIPMessageAssignment) {
        // The assignment window learns at once that its proposal is taken, whatever the lookup found.
        markAssignmentWindow();
    } else if (m_hostNotFound) {
        ProbeTelnet();
        finishDetailInfo();
        return;
    }
    continueWithNameTable();
}

void AddressInUseDialog::continueWithNameTable()
{
    const QString address = addressText();
    if (!m_queryStarted || m_queriedAddress != address)
        RunNodeStatusQuery(address);
    if (!m_nameTable) {
        m_waitingForNameTable = true;
        return;
    }
    onNameTable(*m_nameTable);
}

void AddressInUseDialog::onNameTable(const NodeStatusOutcome& outcome)
{
    switch (outcome.kind) {
    case NodeStatusOutcome::Kind::Failed:
        // The fields keep what they held.
        if (m_mode == Mode::Assignment)
            m_services.messenger.inform(this, QStringLiteral("Error !!! No info available ... "),
                                        QStringLiteral("Error !!!"), MessageIcon::Information);
        else
            m_services.messenger.inform(
                this,
                QStringLiteral("Ralat !!! Kesilapan teknikal pada sistem... sila Cari "
                               "sekali lagi..."),
                QStringLiteral("Pemberitahuan"), MessageIcon::Information);
        break;
    case NodeStatusOutcome::Kind::NoAnswer:
        ProbeTelnet();
        break;
    case NodeStatusOutcome::Kind::Answered: {
        const DeviceFindings findings = findingsOf(outcome.status);
        setFieldText(m_workGroup, findings.workGroup);
        setFieldText(m_lanId, findings.lanId);
        setFieldText(m_macAddress, findings.macAddress);
        // The network browse list, whose comment the old system showed here, has no source on this
        // platform: txtResult stays as it is.
        break;
    }
    }
    finishDetailInfo();
}

void AddressInUseDialog::ProbeTelnet()
{
    m_services.banners.probe(addressText(), m_scope,
                             [this](const QString& text) { txtResult->setPlainText(text); });
}

void AddressInUseDialog::finishDetailInfo()
{
    cmdGetInfo->setText(OkCaption);
    cmdGetInfo->setEnabled(true);
    m_probing = false;
    Q_EMIT detailInfoFinished();
}

void AddressInUseDialog::markAssignmentWindow()
{
    if (!m_link)
        return;
    if (m_link->bilanganText() != QLatin1String("1"))
        m_link->showRecordNumber();
    m_link->markProposalInUse();
}

void AddressInUseDialog::writeBack()
{
    if (!m_link)
        return;
    m_link->closeTimeOperation();
    if (lblTelahGuna->text() != UsedIPMessageAssignment || m_hostNotFound)
        return;
    const QString lanId = fieldText(m_lanId);
    m_link->setStaffNo(lanId);
    m_link->setLanId(lanId);
    m_link->setRemarks(QStringLiteral("Hostname = ") + fieldText(m_hostName) +
                       QStringLiteral("; MAC Address = ") + fieldText(m_macAddress));
}

void AddressInUseDialog::done(int result)
{
    // Closing ends the lookup, the name-table query and the telnet connection still running.
    delete m_scope;
    m_scope = new QObject(this);
    m_waitingForNameTable = false;
    if (!m_nameTable)
        m_queryStarted = false; // ended unanswered: a later "Detail Info ..." asks again
    if (m_probing) {
        m_probing = false;
        unsetCursor();
        cmdGetInfo->setEnabled(true);
    }
    QDialog::done(result);
}

frmIPAddGuna::frmIPAddGuna(ProbeState& state, ProbeServices services, AssignmentWindowLink& link,
                           QWidget* parent)
    : AddressInUseDialog(Mode::Assignment, state, services, &link, parent)
{}

frmIPAddressUsed::frmIPAddressUsed(ProbeState& state, ProbeServices services, QWidget* parent)
    : AddressInUseDialog(Mode::Information, state, services, nullptr, parent)
{}

} // namespace tarvo
