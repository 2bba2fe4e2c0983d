#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace tarvo {

class AppContext;

// The change-folder dialog: copies the database in use into another folder (local or a mounted
// network share) and makes that copy the database, recording its folder in Tarvo.ini.
class frmChangeFolder final : public QDialog
{
    Q_OBJECT
public:
    explicit frmChangeFolder(const AppContext& context, QWidget* parent = nullptr);

    // Closes the dialog, except while its copy runs.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void cmdDirektori_Click();
    void cmdMoveDatabase_Click();
    void cmdMapNetwork_Click();
    void cmdTutup_Click();
    // Copies the database in use to target (unless it is that file already), records the folder and
    // makes the copy the database in use. False, after a message, when any step failed.
    bool moveDatabase(const QString& target, bool alreadyThere);

    const AppContext& m_context;
    QString m_folder; // the folder chosen, as the folder dialog gave it
    QLineEdit* m_path = nullptr;
    QPushButton* m_move = nullptr;
    QPushButton* m_close = nullptr;
    bool m_copying = false; // while the copy runs, the dialog takes no command and stays open
};

} // namespace tarvo
