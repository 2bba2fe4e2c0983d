#pragma once

#include "accounts/SmtpClient.h"

#include <QString>

class QWidget;

namespace tarvo {

class AppContext;
class Messenger;
struct UserAccount;

// The mail server settings of Tarvo.ini (section Network).
struct SmtpSettings
{
    QString server;   // Network/SMTP
    QString portText; // Network/Port, as typed

    quint16 port() const { return smtpPort(portText); }

    static SmtpSettings read(const AppContext& context);
};

// The mail that tells a new account its user ID and password; it names the administrator who made it.
MailMessage newAccountMail(const QString& name, const QString& email, const QString& userId,
                           const QString& password, const QString& administratorName);

// The mail that reminds an account of its forgotten user ID and password.
MailMessage forgottenLoginMail(const UserAccount& account);

// Shows a failed mail's error text.
void showMailError(Messenger& messenger, QWidget* parent, const QString& error);

} // namespace tarvo
