#include "accounts/frmUser.h"

#include "accounts/SignedInAccount.h"
#include "core/FieldNavigation.h"
#include "core/WidgetParts.h"

#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/DatabaseService.h"
#include "core/MainWindowAccess.h"
#include "core/Messenger.h"
#include "core/WindowRegistry.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tarvo {

namespace {

const QString AreaOptionCaption = QStringLiteral("Administrator For Area");
constexpr int UserIdLength = 6;

} // namespace

frmUser::frmUser(AppContext& context, MainWindowAccess& mainWindow, const SignedInAccount& signedIn,
                 const MailTransportFactory& mail, SmtpSetupOpener openSmtpSetup, QWidget* parent)
    : QWidget(parent), m_context(context), m_mainWindow(mainWindow), m_signedIn(signedIn),
      m_store(context.database()), m_openSmtpSetup(std::move(openSmtpSetup)), m_client(mail(this))
{
    buildControls();
    connect(m_client, &MailTransport::finished, this, &frmUser::onMailFinished);
    // Nothing is held open on the database; after a change of it the list is read again. An account
    // being added or changed is the window's unsaved edit, until its save sends the mail.
    new DatabaseHold(context.databaseService(), this,
                     {.reload = [this] { returnToBrowse(); },
                      .unsavedEdit = [this] { return !frameSimpan->isHidden() && !m_client->isBusy(); },
                      .discardEdit = [this] { cmdBatal_Click(); }});
    Form_Load();
}

frmUser::~frmUser() = default;

void frmUser::buildControls()
{
    setObjectName(QStringLiteral("frmUser"));
    setWindowTitle(QStringLiteral("Tarvo User ..."));

    lstUserName = new QListWidget(this);
    lstUserName->setObjectName(QStringLiteral("lstUserName"));
    lstUserName->setMinimumWidth(180);

    txtNama = makeField("txtNama", this);
    txtUserID = makeField("txtUserID", this);
    txtPassword = makeField("txtPassword", this, true);
    txtEmail = makeField("txtEmail", this);

    auto* groupBox = new QGroupBox(QStringLiteral("Group :"), this);
    optKumpulan1 = new QRadioButton(QStringLiteral("System Administrator"), groupBox);
    optKumpulan1->setObjectName(QStringLiteral("optKumpulan1"));
    optKumpulan2 = new QRadioButton(QStringLiteral("Admininstrator For HQ"), groupBox);
    optKumpulan2->setObjectName(QStringLiteral("optKumpulan2"));
    optKumpulan3 = new QRadioButton(AreaOptionCaption, groupBox);
    optKumpulan3->setObjectName(QStringLiteral("optKumpulan3"));
    cboRegion = new QComboBox(groupBox);
    cboRegion->setObjectName(QStringLiteral("cboRegion"));
    // Its place is kept while it is hidden, so that showing it never squeezes the other controls.
    QSizePolicy keepPlace = cboRegion->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    cboRegion->setSizePolicy(keepPlace);
    auto* options = new QButtonGroup(groupBox);
    for (QRadioButton* option : {optKumpulan1, optKumpulan2, optKumpulan3})
        options->addButton(option);
    auto* groupLayout = new QVBoxLayout(groupBox);
    groupLayout->addWidget(optKumpulan1);
    groupLayout->addWidget(optKumpulan2);
    groupLayout->addWidget(optKumpulan3);
    groupLayout->addWidget(cboRegion);

    frameOperasi = new QGroupBox(this);
    frameOperasi->setObjectName(QStringLiteral("frameOperasi"));
    cmdTambah = makeButton(QStringLiteral("Add"), "cmdTambah", frameOperasi);
    cmdKemaskini = makeButton(QStringLiteral("Update"), "cmdKemaskini", frameOperasi);
    cmdHapus = makeButton(QStringLiteral("Delete"), "cmdHapus", frameOperasi);
    cmdTutup = makeButton(QStringLiteral("Close"), "cmdTutup", frameOperasi);
    auto* browseButtons = new QHBoxLayout(frameOperasi);
    for (QPushButton* b : {cmdTambah, cmdKemaskini, cmdHapus, cmdTutup})
        browseButtons->addWidget(b);

    frameSimpan = new QGroupBox(this);
    frameSimpan->setObjectName(QStringLiteral("frameSimpan"));
    cmdSimpan = makeButton(QStringLiteral("Save"), "cmdSimpan", frameSimpan);
    cmdBatal = makeButton(QStringLiteral("Cancel"), "cmdBatal", frameSimpan);
    cmdTutup1 = makeButton(QStringLiteral("Close"), "cmdTutup1", frameSimpan);
    auto* editButtons = new QHBoxLayout(frameSimpan);
    for (QPushButton* b : {cmdSimpan, cmdBatal, cmdTutup1})
        editButtons->addWidget(b);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Name :"), txtNama);
    fields->addRow(QStringLiteral("User ID :"), txtUserID);
    fields->addRow(QStringLiteral("Password :"), txtPassword);
    fields->addRow(QStringLiteral("Int. Email :"), txtEmail);
    auto* right = new QVBoxLayout;
    right->addLayout(fields);
    right->addWidget(groupBox);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(lstUserName, 2);
    top->addLayout(right, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(frameOperasi);
    layout->addWidget(frameSimpan);
    resize(560, 360);

    for (QLineEdit* box : {txtNama, txtUserID, txtPassword})
        FieldNavigation::install(box);
    txtUserID->installEventFilter(this);

    // A pick by mouse or keyboard selects a name; the list's own focus handling only moves its cursor.
    connect(lstUserName, &QListWidget::itemSelectionChanged, this, [this] {
        if (pickedItem())
            lstUserName_Click();
    });
    connect(optKumpulan1, &QRadioButton::clicked, cboRegion, &QWidget::hide);
    connect(optKumpulan2, &QRadioButton::clicked, cboRegion, &QWidget::hide);
    // A click on the option that is already selected also brings up the area list.
    connect(optKumpulan3, &QRadioButton::clicked, this, &frmUser::optKumpulan3_Click);
    connect(cmdTambah, &QPushButton::clicked, this, &frmUser::cmdTambah_Click);
    connect(cmdKemaskini, &QPushButton::clicked, this, &frmUser::cmdKemaskini_Click);
    connect(cmdHapus, &QPushButton::clicked, this, &frmUser::cmdHapus_Click);
    connect(cmdTutup, &QPushButton::clicked, this, &frmUser::cmdTutup_Click);
    connect(cmdSimpan, &QPushButton::clicked, this, &frmUser::cmdSimpan_Click);
    connect(cmdBatal, &QPushButton::clicked, this, &frmUser::cmdBatal_Click);
    connect(cmdTutup1, &QPushButton::clicked, this, &frmUser::cmdTutup_Click);
}

void frmUser::Form_Load()
{
    showEditFrame(false);
    cmdKemaskini->setEnabled(false);
    cmdHapus->setEnabled(false);
    cboRegion->hide();
    DisableUserFields();

    m_smtp = SmtpSettings::read(m_context);
    if (m_smtp.server.isEmpty() && m_openSmtpSetup) {
        m_openSmtpSetup(parentWidget() ? parentWidget() : this);
        m_smtp = SmtpSettings::read(m_context);
    }
    fillList();
    m_areaOptionCaption = AreaOptionCaption;
}

void frmUser::fillList()
{
    const QSignalBlocker blocker(lstUserName);
    lstUserName->clear();
    auto names = m_store.names();
    if (!names)
        return showDatabaseError(names.error());
    for (const UserListEntry& entry : *names) {
        auto* item = new QListWidgetItem(entry.Name, lstUserName);
        item->setData(Qt::UserRole, entry.rowId);
    }
}

void frmUser::showDatabaseError(const QString& error)
{
    m_context.messenger().inform(this, error, QStringLiteral("Error !!!"), MessageIcon::Critical);
}

void frmUser::showEditFrame(bool editing)
{
    frameOperasi->setVisible(!editing);
    frameSimpan->setVisible(editing);
}

void frmUser::setUserFieldsEnabled(bool enabled)
{
    for (QWidget* widget : std::initializer_list<QWidget*>{txtNama, txtUserID, txtPassword, txtEmail,
                                                           optKumpulan1, optKumpulan2, optKumpulan3})
        widget->setEnabled(enabled);
}

void frmUser::EnableUserFields()
{
    setUserFieldsEnabled(true);
}

void frmUser::DisableUserFields()
{
    setUserFieldsEnabled(false);
    cboRegion->hide();
}

void frmUser::ClearUserFields()
{
    for (QLineEdit* box : {txtNama, txtUserID, txtPassword, txtEmail})
        box->clear();
    QButtonGroup* options = optKumpulan1->group();
    options->setExclusive(false);
    for (QRadioButton* option : {optKumpulan1, optKumpulan2, optKumpulan3})
        option->setChecked(false);
    options->setExclusive(true);
    optKumpulan3->setText(m_areaOptionCaption);
    // The area list of an earlier account must not be saved as the area of the next one.
    cboRegion->clear();
    cboRegion->hide();
}

QListWidgetItem* frmUser::pickedItem() const
{
    const QList<QListWidgetItem*> picked = lstUserName->selectedItems();
    return picked.isEmpty() ? nullptr : picked.first();
}

void frmUser::lstUserName_Click()
{
    QListWidgetItem* item = pickedItem();
    if (!item)
        return;
    cmdKemaskini->setEnabled(true);
    cmdHapus->setEnabled(true);
    cboRegion->hide();
    ClearUserFields();

    auto found = m_store.byRowId(item->data(Qt::UserRole).toLongLong());
    m_shown = found ? *found : std::nullopt;
    if (!m_shown) {
        // Nothing is shown, so Update and Delete have no row to act on.
        cmdKemaskini->setEnabled(false);
        cmdHapus->setEnabled(false);
        if (!found)
            return showDatabaseError(found.error());
        // Deleted meanwhile, by another workstation: the list is brought up to date.
        m_context.messenger().inform(this, QStringLiteral("This user is no longer in Tarvo database."),
                                     QStringLiteral("Error !!!"), MessageIcon::Exclamation);
        fillList();
        return;
    }
    txtNama->setText(m_shown->Name);
    txtUserID->setText(m_shown->UserID);
    txtPassword->setText(m_shown->Password);
    txtEmail->setText(m_shown->Email);
    if (isGroup(m_shown->Group, GroupSistem)) {
        optKumpulan1->setChecked(true);
    } else if (isGroup(m_shown->Group, GroupHQ)) {
        optKumpulan2->setChecked(true);
    } else if (isGroup(m_shown->Group, GroupKawasan)) {
        optKumpulan3->setChecked(true);
        optKumpulan3->setText(m_areaOptionCaption + QStringLiteral("  ") + m_shown->Tadbir);
    }
}

void frmUser::optKumpulan3_Click()
{
    if (!optKumpulan3->isEnabled())
        return;
    cboRegion->show();
    cboRegion->clear();
    auto areas = m_store.areaNames();
    if (!areas)
        return showDatabaseError(areas.error());
    cboRegion->addItems(*areas);
    cboRegion->setCurrentIndex(-1);
    if (!m_addMode && m_shown && !m_shown->Tadbir.isEmpty())
        cboRegion->setCurrentIndex(cboRegion->findText(m_shown->Tadbir));
}

void frmUser::cmdTambah_Click()
{
    showEditFrame(true);
    lstUserName->setEnabled(false);
    optKumpulan3->setText(m_areaOptionCaption);
    m_addMode = true;
    EnableUserFields();
    ClearUserFields();
    txtNama->setFocus();
}

void frmUser::cmdKemaskini_Click()
{
    showEditFrame(true);
    lstUserName->setEnabled(false);
    m_addMode = false;
    EnableUserFields();
    txtNama->setFocus();
    optKumpulan3->setToolTip(optKumpulan3->isChecked() ? QStringLiteral("Double-Click to update ...")
                                                       : QString());
}

void frmUser::cmdBatal_Click()
{
    showEditFrame(false);
    cmdKemaskini->setEnabled(!m_addMode);
    cmdHapus->setEnabled(!m_addMode);
    DisableUserFields();
    if (pickedItem())
        lstUserName_Click();
    else
        ClearUserFields();
    lstUserName->setEnabled(true);
}

AccountFields frmUser::fieldsToSave() const
{
    AccountFields fields{txtNama->text(), txtUserID->text(), txtPassword->text(), txtEmail->text(), {}, {}};
    if (optKumpulan1->isChecked()) {
        fields.Group = GroupSistem;
    } else if (optKumpulan2->isChecked()) {
        fields.Group = GroupHQ;
    } else if (optKumpulan3->isChecked()) {
        fields.Group = GroupKawasan;
        fields.Tadbir = chosenArea();
    }
    return fields;
}

QString frmUser::chosenArea() const
{
    // Until the area list is brought up, the shown area administrator keeps his area.
    if (cboRegion->count() == 0 && !m_addMode && m_shown && isGroup(m_shown->Group, GroupKawasan))
        return m_shown->Tadbir;
    return cboRegion->currentText();
}

bool frmUser::reportProblem(const DbResult<AccountProblem>& problem, const QString& lastAdministratorMessage)
{
    if (!problem) {
        showDatabaseError(problem.error());
        return false;
    }
    Messenger& messenger = m_context.messenger();
    switch (*problem) {
    case AccountProblem::None:
        return true;
    case AccountProblem::UserIdExists:
        messenger.inform(this, QStringLiteral("User ID already exist !"), QStringLiteral("Error"),
                         MessageIcon::Exclamation);
        txtUserID->setFocus();
        return false;
    case AccountProblem::LastSystemAdministrator:
        messenger.inform(this, lastAdministratorMessage, QStringLiteral("Error !!!"),
                         MessageIcon::Exclamation);
        return false;
    case AccountProblem::RowGone:
        messenger.inform(this, QStringLiteral("This user is no longer in Tarvo database."),
                         QStringLiteral("Error !!!"), MessageIcon::Exclamation);
        return false;
    }
    return false;
}

void frmUser::cmdSimpan_Click()
{
    Messenger& messenger = m_context.messenger();
    if (optKumpulan3->isChecked() && chosenArea().isEmpty()) {
        messenger.inform(this, QStringLiteral("Please select user responsibility !"),
                         QStringLiteral("Error !!!"), MessageIcon::Exclamation);
        if (cboRegion->isHidden())
            optKumpulan3_Click();
        cboRegion->setFocus();
        return;
    }
    if (txtNama->text().isEmpty()) {
        messenger.inform(this, QStringLiteral("Please enter User Name !"), QStringLiteral("Error !"),
                         MessageIcon::Exclamation);
        txtNama->setFocus();
        return;
    }
    const AccountFields fields = fieldsToSave();
    const qint64 rowId = m_addMode || !m_shown ? 0 : m_shown->rowId;
    const QString lastAdministrator =
        QStringLiteral("This user is the only System Administrator. You cannot change this user's group !");
    if (!reportProblem(m_store.checkSave(rowId, fields), lastAdministrator))
        return;
    if (!messenger.confirm(this, QStringLiteral("Save record to Tarvo database ?"),
                           QStringLiteral("Save record"), MessageIcon::None, MessageButtons::OkCancel,
                           MessageAnswer::Ok))
        return;

    // The checks run again with the write, in case another workstation changed the table meanwhile.
    if (!reportProblem(m_addMode ? m_store.add(fields) : m_store.update(rowId, fields), lastAdministrator))
        return;

    if (m_addMode) {
        cmdSimpan->setEnabled(false);
        cmdBatal->setEnabled(false);
        cmdTutup1->setEnabled(false);
        DisableUserFields();
        if (!txtEmail->text().isEmpty() && !m_smtp.server.isEmpty())
            return SendUserMail();
        return afterSave();
    }

    if (m_shown && isOwnAccount(*m_shown)) {
        m_mainWindow.setMainCaption(signedInCaption(m_context.productTitle(), txtNama->text()));
        // The session follows the own account at once: records are saved under the new name, and a
        // group given up no longer opens what only that group may use (a restore, say).
        if (auto saved = m_store.byRowId(rowId); saved && saved->has_value())
            signInSession(m_context.mutableSession(), **saved);
        // A system administrator who gives himself another group loses the user accounts at once.
        const bool demoted = optKumpulan2->isChecked() || optKumpulan3->isChecked();
        if (m_mainWindow.userAccountsEnabled() && demoted) {
            m_mainWindow.setUserAccountsEnabled(false);
            closeWindowOf(this);
            return;
        }
    }
    returnToBrowse();
}

bool frmUser::isOwnAccount(const UserAccount& row) const
{
    const Session& session = m_context.session();
    if (m_signedIn.rowId == 0)
        return row.Name == session.LoginName;
    // The row number alone is not enough: after a change of database it may name another account.
    return row.rowId == m_signedIn.rowId && row.UserID.compare(session.LoginUserID, Qt::CaseInsensitive) == 0;
}

void frmUser::SendUserMail()
{
    setCursor(Qt::WaitCursor);
    m_client->send(m_smtp.server, m_smtp.port(),
                   newAccountMail(txtNama->text(), txtEmail->text(), txtUserID->text(), txtPassword->text(),
                                  m_context.session().LoginName));
}

void frmUser::onMailFinished(bool ok, const QString& error)
{
    unsetCursor();
    // The account is saved whatever became of its mail.
    if (!ok)
        showMailError(m_context.messenger(), this, error);
    afterSave();
}

void frmUser::afterSave()
{
    cmdSimpan->setEnabled(true);
    cmdBatal->setEnabled(true);
    cmdTutup1->setEnabled(true);
    returnToBrowse();
}

void frmUser::returnToBrowse()
{
    fillList();
    showEditFrame(false);
    cmdKemaskini->setEnabled(false);
    cmdHapus->setEnabled(false);
    lstUserName->setEnabled(true);
    m_shown.reset();
    ClearUserFields();
    DisableUserFields();
}

void frmUser::cmdHapus_Click()
{
    if (!m_shown)
        return;
    Messenger& messenger = m_context.messenger();
    // An account of the signed-in user's name is refused too, whichever row it is.
    if (isOwnAccount(*m_shown) || m_shown->Name == m_context.session().LoginName) {
        messenger.inform(this, QStringLiteral("You cannot delete your own record !"),
                         QStringLiteral("Error !!!"), MessageIcon::Exclamation);
        return;
    }
    const QString lastAdministrator =
        QStringLiteral("This user is the only System Administrator. You cannot delete this record !");
    if (!reportProblem(m_store.checkDelete(m_shown->rowId), lastAdministrator))
        return;
    if (!messenger.confirm(this, QStringLiteral("Delete record from Tarvo database ?"),
                           QStringLiteral("Delete record"), MessageIcon::None, MessageButtons::OkCancel,
                           MessageAnswer::Ok))
        return;
    if (!reportProblem(m_store.remove(m_shown->rowId), lastAdministrator))
        return;
    returnToBrowse();
}

void frmUser::cmdTutup_Click()
{
    closeWindowOf(this);
}

void frmUser::txtUserID_LostFocus()
{
    if (txtUserID->text().size() <= UserIdLength || m_checkingUserId)
        return;
    m_checkingUserId = true;
    m_context.messenger().inform(this, QStringLiteral("User ID : 6 character only ... "), DefaultMessageTitle,
                                 MessageIcon::None);
    txtUserID->setFocus();
    m_checkingUserId = false;
}

QString frmUser::busyReason() const
{
    if (!m_client->isBusy())
        return {};
    return QStringLiteral("The user ID and password are being mailed to the new user. Wait until the mail "
                          "is sent, then try again.");
}

void frmUser::closeEvent(QCloseEvent* event)
{
    // While the new account's mail is on its way the window stays open, as its Close buttons are locked:
    // closing would drop the mail unsent. The mail ends within the mail client's time limits.
    if (m_client->isBusy()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

bool frmUser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtUserID && event->type() == QEvent::FocusOut) {
        // Only when the user leaves the box, not when another window (the message box) takes the focus.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && txtUserID->isEnabled())
            txtUserID_LostFocus();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tarvo
