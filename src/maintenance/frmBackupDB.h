#pragma once

#include "core/WindowTracker.h"
#include "maintenance/BackupFiles.h"
#include "maintenance/Registry.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvo {

class AppContext;
class SplitJoinPanel;

// The backup window "Backup & Restore": copies the live database and Tarvo.ini into a backup folder and
// back, and, in its lower half, splits a file into pieces and joins them again. It remembers the backup
// folder in Tarvo.ini and its check-box options in the user's settings store, and registers the
// "Split File" entry that starts the program with a file.
class frmBackupDB final : public QWidget, public BusyWindow
{
    Q_OBJECT
public:
    // registry: the user's settings store (Registry::forCurrentUser() in the program).
    frmBackupDB(const AppContext& context, Registry registry, QWidget* parent = nullptr);
    ~frmBackupDB() override;

    QString busyReason() const override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    bool chooseFolderAtLoad();
    void loadOptions();
    void saveOptions() const;
    // Enables the window's buttons by its state: what Browse, a backup and a restore allowed, whether
    // something runs, and the rule that only system administrators restore.
    void applyButtonStates();
    void allowBackupAndRestore(bool backup, bool restore);
    // Runs a backup's or restore's work with the window in its busy state (reason: what busyReason()
    // says meanwhile); the window's events keep flowing while the database work runs off this thread.
    DbOutcome runBusy(const QString& reason, const std::function<DbOutcome()>& work);
    void setFolder(const QString& folder);
    void cmdDirektori_Click();
    void cmdBackup_Click();
    void cmdRestore_Click();
    void cmdTutup_Click();
    // Tells why a backup into the folder is refused; false when it is.
    bool refuseBackup(BackupFiles::Refusal refusal);
    // Tells the user of a failed copy.
    void showFailure(const DbOutcome& failure);
    void SaveBackupLocation();

    const AppContext& m_context;
    Registry m_registry;
    BackupFiles m_files;
    QString m_lastAcceptedFolder;
    // The backup or restore under way, for busyReason(); empty when none.
    QString m_operation;
    bool m_backupAllowed = false;
    bool m_restoreAllowed = false;

    QLabel* Label1;
    QGroupBox* FrameFolder;
    QLineEdit* txtPath;
    QPushButton* cmdDirektori;
    QCheckBox* chkBackupDB;
    QCheckBox* chkBackupINI;
    QPushButton* cmdBackup;
    QPushButton* cmdRestore;
    QPushButton* cmdTutup;
    SplitJoinPanel* m_splitJoin;
};

} // namespace tarvo
