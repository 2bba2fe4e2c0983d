#include "records/frmMaklumatIP.h"

#include "assign/AssignmentRules.h"
#include "core/AppContext.h"
#include "core/DatabaseService.h"
#include "core/FieldNavigation.h"
#include "core/MainWindowAccess.h"
#include "core/Messenger.h"
#include "core/WidgetParts.h"
#include "core/WindowRegistry.h"
#include "probe/AddressInUseDialog.h"
#include "probe/ProbeKit.h"
#include "probe/ProbeState.h"
#include "records/DetailTabs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvo {

namespace {

const QString DesignNote = QStringLiteral("Kemaskini Oleh");
const QString NotFoundText = QStringLiteral("Record not found !");

} // namespace

frmMaklumatIP::frmMaklumatIP(const RecordsServices& services, SearchWindowLink link, QWidget* parent)
    : QWidget(parent), m_context(services.context), m_mainWindow(services.mainWindow),
      m_probes(services.probes), m_openUnitWindow(services.openUnitWindow), m_link(std::move(link)),
      m_store(services.context.database()), m_plan(services.context.database())
{
    buildControls();
    // The row is known by its rowid, which belongs to the database it was read from (and which a
    // compaction may renumber): after a change of the database the window shows the record of the same
    // address. An edit in progress is the window's unsaved edit; Cancel drops it.
    new DatabaseHold(services.context.databaseService(), this,
                     {.reload =
                          [this] {
                              if (m_record)
                                  Form_Load(
                                      RecordSearch::of(RecordSearch::Kind::Address, m_record->IP_Address));
                          },
                      .unsavedEdit = [this] { return m_editing; },
                      .discardEdit = [this] { enterViewMode(); }});
}

frmMaklumatIP::~frmMaklumatIP()
{
    // A live-device window that no main window took over goes with this window.
    if (m_liveInfo && !m_liveInfo->parent())
        delete m_liveInfo;
}

void frmMaklumatIP::buildControls()
{
    setObjectName(QStringLiteral("frmMaklumatIP"));
    setWindowTitle(QStringLiteral("IP Address Details ..."));

    SSTab1 = new DetailTabs(this);
    cmdKemaskiniSimpan = makeButton(QStringLiteral("Update"), "cmdKemaskiniSimpan", this);
    cmdLiveInfo = makeButton(QStringLiteral("Live Info"), "cmdLiveInfo", this);
    cmdHapus = makeButton(QStringLiteral("Delete"), "cmdHapus", this);
    cmdTutup = makeButton(QStringLiteral("Close"), "cmdTutup", this);
    lblNotaUpdate = new QLabel(DesignNote, this);
    lblNotaUpdate->setObjectName(QStringLiteral("lblNotaUpdate"));

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {cmdKemaskiniSimpan, cmdLiveInfo, cmdHapus, cmdTutup})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(SSTab1, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lblNotaUpdate);
    resize(640, 400);

    // Enter, Down and Up move between the boxes; Enter in the remarks first shows "User Details".
    QWidget* previous = nullptr;
    for (QWidget* box : SSTab1->navigationOrder()) {
        if (box == SSTab1->txtRemarks)
            box->installEventFilter(this);
        else
            FieldNavigation::install(box);
        if (previous)
            setTabOrder(previous, box);
        previous = box;
    }
    for (QWidget* next : std::initializer_list<QWidget*>{SSTab1->txtIPAddress, cmdKemaskiniSimpan, cmdHapus,
                                                         cmdTutup, cmdLiveInfo, SSTab1->cboUnitDivision,
                                                         SSTab1->PicUnitDivision, SSTab1->cboStatus}) {
        setTabOrder(previous, next);
        previous = next;
    }

    connect(cmdKemaskiniSimpan, &QPushButton::clicked, this, &frmMaklumatIP::cmdKemaskiniSimpan_Click);
    connect(cmdHapus, &QPushButton::clicked, this, &frmMaklumatIP::cmdHapus_Click);
    connect(cmdLiveInfo, &QPushButton::clicked, this, &frmMaklumatIP::cmdLiveInfo_Click);
    connect(cmdTutup, &QPushButton::clicked, this, &frmMaklumatIP::cmdTutup_Click);
    connect(SSTab1->PicUnitDivision, &QToolButton::clicked, this, &frmMaklumatIP::PicUnitDivision_Click);
    connect(SSTab1->cboUnitDivision, &QComboBox::activated, this, &frmMaklumatIP::cboUnitDivision_Click);
    connect(SSTab1, &QTabWidget::currentChanged, this, [this] { SSTab1_Click(); });
}

void frmMaklumatIP::Form_Load(const RecordSearch& DetailSQL)
{
    m_context.unitDivisionHandOver().UnitDivFromMain = false;
    enterViewMode();
    {
        const QSignalBlocker blocker(SSTab1);
        SSTab1->setCurrentIndex(DetailTabs::EquipmentTab);
    }
    SSTab1->ClearDetailFields();
    SSTab1->cboUnitDivision->setPlaceholderText({});
    m_record.reset();
    SavedUnitDivision.clear();

    auto found = m_store.firstFound(DetailSQL);
    if (found && *found)
        m_record = **found;
    for (QPushButton* button : {cmdKemaskiniSimpan, cmdHapus})
        button->setEnabled(m_record.has_value());
    if (!m_record) {
        lblNotaUpdate->setText(DesignNote);
        if (!found)
            return showError(found.error());
        QApplication::beep();
        m_context.messenger().inform(this, NotFoundText, MessageTitle::Error, MessageIcon::Exclamation);
        return;
    }
    SSTab1->ShowIPRecord(*m_record);
    SavedUnitDivision = m_record->UnitDivision;
    showNote();
}

void frmMaklumatIP::showNote()
{
    lblNotaUpdate->setText(QStringLiteral("Last Update by ") + m_record->InputBy + QStringLiteral(" on ") +
                           m_record->DateIssue);
}

void frmMaklumatIP::enterViewMode()
{
    m_editing = false;
    SSTab1->DisableDetailFields();
    cmdKemaskiniSimpan->setText(QStringLiteral("Update"));
    cmdHapus->setText(QStringLiteral("Delete"));
    cmdLiveInfo->setEnabled(false);
    SSTab1->PicUnitDivision->hide();
}

void frmMaklumatIP::enterEditMode()
{
    m_editing = true;
    SSTab1->EnableDetailFields();
    cmdLiveInfo->setEnabled(true);
    SSTab1->PicUnitDivision->setVisible(static_cast<bool>(m_openUnitWindow));
    cmdKemaskiniSimpan->setText(QStringLiteral("Save"));
    cmdHapus->setText(QStringLiteral("Cancel"));
    if (SSTab1->currentIndex() == DetailTabs::EquipmentTab)
        SSTab1->txtKodPeralatan->setFocus(Qt::OtherFocusReason);
    else
        SSTab1->txtNamaPengguna->setFocus(Qt::OtherFocusReason);
}

void frmMaklumatIP::cmdKemaskiniSimpan_Click()
{
    // A unit/division window still open no longer refills this window when it closes.
    m_context.unitDivisionHandOver().UnitDivFromInfo = false;
    if (!m_record)
        return;
    if (m_editing)
        saveRecord();
    else
        enterEditMode();
}

void frmMaklumatIP::saveRecord()
{
    if (!confirmed(QStringLiteral("Save record to Tarvo database ?"), QStringLiteral("Save Record")))
        return;
    IpRecord edited = SSTab1->shownRecord();
    edited.rowId = m_record->rowId;
    edited.DateIssue = DateIssueText(QDate::currentDate());
    edited.InputBy = m_context.session().LoginName;
    DbResult<bool> saved = false;
    {
        const BusyCursor busy;
        saved = m_store.rewrite(edited);
    }
    if (!saved)
        return showError(saved.error());
    if (!*saved) {
        // Deleted meanwhile, on another workstation: nothing was written.
        m_context.messenger().inform(this, NotFoundText, MessageTitle::Error, MessageIcon::Exclamation);
        return;
    }
    // What is stored now: an empty status or unit left the stored one.
    edited.IP_Address = m_record->IP_Address;
    edited.IP_4 = m_record->IP_4;
    edited.Region = m_record->Region;
    edited.StateOwner = m_record->StateOwner;
    edited.CityOwner = m_record->CityOwner;
    if (edited.Status.isEmpty())
        edited.Status = m_record->Status;
    if (edited.UnitDivision.isEmpty())
        edited.UnitDivision = m_record->UnitDivision;
    m_record = edited;
    showNote();
    enterViewMode();
    m_link.afterSave();
}

void frmMaklumatIP::cmdHapus_Click()
{
    if (m_editing)
        enterViewMode(); // Cancel: the edited texts stay on screen, unsaved
    else if (m_record)
        deleteRecord();
}

void frmMaklumatIP::deleteRecord()
{
    if (!confirmed(QStringLiteral("Delete record from Tarvo database ?"), QStringLiteral("Delete Record")))
        return;
    DbResult<bool> deleted = false;
    {
        const BusyCursor busy;
        deleted = m_store.remove(m_record->rowId);
    }
    // A row deleted meanwhile elsewhere is gone as asked.
    if (!deleted)
        return showError(deleted.error());
    m_link.afterDelete();
    cmdTutup_Click();
}

void frmMaklumatIP::cmdLiveInfo_Click()
{
    if (!m_record)
        return;
    ProbeState& state = m_probes.state;
    state.UsedIPAddress = SSTab1->txtIPAddress->text();
    state.UsedIPMessage = UsedIPMessageLiveInfo;
    if (m_liveInfo && m_liveInfo->isVisible()) {
        m_liveInfo->raise();
        m_liveInfo->activateWindow();
        return;
    }
    if (m_liveInfo)
        m_liveInfo->deleteLater();
    m_liveInfo = new frmIPAddressUsed(state, m_probes.services);
    m_mainWindow.showOwnedWindow(m_liveInfo);
}

void frmMaklumatIP::closeLiveInfo()
{
    if (m_liveInfo && m_liveInfo->isVisible())
        m_liveInfo->close();
}

void frmMaklumatIP::cmdTutup_Click()
{
    closeWindowOf(this);
}

void frmMaklumatIP::closeEvent(QCloseEvent* event)
{
    closeLiveInfo();
    QWidget::closeEvent(event);
}

UnitOwner frmMaklumatIP::ownerPlace() const
{
    const QString& state = m_record->StateOwner;
    return {m_record->Region, state.isEmpty() ? std::nullopt : std::optional<QString>(state),
            m_record->CityOwner};
}

void frmMaklumatIP::PicUnitDivision_Click()
{
    if (!m_record || !m_openUnitWindow)
        return;
    UnitDivisionHandOver& handOver = m_context.unitDivisionHandOver();
    handOver.UnitDivFromInfo = true;
    handOver.OwnerRegion = m_record->Region;
    handOver.OwnerCity = m_record->CityOwner;
    // A place of a segment area has no state: the unit window then lists the units of area and city.
    handOver.OwnerHasState = !m_record->StateOwner.isEmpty();
    handOver.OwnerState = m_record->StateOwner;
    const OpenerCallback refill(this, [this] {
        if (m_context.unitDivisionHandOver().UnitDivFromInfo)
            SSTab1_Click();
    });
    m_openUnitWindow(this, [refill] { refill(); });
}

void frmMaklumatIP::SSTab1_Click()
{
    if (!m_record || SSTab1->currentIndex() != DetailTabs::UserDetailsTab)
        return;
    QComboBox* list = SSTab1->cboUnitDivision;
    if (!list->currentText().isEmpty())
        SavedUnitDivision = list->currentText();
    list->clear();
    auto units = m_plan.unitsOf(ownerPlace());
    if (!units)
        return showError(units.error());
    for (const UnitDivisionRow& unit : std::as_const(*units))
        list->addItem(unit.UnitDivision);
    const int index = SavedUnitDivision.isEmpty()
                          ? -1
                          : list->findText(SavedUnitDivision, Qt::MatchExactly | Qt::MatchCaseSensitive);
    list->setCurrentIndex(index);
    // A unit the place no longer has is shown greyed; the record keeps it and its postal address until
    // the user picks another.
    list->setPlaceholderText(index < 0 ? SavedUnitDivision : QString());
    if (index >= 0)
        cboUnitDivision_Click();
}

void frmMaklumatIP::cboUnitDivision_Click()
{
    const QString unit = SSTab1->cboUnitDivision->currentText();
    if (unit.isEmpty() || !m_record)
        return;
    auto units = m_plan.unitsNamed(unit, ownerPlace());
    if (!units)
        return showError(units.error());
    // Units may share a name: only a unit found once gives its address.
    if (units->size() == 1)
        SSTab1->showUnitAddress(units->first());
}

bool frmMaklumatIP::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != SSTab1->txtRemarks || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        // The next box lies on "User Details": the tab is shown (and its unit list refilled) first.
        SSTab1->setCurrentIndex(DetailTabs::UserDetailsTab);
        SSTab1->txtNamaPengguna->setFocus(Qt::TabFocusReason);
        return true;
    case Qt::Key_Up:
        SSTab1->txtProject->setFocus(Qt::BacktabFocusReason);
        return true;
    default:
        return false;
    }
}

bool frmMaklumatIP::confirmed(const QString& question, const QString& title)
{
    return m_context.messenger().confirm(this, question, title, MessageIcon::None, MessageButtons::OkCancel,
                                         MessageAnswer::Ok);
}

void frmMaklumatIP::showError(const QString& error)
{
    m_context.messenger().inform(this, error, MessageTitle::ErrorBang3, MessageIcon::Critical);
}

} // namespace tarvo
