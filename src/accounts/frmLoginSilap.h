#pragma once

#include "accounts/MailTransport.h"

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvo {

class AppContext;
class UserStore;

// The forgotten-login dialog "Invalid User ID or Password ...": mails the user ID and password of the
// account whose e-mail address is typed, through the server of Tarvo.ini's Network section. It closes
// after the server accepted the mail, after a failed mail (with the error shown) and on Cancel, which
// also stops a mail on its way.
class frmLoginSilap : public QDialog
{
    Q_OBJECT
public:
    frmLoginSilap(AppContext& context, const MailTransportFactory& mail, QWidget* parent = nullptr);
    ~frmLoginSilap() override;

    // The transport of the mail, made by the factory handed in.
    MailTransport& mailClient() { return *m_client; }

    void reject() override;

private:
    void cmdOK_Click();
    void cmdBatal2_Click();
    void onMailFinished(bool ok, const QString& error);
    void setSending(bool sending);

    AppContext& m_context;
    std::unique_ptr<UserStore> m_store;
    MailTransport* m_client;

    QLineEdit* txtInternetEmail;
    QPushButton* cmdOK;
    QPushButton* cmdBatal2;
};

} // namespace tarvo
