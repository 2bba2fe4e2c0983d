#include "accounts/frmLogin.h"

#include "accounts/UpdateCheck.h"
#include "accounts/UserStore.h"
#include "core/FieldNavigation.h"
#include "core/WidgetParts.h"

#include "core/AppContext.h"
#include "core/MainWindowAccess.h"
#include "core/Messenger.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

frmLogin::frmLogin(AppContext& context, MainWindowAccess& mainWindow, const AccountsNetwork& network,
                   ForgottenLoginOpener openForgottenLogin, QWidget* parent)
    : QDialog(parent), m_context(context), m_mainWindow(mainWindow),
      m_store(std::make_unique<UserStore>(context.database())),
      m_updateCheck(new UpdateCheck(context, network, mainWindow, this, this)),
      m_openForgottenLogin(std::move(openForgottenLogin))
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Tarvo Login"));
    setModal(true);

    lblNamaSistem = new QLabel(QStringLiteral("Manage Your IP Address Standard and Inventory System"), this);
    lblNamaSistem->setObjectName(QStringLiteral("lblNamaSistem"));
    QFont heading = lblNamaSistem->font();
    heading.setBold(true);
    lblNamaSistem->setFont(heading);

    txtUserID = makeField("txtUserID", this);
    txtPassword = makeField("txtPassword", this, true);
    selectAllOnFocus(txtUserID);
    selectAllOnFocus(txtPassword);

    CmdTeruskan = makeButton(QStringLiteral("Enter"), "CmdTeruskan", this);
    cmdExit = makeButton(context.session().ChangingLogin ? QStringLiteral("Cancel") : QStringLiteral("Exit"),
                         "cmdExit", this);

    chkWebPatch = new QCheckBox(QStringLiteral("Check for Version Updates."), this);
    chkWebPatch->setObjectName(QStringLiteral("chkWebPatch"));
    chkWebPatch->setChecked(true);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("User ID :"), txtUserID);
    fields->addRow(QStringLiteral("Password :"), txtPassword);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblNamaSistem);
    layout->addLayout(fields);
    layout->addWidget(chkWebPatch);
    layout->addLayout(buttonRow({CmdTeruskan, cmdExit}));
    setMinimumWidth(380);

    setTabOrder(txtUserID, txtPassword);
    setTabOrder(txtPassword, CmdTeruskan);
    setTabOrder(CmdTeruskan, cmdExit);
    setTabOrder(cmdExit, chkWebPatch);

    FieldNavigation::install(txtUserID);
    FieldNavigation::install(txtPassword, [this] { CmdTeruskan_Click(); });
    connect(CmdTeruskan, &QPushButton::clicked, this, &frmLogin::CmdTeruskan_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmLogin::cmdExit_Click);
    connect(m_updateCheck, &UpdateCheck::finished, this, [this] {
        m_checking = false;
        unsetCursor();
        accept();
    });

    // The opener shows the busy pointer while it starts; the dialog waits for input with the arrow.
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    // The update command stays unavailable until this sign-in's check finds an update.
    m_mainWindow.setWebPatchAvailable(false);
    txtUserID->setFocus();
}

frmLogin::~frmLogin() = default;

void frmLogin::CmdTeruskan_Click()
{
    if (m_checking || !CmdTeruskan->isEnabled())
        return;
    setCursor(Qt::WaitCursor);
    auto found = m_store->findForSignIn(txtUserID->text(), txtPassword->text());
    unsetCursor();
    if (!found) {
        // Nobody is signed in by a failed look-up: the dialog stays open for another attempt.
        m_context.messenger().inform(
            this, QStringLiteral("The user ID and password could not be checked.\n\n%1").arg(found.error()),
            QStringLiteral("Error"), MessageIcon::Critical);
        return;
    }
    if (!found->has_value()) {
        if (m_openForgottenLogin)
            m_openForgottenLogin(this);
        // The next attempt starts with a new password, typed where the focus is.
        txtPassword->clear();
        txtPassword->setFocus();
        return;
    }

    const UserAccount& account = **found;
    signInSession(m_context.mutableSession(), account);
    m_signedInRowId = account.rowId;
    m_mainWindow.setMainCaption(signedInCaption(m_context.productTitle(), account.Name));

    if (chkWebPatch->isChecked())
        startUpdateCheck();
    else
        accept();
}

void frmLogin::startUpdateCheck()
{
    m_checking = true;
    setInputEnabled(false);
    setCursor(Qt::WaitCursor);
    m_updateCheck->start();
}

void frmLogin::setInputEnabled(bool enabled)
{
    for (QWidget* widget :
         std::initializer_list<QWidget*>{txtUserID, txtPassword, CmdTeruskan, cmdExit, chkWebPatch})
        widget->setEnabled(enabled);
}

void frmLogin::cmdExit_Click()
{
    QDialog::reject();
}

void frmLogin::reject()
{
    if (m_checking) {
        // The user is signed in already; closing the dialog only gives up the update check.
        m_updateCheck->disconnect(this);
        m_checking = false;
        unsetCursor();
        accept();
        return;
    }
    cmdExit_Click();
}

} // namespace tarvo
