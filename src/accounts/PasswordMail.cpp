#include "accounts/PasswordMail.h"

#include "accounts/UserStore.h"

#include "core/AppContext.h"
#include "core/Messenger.h"

#include <QStringList>

namespace tarvo {

namespace {

const QString SenderAddress = QStringLiteral("Tarvo");
const QString SenderName = QStringLiteral("Tarvo Administrator");
const QString Subject = QStringLiteral("Tarvo : Your User ID and Password");

// The body both mails share; they differ in the sentence before the sign-in data, the closing sentence
// and the signature.
MailMessage passwordMail(const QString& name, const QString& email, const QString& userId,
                         const QString& password, const QString& introduction, const QString& closing,
                         const QString& signature)
{
    const QString tab = QStringLiteral("\t");
    const QStringList body{name + QLatin1Char(','),
                           QString(),
                           introduction,
                           QString(),
                           tab + QStringLiteral("User ID ") + tab + QStringLiteral(": ") + userId,
                           tab + QStringLiteral("Password") + tab + QStringLiteral(": ") + password,
                           QString(),
                           closing,
                           QString(),
                           QStringLiteral("TQ"),
                           signature};
    return MailMessage{SenderAddress, SenderName, email, name, Subject, body.join(QLatin1String("\r\n"))};
}

} // namespace

SmtpSettings SmtpSettings::read(const AppContext& context)
{
    return SmtpSettings{context.ReadINI(QStringLiteral("Network"), QStringLiteral("SMTP")),
                        context.ReadINI(QStringLiteral("Network"), QStringLiteral("Port"))};
}

MailMessage newAccountMail(const QString& name, const QString& email, const QString& userId,
                           const QString& password, const QString& administratorName)
{
    return passwordMail(name, email, userId, password,
                        QStringLiteral("Bellow is your Tarvo User ID and Password : "),
                        QStringLiteral("If you have any problem, please don't hesitate to call ") +
                            administratorName + QLatin1Char('.'),
                        QStringLiteral("Tarvo system Administrator"));
}

MailMessage forgottenLoginMail(const UserAccount& account)
{
    return passwordMail(
        account.Name, account.Email, account.UserID, account.Password,
        QStringLiteral("Bellow is your Tarvo User ID and Password."),
        QStringLiteral("Please don't hesitate to call Tarvo Administrator if you have any problem."),
        QStringLiteral("Tarvo Administrator"));
}

void showMailError(Messenger& messenger, QWidget* parent, const QString& error)
{
    messenger.inform(parent, error, QStringLiteral("Ralat !!!"), MessageIcon::Critical);
}

} // namespace tarvo
