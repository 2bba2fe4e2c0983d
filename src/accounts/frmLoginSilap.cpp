#include "accounts/frmLoginSilap.h"

#include "accounts/PasswordMail.h"
#include "accounts/UserStore.h"
#include "core/FieldNavigation.h"
#include "core/WidgetParts.h"

#include "core/AppContext.h"
#include "core/Messenger.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

frmLoginSilap::frmLoginSilap(AppContext& context, const MailTransportFactory& mail, QWidget* parent)
    : QDialog(parent), m_context(context), m_store(std::make_unique<UserStore>(context.database())),
      m_client(mail(this))
{
    setObjectName(QStringLiteral("frmLoginSilap"));
    setWindowTitle(QStringLiteral("Invalid User ID or Password ..."));
    setModal(true);

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("frameLupaLogin"));
    auto* heading = new QLabel(QStringLiteral("Forgot your User ID or Password ?"), frame);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    auto* explanation = new QLabel(
        QStringLiteral("Enter your internet email address and Tarvo will send your User ID and Password."),
        frame);
    explanation->setWordWrap(true);
    txtInternetEmail = makeField("txtInternetEmail", frame);
    auto* emailRow = new QHBoxLayout;
    emailRow->addWidget(new QLabel(QStringLiteral("Internet Email :"), frame));
    emailRow->addWidget(txtInternetEmail, 1);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(heading);
    frameLayout->addWidget(explanation);
    frameLayout->addLayout(emailRow);

    cmdOK = makeButton(QStringLiteral("OK"), "cmdOK", this);
    cmdBatal2 = makeButton(QStringLiteral("Cancel"), "cmdBatal2", this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttonRow({cmdOK, cmdBatal2}));
    setMinimumWidth(420);

    FieldNavigation::install(txtInternetEmail, [this] { cmdOK_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, &frmLoginSilap::cmdOK_Click);
    connect(cmdBatal2, &QPushButton::clicked, this, &frmLoginSilap::cmdBatal2_Click);
    connect(m_client, &MailTransport::finished, this, &frmLoginSilap::onMailFinished);
    txtInternetEmail->setFocus();
}

frmLoginSilap::~frmLoginSilap() = default;

void frmLoginSilap::cmdOK_Click()
{
    if (m_client->isBusy() || txtInternetEmail->text().isEmpty())
        return;
    auto found = m_store->byEmail(txtInternetEmail->text());
    if (!found) {
        m_context.messenger().inform(this, found.error(), QStringLiteral("Error !!!"), MessageIcon::Critical);
        return;
    }
    if (!found->has_value()) {
        m_context.messenger().inform(this,
                                     QStringLiteral("Sorry, your internet email is not in Tarvo database !"),
                                     QStringLiteral("Error !!!"), MessageIcon::Critical);
        return;
    }
    // The settings are read at the moment of sending.
    const SmtpSettings settings = SmtpSettings::read(m_context);
    setSending(true);
    m_client->send(settings.server, settings.port(), forgottenLoginMail(**found));
}

void frmLoginSilap::onMailFinished(bool ok, const QString& error)
{
    setSending(false);
    if (ok)
        m_context.messenger().inform(
            this,
            QStringLiteral("Your request has been successfully accepted and scheduled. "
                           "You should receive an email message within one hour."),
            QStringLiteral("Accepted !"), MessageIcon::Information);
    else
        showMailError(m_context.messenger(), this, error);
    accept();
}

void frmLoginSilap::setSending(bool sending)
{
    // Cancel stays usable: it stops the mail.
    for (QWidget* widget : std::initializer_list<QWidget*>{txtInternetEmail, cmdOK})
        widget->setEnabled(!sending);
    if (sending)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void frmLoginSilap::cmdBatal2_Click()
{
    // Cancel, Esc and closing the window stop a mail on its way at once, and say that none was sent.
    if (m_client->isBusy()) {
        m_client->cancel();
        setSending(false);
        m_context.messenger().inform(this, QStringLiteral("Cancelled. No mail was sent."),
                                     QStringLiteral("Cancelled"), MessageIcon::Information);
    }
    QDialog::reject();
}

void frmLoginSilap::reject()
{
    cmdBatal2_Click();
}

} // namespace tarvo
