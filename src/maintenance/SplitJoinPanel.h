#pragma once

#include "maintenance/StepRunner.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvo {

class AppContext;
class ctlProgress;
class frmSplitterSplash;

// The options of the split and the join that the backup window keeps between runs.
struct SplitOptions
{
    bool deleteParts = true;
    bool openExplorer = true;
    bool copyToFloppy = false;
};

// The lower half of the backup window: cuts the file of its file box into numbered pieces with a batch
// file that joins them again, copies the pieces to removable disks, and joins pieces back into the
// file. Splits and joins run in steps on the event loop with their progress shown; Stop ends one and
// takes back what it wrote. While one runs, the buttons that could start another are disabled.
class SplitJoinPanel final : public QWidget
{
    Q_OBJECT
public:
    SplitJoinPanel(const AppContext& context, QWidget* parent = nullptr);
    ~SplitJoinPanel() override;

    // The file box: the file to split, or the file to rebuild from its pieces.
    QString fileName() const;
    void setFileName(const QString& path);

    SplitOptions options() const;
    void setOptions(const SplitOptions& options);

    // What runs now, for the user; empty when nothing does.
    QString busyReason() const;

    void SplitFiles(const QString& path, qint64 pieceSize);
    void JoinFiles(const QString& path);
    void UpdateEstimatedFileCount();

Q_SIGNALS:
    // A split, join or copy to disks started (true) or ended (false).
    void runningChanged(bool running);

private:
    enum class Run
    {
        None,
        Split,
        Join,
        DiskCopy
    };

    void buildControls();
    void txtFileName_Change();
    void cmdSplit_Click();
    void cmdJoin_Click();
    void startRun(Run run, std::unique_ptr<PieceJob> job, const QString& caption, qint64 total);
    void setRunning(Run run);
    void onProgress(const PieceProgress& progress);
    void onFinished(bool ok);
    void showTimes();
    void copyToDisks(const QString& path, qint64 count);
    void openFolderOf(const QString& path);
    void reportFailure(const QString& label, const QString& detail);
    // The database this program uses, which nothing the panel writes may replace.
    QString databaseInUse() const;

    const AppContext& m_context;
    StepRunner m_runner;
    Run m_run = Run::None;
    QString m_runPath;
    QDateTime m_started;
    QElapsedTimer m_clock;
    frmSplitterSplash* m_splash = nullptr;

    QGroupBox* Frame2;
    QLabel* Label2;
    QLabel* lblFileName;
    QLineEdit* txtFileName;
    QPushButton* cmdSplit;
    QPushButton* cmdJoin;
    QPushButton* cmdStop;
    QCheckBox* chkDeleteParts;
    QCheckBox* chkOpenExplorer;
    QCheckBox* chkCopyToFloppy;
    ctlProgress* ctlProgress1;
    QGroupBox* fraStats;
    QLabel* lblStart;
    QLabel* lblFinish;
    QLabel* lblElapsed;
    QLabel* lblFileCount;
    QGroupBox* fraEst;
    QLabel* lblEstFileCount;
};

// A date and time as the backup window shows them: dd/MM/yyyy hh:mm:ss AM/PM.
QString formatDateTime(const QDateTime& time);

} // namespace tarvo
