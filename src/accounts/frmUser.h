#pragma once

#include "accounts/MailTransport.h"
#include "accounts/PasswordMail.h"
#include "accounts/UserStore.h"

#include "core/WindowTracker.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace tarvo {

class AppContext;
class MainWindowAccess;
struct SignedInAccount;

// The user-accounts window "Tarvo User ...": lists the accounts by name and adds, changes and deletes
// them. An account is shown, changed and deleted through the rowid of the row picked in the list, so
// accounts with the same name never stand in for each other. A new account with an e-mail address is
// mailed its user ID and password; the window does not close while that mail is on its way.
class frmUser : public QWidget, public BusyWindow
{
    Q_OBJECT
public:
    // Opens the mail settings dialog modally and returns when it is closed.
    using SmtpSetupOpener = std::function<void(QWidget* parent)>;

    frmUser(AppContext& context, MainWindowAccess& mainWindow, const SignedInAccount& signedIn,
            const MailTransportFactory& mail, SmtpSetupOpener openSmtpSetup, QWidget* parent = nullptr);
    ~frmUser() override;

    // The transport of the new accounts' mails, made by the factory handed in.
    MailTransport& mailClient() { return *m_client; }

    // While the new account's mail is on its way, the program may not close the window.
    QString busyReason() const override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void lstUserName_Click();
    void optKumpulan3_Click();
    void cmdTambah_Click();
    void cmdKemaskini_Click();
    void cmdBatal_Click();
    void cmdSimpan_Click();
    void cmdHapus_Click();
    void cmdTutup_Click();
    void txtUserID_LostFocus();

    void EnableUserFields();
    void DisableUserFields();
    void ClearUserFields();
    void setUserFieldsEnabled(bool enabled);
    void showEditFrame(bool editing);
    void fillList();
    QListWidgetItem* pickedItem() const;
    void returnToBrowse();
    void afterSave();
    void SendUserMail();
    void onMailFinished(bool ok, const QString& error);

    AccountFields fieldsToSave() const;
    // The area of an area administrator: the one picked in the list, else the shown account's own.
    QString chosenArea() const;
    // The signed-in user's own row (as loaded, before any edit): the row he signed in with, still under
    // his user ID; by his name when that row is not known.
    bool isOwnAccount(const UserAccount& row) const;
    // Shows the message of a refused save or delete; false when there was one.
    bool reportProblem(const DbResult<AccountProblem>& problem, const QString& lastAdministratorMessage);
    void showDatabaseError(const QString& error);

    AppContext& m_context;
    MainWindowAccess& m_mainWindow;
    const SignedInAccount& m_signedIn;
    UserStore m_store;
    SmtpSetupOpener m_openSmtpSetup;
    MailTransport* m_client;
    SmtpSettings m_smtp;

    bool m_addMode = false;
    std::optional<UserAccount> m_shown; // the row picked in the list, as loaded
    QString m_areaOptionCaption;
    bool m_checkingUserId = false;

    QListWidget* lstUserName;
    QLineEdit* txtNama;
    QLineEdit* txtUserID;
    QLineEdit* txtPassword;
    QLineEdit* txtEmail;
    QRadioButton* optKumpulan1;
    QRadioButton* optKumpulan2;
    QRadioButton* optKumpulan3;
    QComboBox* cboRegion;
    QGroupBox* frameOperasi;
    QPushButton* cmdTambah;
    QPushButton* cmdKemaskini;
    QPushButton* cmdHapus;
    QPushButton* cmdTutup;
    QGroupBox* frameSimpan;
    QPushButton* cmdSimpan;
    QPushButton* cmdBatal;
    QPushButton* cmdTutup1;
};

} // namespace tarvo
