#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvo {

class AppContext;
class MainWindowAccess;
class UpdateCheck;
class UserStore;
struct AccountsNetwork;

// The sign-in dialog "Tarvo Login". A matching user ID and password (letter case ignored) sign the user
// in: the Session and the main window's caption are set, and the update check runs when its box is
// ticked; the dialog then closes with Accepted. A failed attempt opens the forgotten-login dialog and
// leaves this one open. Exit, Esc and closing the window leave it with Rejected and sign nobody in (the
// button reads "Cancel" during Change Login, when the previous user stays signed in).
class frmLogin : public QDialog
{
    Q_OBJECT
public:
    // Opens the forgotten-login dialog modally and returns when it is closed.
    using ForgottenLoginOpener = std::function<void(QWidget* parent)>;

    frmLogin(AppContext& context, MainWindowAccess& mainWindow, const AccountsNetwork& network,
             ForgottenLoginOpener openForgottenLogin, QWidget* parent = nullptr);
    ~frmLogin() override;

    // The rowid of the account that signed in; 0 until someone did.
    qint64 signedInRowId() const { return m_signedInRowId; }

    void reject() override;

private:
    void CmdTeruskan_Click();
    void cmdExit_Click();
    void startUpdateCheck();
    void setInputEnabled(bool enabled);

    AppContext& m_context;
    MainWindowAccess& m_mainWindow;
    std::unique_ptr<UserStore> m_store;
    UpdateCheck* m_updateCheck;
    ForgottenLoginOpener m_openForgottenLogin;
    qint64 m_signedInRowId = 0;
    bool m_checking = false;

    QLineEdit* txtUserID;
    QLineEdit* txtPassword;
    QPushButton* CmdTeruskan;
    QPushButton* cmdExit;
    QCheckBox* chkWebPatch;
    QLabel* lblNamaSistem;
};

} // namespace tarvo
