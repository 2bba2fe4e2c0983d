#include "accounts/frmTukarPassword.h"

#include "accounts/UserStore.h"
#include "core/FieldNavigation.h"
#include "core/WidgetParts.h"

#include "core/AppContext.h"
#include "core/Messenger.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

namespace {
const QString AccountGone =
    QStringLiteral("Your account is no longer in Tarvo database (its user ID or name was "
                   "changed, or it was deleted). Nothing was saved.");
} // namespace

frmTukarPassword::frmTukarPassword(AppContext& context, QWidget* parent)
    : QDialog(parent), m_context(context), m_store(std::make_unique<UserStore>(context.database()))
{
    setObjectName(QStringLiteral("frmTukarPassword"));
    setWindowTitle(QStringLiteral("Change password for ") + context.session().LoginName);
    setModal(true);

    lblUserID = new QLabel(context.session().LoginUserID, this);
    lblUserID->setObjectName(QStringLiteral("lblUserID"));
    auto masked = [this](const char* name) {
        QLineEdit* field = makeField(name, this, true);
        FieldNavigation::install(field);
        return field;
    };
    txtPassword = masked("txtPassword");
    txtNewPassword = masked("txtNewPassword");
    txtReconfirm = masked("txtReconfirm");
    cmdSimpan = makeButton(QStringLiteral("OK"), "cmdSimpan", this);
    cmdBatal = makeButton(QStringLiteral("Cancel"), "cmdBatal", this);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("User ID :"), lblUserID);
    fields->addRow(QStringLiteral("Password :"), txtPassword);
    fields->addRow(QStringLiteral("New Password :"), txtNewPassword);
    fields->addRow(QStringLiteral("Confirmation :"), txtReconfirm);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttonRow({cmdSimpan, cmdBatal}));
    setMinimumWidth(340);

    setTabOrder(txtPassword, txtNewPassword);
    setTabOrder(txtNewPassword, txtReconfirm);
    setTabOrder(txtReconfirm, cmdSimpan);
    setTabOrder(cmdSimpan, cmdBatal);
    connect(cmdSimpan, &QPushButton::clicked, this, &frmTukarPassword::cmdSimpan_Click);
    connect(cmdBatal, &QPushButton::clicked, this, &frmTukarPassword::cmdBatal_Click);
    txtPassword->setFocus();
}

frmTukarPassword::~frmTukarPassword() = default;

void frmTukarPassword::showError(const QString& text, QLineEdit* focus)
{
    m_context.messenger().inform(this, text, QStringLiteral("Error !!!"), MessageIcon::Exclamation);
    if (focus)
        focus->setFocus();
}

void frmTukarPassword::cmdSimpan_Click()
{
    const Session& session = m_context.session();
    auto found = m_store->byUserIdAndName(session.LoginUserID, session.LoginName);
    if (!found)
        return showError(found.error(), nullptr);
    if (!found->has_value())
        return showError(AccountGone, nullptr);
    if ((*found)->Password != txtPassword->text())
        return showError(QStringLiteral("Invalid password !"), txtPassword);
    if (txtNewPassword->text() != txtReconfirm->text())
        return showError(QStringLiteral("Invalid password confirmation. Passwords do not match."),
                         txtNewPassword);

    auto written = m_store->setPassword((*found)->rowId, txtNewPassword->text());
    if (!written)
        return showError(written.error(), nullptr);
    if (!*written)
        return showError(AccountGone, nullptr);
    m_context.messenger().inform(this, QStringLiteral("Done. Password saved ..."),
                                 QStringLiteral("New Password"), MessageIcon::Information);
    accept();
}

void frmTukarPassword::cmdBatal_Click()
{
    reject();
}

} // namespace tarvo
