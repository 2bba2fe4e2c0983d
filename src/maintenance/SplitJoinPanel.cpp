#include "maintenance/SplitJoinPanel.h"

#include "core/AppContext.h"
#include "core/Messenger.h"
#include "core/Shell.h"
#include "core/WidgetParts.h"
#include "maintenance/DiskCopy.h"
#include "maintenance/NamedWidget.h"
#include "maintenance/ctlProgress.h"
#include "maintenance/frmSplitterSplash.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

namespace {

constexpr qint64 PiecesWithoutQuestion = 10;

QString runLabel(bool split)
{
    return split ? QStringLiteral("Split Count: ") : QStringLiteral("Join Count: ");
}

} // namespace

QString formatDateTime(const QDateTime& time)
{
    return QLocale::c().toString(time, QStringLiteral("dd/MM/yyyy hh:mm:ss AP"));
}

SplitJoinPanel::SplitJoinPanel(const AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context)
{
    buildControls();
    connect(&m_runner, &StepRunner::progressed, this, &SplitJoinPanel::onProgress);
    connect(&m_runner, &StepRunner::finished, this, &SplitJoinPanel::onFinished);
    UpdateEstimatedFileCount();
}

SplitJoinPanel::~SplitJoinPanel() = default;

void SplitJoinPanel::buildControls()
{
    Frame2 = named(new QGroupBox(QStringLiteral("Split database file : "), this), "Frame2");
    Label2 = named(new QLabel(QStringLiteral("File:"), Frame2), "Label2");
    lblFileName = named(new QLabel(QStringLiteral("Filename:"), Frame2), "lblFileName");
    lblFileName->hide(); // the box's label is Label2
    txtFileName = makeField("txtFileName", Frame2);
    txtFileName->setEnabled(false);
    cmdSplit = makeButton(QStringLiteral("Split File"), "cmdSplit", Frame2);
    cmdJoin = makeButton(QStringLiteral("Join File"), "cmdJoin", Frame2);
    cmdStop = makeButton(QStringLiteral("Stop"), "cmdStop", Frame2);
    cmdStop->setEnabled(false);
    chkDeleteParts = named(new QCheckBox(QStringLiteral("Delete Split Parts when finished Joining"), Frame2),
                           "chkDeleteParts");
    chkOpenExplorer = named(new QCheckBox(QStringLiteral("Open Explorer Window to Split Directory"), Frame2),
                            "chkOpenExplorer");
    chkCopyToFloppy = named(new QCheckBox(QStringLiteral("Copy to Floppies when finished Splitting"), Frame2),
                            "chkCopyToFloppy");
    setOptions(SplitOptions{});
    ctlProgress1 = named(new ctlProgress(Frame2), "ctlProgress1");
    ctlProgress1->setCaptionStyle(0);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(Label2);
    fileRow->addWidget(lblFileName);
    fileRow->addWidget(txtFileName, 1);
    auto* options = new QVBoxLayout;
    for (QCheckBox* box : {chkDeleteParts, chkOpenExplorer, chkCopyToFloppy})
        options->addWidget(box);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {cmdSplit, cmdJoin, cmdStop})
        buttons->addWidget(button);
    auto* middle = new QHBoxLayout;
    middle->addLayout(options, 1);
    middle->addLayout(buttons);
    auto* frameLayout = new QVBoxLayout(Frame2);
    frameLayout->addLayout(fileRow);
    frameLayout->addLayout(middle);
    frameLayout->addWidget(ctlProgress1);

    fraStats = named(new QGroupBox(QStringLiteral("Statistics"), this), "fraStats");
    lblStart = named(new QLabel(QStringLiteral("Start Time:"), fraStats), "lblStart");
    lblFinish = named(new QLabel(QStringLiteral("Finish Time:"), fraStats), "lblFinish");
    lblElapsed = named(new QLabel(QStringLiteral("Elapsed Time:"), fraStats), "lblElapsed");
    lblFileCount = named(new QLabel(QStringLiteral("File Count:"), fraStats), "lblFileCount");
    auto* stats = new QVBoxLayout(fraStats);
    for (QLabel* shown : {lblStart, lblFinish, lblElapsed, lblFileCount})
        stats->addWidget(shown);
    fraEst = named(new QGroupBox(QStringLiteral("Estimates"), this), "fraEst");
    lblEstFileCount = named(new QLabel(QStringLiteral("File Count:"), fraEst), "lblEstFileCount");
    auto* estimates = new QVBoxLayout(fraEst);
    estimates->addWidget(lblEstFileCount);
    estimates->addStretch();

    auto* frames = new QHBoxLayout;
    frames->addWidget(fraStats, 3);
    frames->addWidget(fraEst, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Frame2);
    layout->addLayout(frames);

    connect(txtFileName, &QLineEdit::textChanged, this, &SplitJoinPanel::txtFileName_Change);
    connect(cmdSplit, &QPushButton::clicked, this, &SplitJoinPanel::cmdSplit_Click);
    connect(cmdJoin, &QPushButton::clicked, this, &SplitJoinPanel::cmdJoin_Click);
    connect(cmdStop, &QPushButton::clicked, &m_runner, &StepRunner::stop);
}

QString SplitJoinPanel::fileName() const
{
    return txtFileName->text();
}

void SplitJoinPanel::setFileName(const QString& path)
{
    txtFileName->setText(path);
    // The same name again may be another file now (a new backup copy): the estimate is read afresh.
    UpdateEstimatedFileCount();
}

SplitOptions SplitJoinPanel::options() const
{
    return {chkDeleteParts->isChecked(), chkOpenExplorer->isChecked(), chkCopyToFloppy->isChecked()};
}

void SplitJoinPanel::setOptions(const SplitOptions& options)
{
    chkDeleteParts->setChecked(options.deleteParts);
    chkOpenExplorer->setChecked(options.openExplorer);
    chkCopyToFloppy->setChecked(options.copyToFloppy);
}

QString SplitJoinPanel::busyReason() const
{
    switch (m_run) {
    case Run::None:
        return {};
    case Run::Split:
        return QStringLiteral("A file is being split. Wait until it is finished, or press Stop.");
    case Run::Join:
        return QStringLiteral("A file is being joined. Wait until it is finished, or press Stop.");
    case Run::DiskCopy:
        return QStringLiteral("The pieces of a file are being copied to disks.");
    }
    return {};
}

void SplitJoinPanel::txtFileName_Change()
{
    UpdateEstimatedFileCount();
}

void SplitJoinPanel::UpdateEstimatedFileCount()
{
    const QString text = txtFileName->text();
    const QFileInfo file(text);
    const bool idle = m_run == Run::None;
    cmdSplit->setEnabled(idle && !text.isEmpty() && file.isFile());
    cmdJoin->setEnabled(idle && !text.isEmpty() && QFileInfo(pieceName(text, 1)).isFile());
    lblEstFileCount->setText(QStringLiteral("File Count:"));
    if (!text.isEmpty() && file.isFile())
        lblEstFileCount->setText(QStringLiteral("File Count: %1").arg(pieceCount(file.size())));
}

void SplitJoinPanel::cmdSplit_Click()
{
    const QString text = txtFileName->text();
    if (!text.isEmpty() && QFileInfo(text).isFile())
        return SplitFiles(text, PieceSize);
    UpdateEstimatedFileCount();
    m_context.messenger().inform(this, QStringLiteral("File Not Found (%1)").arg(text),
                                 QStringLiteral("File Read Error"), MessageIcon::Critical);
}

void SplitJoinPanel::cmdJoin_Click()
{
    const QString text = txtFileName->text();
    if (!text.isEmpty() && QFileInfo(pieceName(text, 1)).isFile())
        return JoinFiles(text);
    UpdateEstimatedFileCount();
    m_context.messenger().inform(this, QStringLiteral("File Not Found (%1)").arg(text),
                                 QStringLiteral("File Read Error"), MessageIcon::Critical);
}

void SplitJoinPanel::SplitFiles(const QString& path, qint64 pieceSize)
{
    const qint64 length = QFileInfo(path).size();
    const qint64 count = pieceCount(length, pieceSize);
    if (count == 0) {
        // Pieces and a batch file naming a piece that does not exist would be of no use.
        m_context.messenger().inform(
            this, QStringLiteral("The file %1 is empty: there is nothing to split.").arg(path),
            QStringLiteral("File Read Error"), MessageIcon::Critical);
        return;
    }
    if (count > PiecesWithoutQuestion &&
        !m_context.messenger().confirm(
            this, QStringLiteral("Are you sure you want to break this file up into %1 pieces?").arg(count),
            QStringLiteral("Are you sure?"), MessageIcon::Question, MessageButtons::YesNo,
            MessageAnswer::Yes))
        return;
    m_runPath = path;
    startRun(Run::Split, std::make_unique<FileSplitter>(path, pieceSize, chkDeleteParts->isChecked()),
             QStringLiteral("Splitting"), length);
}

void SplitJoinPanel::JoinFiles(const QString& path)
{
    // A join is refused before the overwrite question when it could not end well: its output is the
    // database in use, or the pieces are not one whole split.
    if (const QString refusal = databaseInUseRefusal(path, databaseInUse()); !refusal.isEmpty())
        return reportFailure(runLabel(false) + QStringLiteral("Output File In Use"), refusal);
    if (consecutivePieces(path).isEmpty()) {
        lblFileCount->setText(QStringLiteral("Join Count: No Input Files"));
        return;
    }
    const PieceSet set = findWholePieceSet(path);
    if (set.lengths.isEmpty())
        return reportFailure(runLabel(false) + QStringLiteral("Incomplete Set"), set.problem);
    if (QFileInfo::exists(path) &&
        !m_context.messenger().confirm(
            this,
            QStringLiteral("Output file (%1) already exists.\rAre you sure you want to overwrite it?")
                .arg(path),
            QStringLiteral("Overwrite Warning"), MessageIcon::Question, MessageButtons::YesNo,
            MessageAnswer::Yes)) {
        lblFileCount->setText(QStringLiteral("Join Count: Output File Exists"));
        return;
    }
    qint64 total = 0;
    for (const qint64 length : set.lengths)
        total += length;
    m_runPath = path;
    startRun(Run::Join, std::make_unique<FileJoiner>(path, chkDeleteParts->isChecked()),
             QStringLiteral("Joining"), total);
}

QString SplitJoinPanel::databaseInUse() const
{
    return m_context.program().DatabasePath;
}

void SplitJoinPanel::startRun(Run run, std::unique_ptr<PieceJob> job, const QString& caption, qint64 total)
{
    m_started = QDateTime::currentDateTime();
    m_clock.start();
    job->setDatabaseInUse(databaseInUse());
    job->recordWhileWriting(m_context.program().ProgramFolder);
    setRunning(run);
    lblStart->setText(QStringLiteral("Start Time: ") + formatDateTime(m_started));
    lblFinish->setText(QStringLiteral("Finish Time:"));
    lblElapsed->setText(QStringLiteral("Elapsed Time:"));
    ctlProgress1->setMin(0);
    ctlProgress1->setMax(total);
    ctlProgress1->setCaptionStyle(3);
    ctlProgress1->setCaption(caption);
    ctlProgress1->setValue(0);
    m_runner.start(std::move(job));
}

void SplitJoinPanel::setRunning(Run run)
{
    const bool changed = (m_run == Run::None) != (run == Run::None);
    m_run = run;
    cmdStop->setEnabled(run == Run::Split || run == Run::Join);
    if (run == Run::None)
        unsetCursor();
    else
        setCursor(Qt::BusyCursor);
    UpdateEstimatedFileCount();
    if (changed)
        Q_EMIT runningChanged(run != Run::None);
}

void SplitJoinPanel::onProgress(const PieceProgress& progress)
{
    ctlProgress1->setValue(progress.bytesDone);
    if (progress.piece > 0)
        lblFileCount->setText(runLabel(m_run == Run::Split) +
                              QStringLiteral("%1 of %2").arg(progress.piece).arg(progress.pieces));
    lblFileCount->repaint();
}

void SplitJoinPanel::onFinished(bool ok)
{
    const bool split = m_run == Run::Split;
    const PieceJob& job = *m_runner.job();
    if (!ok) {
        setRunning(Run::None);
        QString label = runLabel(split);
        switch (job.error()) {
        case PieceError::Cancelled:
            lblFileCount->setText(label + QStringLiteral("Stopped"));
            return;
        case PieceError::Write:
            label += QStringLiteral("Write Error");
            break;
        case PieceError::InUse:
            label += QStringLiteral("Output File In Use");
            break;
        case PieceError::Incomplete:
            label += QStringLiteral("Incomplete Set");
            break;
        default:
            label += QStringLiteral("Read Error");
            break;
        }
        return reportFailure(label, job.errorText());
    }
    const qint64 pieces = job.progress().pieces;
    ctlProgress1->setCaption(split ? QStringLiteral("Finished Splitting")
                                   : QStringLiteral("Finished Joining"));
    ctlProgress1->setCaptionStyle(1);
    ctlProgress1->setValue(ctlProgress1->Max());
    lblFileCount->setText((split ? QStringLiteral("Split Count: Finished (%1 Files)")
                                 : QStringLiteral("File Count: Finished (%1 Files)"))
                              .arg(pieces));
    showTimes();
    setRunning(Run::None);
    if (split && chkCopyToFloppy->isChecked())
        copyToDisks(m_runPath, pieces);
    if (chkOpenExplorer->isChecked())
        openFolderOf(m_runPath);
}

void SplitJoinPanel::showTimes()
{
    lblFinish->setText(QStringLiteral("Finish Time: ") + formatDateTime(QDateTime::currentDateTime()));
    lblElapsed->setText(QStringLiteral("Elapsed Time: ") + formatElapsed(m_clock.elapsed() / 1000.0) +
                        QStringLiteral(" seconds"));
}

void SplitJoinPanel::reportFailure(const QString& label, const QString& detail)
{
    lblFileCount->setText(label);
    m_context.messenger().inform(this, label + QStringLiteral("\r\n") + detail, QStringLiteral("File Error"),
                                 MessageIcon::Critical);
}

void SplitJoinPanel::copyToDisks(const QString& path, qint64 count)
{
    if (!m_splash)
        m_splash = new frmSplitterSplash(this);
    setRunning(Run::DiskCopy);
    DiskCopy copy(
        m_context.messenger(), m_context.fileDialogs(), this,
        {[this](const QString& text) { m_splash->ShowMessage(text); }, [this] { m_splash->hide(); }},
        databaseInUse());
    copy.run(path, count);
    m_splash->hide();
    setRunning(Run::None);
}

void SplitJoinPanel::openFolderOf(const QString& path)
{
    // The folder that holds the pieces and the file, which the check box names. Without a file manager
    // the user is told so, with the folder's name.
    const QString folder = QFileInfo(path).absolutePath();
    openOrTell(m_context.shell(), m_context.messenger(), this, folder);
}

} // namespace tarvo
