#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvo {

class AppContext;

// The mail settings dialog "eMail Setting": writes the SMTP server and the port text (as typed) to
// Tarvo.ini's Network section. It opens empty with the port "25", whatever the file holds.
class frmSMTPSetup : public QDialog
{
    Q_OBJECT
public:
    explicit frmSMTPSetup(AppContext& context, QWidget* parent = nullptr);

private:
    void cmdOK_Click();
    void cmdCancel_Click();

    AppContext& m_context;
    QLineEdit* txtSMTPServer;
    QLineEdit* txtSMTPPort;
    QLabel* Label3;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};

} // namespace tarvo
