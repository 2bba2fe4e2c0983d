#include "accounts/frmSMTPSetup.h"

#include "core/WidgetParts.h"

#include "core/AppContext.h"
#include "core/Messenger.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

frmSMTPSetup::frmSMTPSetup(AppContext& context, QWidget* parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("frmSMTPSetup"));
    setWindowTitle(QStringLiteral("eMail Setting"));
    setModal(true);

    Label3 = new QLabel(QStringLiteral("Please enter your SMTP Server ..."), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    txtSMTPServer = makeField("txtSMTPServer", this);
    txtSMTPPort = makeField("txtSMTPPort", this);
    txtSMTPPort->setText(QStringLiteral("25"));
    cmdOK = makeButton(QStringLiteral("OK"), "cmdOK", this);
    cmdOK->setDefault(true);
    cmdCancel = makeButton(QStringLiteral("Cancel"), "cmdCancel", this);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("SMTP Server  :"), txtSMTPServer);
    fields->addRow(QStringLiteral("Port :"), txtSMTPPort);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label3);
    layout->addLayout(fields);
    layout->addLayout(buttonRow({cmdOK, cmdCancel}));
    setMinimumWidth(340);

    connect(cmdOK, &QPushButton::clicked, this, &frmSMTPSetup::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSMTPSetup::cmdCancel_Click);
}

void frmSMTPSetup::cmdOK_Click()
{
    if (txtSMTPServer->text().isEmpty()) {
        m_context.messenger().inform(this, QStringLiteral("Please enter your SMTP Server."),
                                     QStringLiteral("Error"), MessageIcon::Exclamation);
        txtSMTPServer->setFocus();
        return;
    }
    if (!m_context.WriteINI(QStringLiteral("Network"), QStringLiteral("SMTP"), txtSMTPServer->text()) ||
        !m_context.WriteINI(QStringLiteral("Network"), QStringLiteral("Port"), txtSMTPPort->text())) {
        m_context.messenger().inform(
            this,
            QStringLiteral("The mail settings could not be written to %1.").arg(m_context.program().INIPath),
            QStringLiteral("Error"), MessageIcon::Critical);
        return;
    }
    accept();
}

void frmSMTPSetup::cmdCancel_Click()
{
    reject();
}

} // namespace tarvo
