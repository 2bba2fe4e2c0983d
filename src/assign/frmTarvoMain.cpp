#include "assign/frmTarvoMain.h"

#include "plan/LocalSetting.h"

#include "assign/AssignmentMessages.h"
#include "assign/DedicatedProposal.h"
#include "assign/DetailFields.h"
#include "assign/NextFreeProposal.h"
#include "assign/ProposalSteps.h"
#include "assign/SaveFlow.h"
#include "assign/SelectionPage.h"
#include "assign/UsedAddressModel.h"
#include "core/AppContext.h"
#include "core/DatabaseService.h"
#include "core/WidgetParts.h"
#include "core/WindowRegistry.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace tarvo {

namespace {

const QString CancelCaption = QStringLiteral("Cancel");
const QString StopCaption = QStringLiteral("Stop");
const QString InUseMarker = QStringLiteral("X");

void setLabelColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

QString assignmentCaption(AssignMode mode)
{
    switch (mode) {
    case AssignMode::Scan:
        return QStringLiteral("Scan Network ...");
    case AssignMode::Dedicated:
        return QStringLiteral("Assign Dedicated IP Address");
    case AssignMode::New:
        break;
    }
    return QStringLiteral("Assign New IP Address");
}

frmTarvoMain::frmTarvoMain(AppContext& context, AssignmentServices services, QWidget* parent)
    : QWidget(parent), m_context(context), m_services(std::move(services)), m_store(context.database()),
      m_plan(context.database())
{
    setObjectName(QStringLiteral("frmTarvoMain"));
    m_state.mode = assignModeOf(context.modes());
    setWindowTitle(assignmentCaption(m_state.mode));
    m_run = new BulkRun([this](const Message& question) { return m_context.messenger().ask(this, question); },
                        this);
    m_run->setMode(m_state.mode);
    m_usedList = new UsedAddressModel(this);
    buildControls();
    m_parts = std::make_unique<AssignmentWindowParts>(
        AssignmentWindowParts{*this, m_context, m_services, m_state, m_store, m_plan, *m_run, *m_selection,
                              *m_details, *m_usedList, *this, m_controls, [this] { cmdBatal_Click(); }});
    m_steps = new ProposalSteps(*m_parts);
    m_nextFree = std::make_unique<NextFreeProposal>(*m_parts, *m_steps);
    m_dedicated = std::make_unique<DedicatedProposal>(*m_parts, *m_steps);
    m_save = std::make_unique<SaveFlow>(*m_parts);
    if (m_state.mode == AssignMode::Scan && m_services.makeScan)
        m_scan = m_services.makeScan(*m_parts, *m_steps);
    wireRun();

    // The window reads the address plan and the used list from the live database into copies of its
    // own; the database can change only while no run, check or scan is under way. A standing proposal,
    // with the details typed for it, is the window's unsaved edit; Cancel drops it.
    new DatabaseHold(context.databaseService(), this,
                     {.busyReason = [this] { return busyReason(); },
                      .reload = [this] { reloadAfterDatabaseChange(); },
                      .unsavedEdit = [this] { return m_controls.cmdSave->isEnabled(); },
                      .discardEdit = [this] { cmdBatal_Click(); }});
    Form_Load();
    firstRunTest();
    m_selection->Form_Load();
}

frmTarvoMain::~frmTarvoMain()
{
    // Closing ends a ping in flight and a scan under way; nothing reports back any more.
    m_steps->stopChecking();
    if (m_scan)
        m_scan->stop();
}

void frmTarvoMain::buildControls()
{
    m_selection = new SelectionPage(m_context, m_plan, m_state, this);
    m_details = new DetailFields(
        m_context, m_plan, *m_selection, m_services, [this] { return m_controls.cmdSave->isEnabled(); },
        [this] { m_controls.SSTab1->setCurrentIndex(1); }, this);

    auto* SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    auto* gridData = new QTableView(this);
    gridData->setObjectName(QStringLiteral("gridData"));
    gridData->setModel(m_usedList);
    gridData->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridData->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridData->setAlternatingRowColors(true);
    gridData->verticalHeader()->hide();
    gridData->verticalHeader()->setDefaultSectionSize(gridData->fontMetrics().height() + 6);
    gridData->horizontalHeader()->setStretchLastSection(true);
    gridData->horizontalHeader()->setDefaultSectionSize(120);
    SSTab1->addTab(m_details->equipmentTab(), QStringLiteral(" Equipment "));
    SSTab1->addTab(m_details->userTab(), QStringLiteral("User Details "));
    SSTab1->addTab(gridData, QStringLiteral("IP Address List"));

    auto* lblJumlah = new QLabel(QStringLiteral("Total Record : "), this);
    lblJumlah->setObjectName(QStringLiteral("lblJumlah"));
    auto* cmdSave = makeButton(QStringLiteral("Save"), "cmdSave", this);
    auto* cmdBatal = makeButton(CancelCaption, "cmdBatal", this);
    auto* cmdTutup = makeButton(QStringLiteral("Close"), "cmdTutup", this);
    m_controls = {
        SSTab1,  gridData, lblJumlah, m_selection->recordNumberLabel(), m_selection->progressLabel(),
        cmdSave, cmdBatal, cmdTutup};

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblJumlah, 1);
    bottom->addLayout(buttonRow({cmdSave, cmdBatal, cmdTutup}));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_selection);
    layout->addWidget(SSTab1, 1);
    layout->addLayout(bottom);
    resize(800, 480);

    // The tab order of the design: the host name first, then the selection, the detail fields, Save,
    // Close, the address and Cancel.
    QList<QWidget*> order{m_details->hostNameBox()};
    order << m_selection->fieldsInTabOrder() << m_details->fieldsInTabOrder();
    order << cmdSave << cmdTutup << m_details->addressBox() << cmdBatal;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_selection, &SelectionPage::equipmentPicked, this, &frmTarvoMain::cboEquipment_Click);
    connect(m_selection, &SelectionPage::selectionChanged, this, [this] {
        m_controls.lblJumlah->hide();
        m_controls.cmdSave->setEnabled(false);
    });
    connect(m_selection, &SelectionPage::countChanged, this, [this](const QString& text) {
        if (m_state.mode == AssignMode::New)
            m_run->setBulkCount(bulkCount(text).value_or(m_run->BulkCount()));
    });
    connect(SSTab1, &QTabWidget::currentChanged, m_details, &DetailFields::SSTab1_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmTarvoMain::cmdSave_Click);
    connect(cmdBatal, &QPushButton::clicked, this, &frmTarvoMain::cmdBatal_Click);
    connect(cmdTutup, &QPushButton::clicked, this, &frmTarvoMain::cmdTutup_Click);
}

void frmTarvoMain::wireRun()
{
    connect(m_run, &BulkRun::progressChanged, this, &frmTarvoMain::showProgress);
    connect(m_run, &BulkRun::inUseMarkerChanged, this, &frmTarvoMain::showInUseMarker);
    connect(m_run, &BulkRun::automaticChanged, this, [this](bool automatic) {
        m_controls.cmdBatal->setText(automatic ? StopCaption : CancelCaption);
    });
    connect(m_run, &BulkRun::saveRequested, this, &frmTarvoMain::cmdSave_Click);
    connect(m_run, &BulkRun::proposalRequested, this, [this] {
        if (m_selection->countText() != QLatin1String("1")) {
            m_controls.lblRekodKe->show();
            m_controls.lblBilangan->clear();
            m_controls.lblBilangan->show();
        }
        cboEquipment_Click();
    });
    connect(m_run, &BulkRun::finished, this, &frmTarvoMain::backToSelection);
    connect(m_run, &BulkRun::stopped, this, &frmTarvoMain::cmdBatal_Click);
}

void frmTarvoMain::Form_Load()
{
    m_context.unitDivisionHandOver().UnitDivFromInfo = false;
    m_details->hideUnitPicture();
    m_controls.lblJumlah->hide();
    m_controls.SSTab1->setCurrentIndex(0);
    m_controls.cmdSave->setEnabled(false);
    m_details->DisableDetailFields();
    m_controls.cmdBatal->setEnabled(false);
}

void frmTarvoMain::firstRunTest()
{
    auto cities = m_plan.allCities();
    if (!cities) {
        showFailure(m_context.messenger(), this, cities.error());
        return;
    }
    if (needsLocalSetting(*cities) && m_services.runLocalSetting)
        m_services.runLocalSetting(this);
}

void frmTarvoMain::cboEquipment_Click()
{
    UnitDivisionHandOver& handOver = m_context.unitDivisionHandOver();
    handOver.UnitDivFromMain = false;
    handOver.UnitDivFromInfo = false;
    m_details->hideUnitPicture();
    switch (m_state.mode) {
    case AssignMode::Scan:
        m_state.scan.ScanStopped = false;
        if (m_scan)
            m_scan->ScanNetworkRange();
        return;
    case AssignMode::Dedicated:
        m_dedicated->AssignDedicatedAddress();
        return;
    case AssignMode::New:
        m_nextFree->pick();
        return;
    }
}

void frmTarvoMain::cmdSave_Click()
{
    m_save->cmdSave_Click();
}

void frmTarvoMain::cmdBatal_Click()
{
    m_context.unitDivisionHandOver().UnitDivFromMain = false;
    m_details->hideUnitPicture();
    const bool stopping = m_controls.cmdBatal->text() == StopCaption;
    // A ping in flight and a walk under way end here: nothing they would report is wanted any more.
    m_steps->stopChecking();
    if (m_scan)
        m_scan->stop();
    m_selection->EnableSelectionFields();
    m_selection->FillEquipmentCombo();
    m_details->DisableDetailFields();
    m_details->ClearDetailFields();
    m_controls.cmdSave->setEnabled(false);
    m_controls.lblRekodKe->hide();
    m_controls.lblBilangan->hide();
    m_controls.cmdBatal->setEnabled(false);
    m_controls.cmdTutup->setEnabled(true);
    m_state.scan.ScanPosition = 0;
    m_state.scan.ScanPhase = ScanPhaseAskAgain;
    if (stopping)
        m_state.scan.ScanStopped = true;
    m_state.range.UseEquipmentRange = true;
    m_state.SavedEquipment.clear();
    m_run->cancel();
    m_controls.cmdBatal->setText(CancelCaption);
}

void frmTarvoMain::cmdTutup_Click()
{
    closeWindowOf(this);
}

void frmTarvoMain::backToSelection()
{
    m_selection->EnableSelectionFields();
    m_details->DisableDetailFields();
    m_details->ClearDetailFields();
    m_controls.cmdSave->setEnabled(false);
    m_controls.cmdBatal->setEnabled(false);
    m_controls.cmdTutup->setEnabled(true);
    m_controls.lblRekodKe->hide();
    m_controls.lblBilangan->hide();
}

void frmTarvoMain::showProgress(int BulkProgress)
{
    m_controls.lblRekodKe->show();
    setLabelColour(m_controls.lblBilangan, Qt::blue);
    m_controls.lblBilangan->setText(QString::number(BulkProgress));
    m_controls.lblBilangan->show();
}

void frmTarvoMain::showInUseMarker(bool shown)
{
    QLabel* label = m_controls.lblBilangan;
    if (!shown) {
        label->hide();
        label->clear();
        return;
    }
    setLabelColour(label, Qt::red);
    label->setText(InUseMarker);
    label->show();
}

QString frmTarvoMain::bilanganText() const
{
    return m_selection->countText();
}

void frmTarvoMain::showRecordNumber()
{
    m_controls.lblRekodKe->show();
}

void frmTarvoMain::markProposalInUse()
{
    m_run->markInUse();
    showInUseMarker(true);
}

void frmTarvoMain::closeTimeOperation()
{
    update();
}

void frmTarvoMain::setStaffNo(const QString& text)
{
    m_details->setStaffNo(text);
}

void frmTarvoMain::setLanId(const QString& text)
{
    m_details->setLanId(text);
}

void frmTarvoMain::setRemarks(const QString& text)
{
    m_details->setRemarks(text);
}

QString frmTarvoMain::busyReason() const
{
    if (m_steps->checking())
        return QStringLiteral("The proposed IP Address is being checked with ping. Please wait a moment.");
    if (m_scan) {
        if (const QString reason = m_scan->busyReason(); !reason.isEmpty())
            return reason;
    }
    if (m_run->AutoSave())
        return QStringLiteral("An automatic IP assignment run is under way. Press Stop first.");
    if (m_run->BulkCount() > 1 && m_run->state() != BulkRun::State::Idle)
        return QStringLiteral("A bulk IP assignment is under way. Save or cancel it first.");
    return {};
}

void frmTarvoMain::reloadAfterDatabaseChange()
{
    // Another database: the place chosen may not exist in it, so the window starts afresh.
    const AssignMode mode = m_state.mode;
    m_state = AssignmentState{};
    m_state.mode = mode;
    m_run->cancel();
    m_details->ClearDetailFields();
    m_usedList->clear();
    m_selection->restart();
    Form_Load();
    m_selection->Form_Load();
}

} // namespace tarvo
