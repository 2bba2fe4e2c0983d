#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvo {

class AppContext;
class UserStore;

// The change-of-password dialog of the signed-in user: the current password must match exactly
// (letter case counts) and the new one must be typed twice alike; then the user's own row gets it.
class frmTukarPassword : public QDialog
{
    Q_OBJECT
public:
    explicit frmTukarPassword(AppContext& context, QWidget* parent = nullptr);
    ~frmTukarPassword() override;

private:
    void cmdSimpan_Click();
    void cmdBatal_Click();
    void showError(const QString& text, QLineEdit* focus);

    AppContext& m_context;
    std::unique_ptr<UserStore> m_store;

    QLabel* lblUserID;
    QLineEdit* txtPassword;
    QLineEdit* txtNewPassword;
    QLineEdit* txtReconfirm;
    QPushButton* cmdSimpan;
    QPushButton* cmdBatal;
};

} // namespace tarvo
