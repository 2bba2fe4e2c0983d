#include "records/frmAssignLog.h"

#include "assign/AssignLog.h"
#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/Messenger.h"
#include "core/ProgramFolder.h"
#include "core/WidgetParts.h"
#include "core/WindowRegistry.h"
#include "records/AssignLogFile.h"
#include "records/IndexedTextFile.h"
#include "records/TextLinesView.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace tarvo {

frmAssignLog::frmAssignLog(AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_log(new IndexedTextFile(this))
{
    setObjectName(QStringLiteral("frmAssignLog"));
    setWindowTitle(QStringLiteral("Assign Log"));

    txtAssignLog = new TextLinesView(this);
    txtAssignLog->setObjectName(QStringLiteral("txtAssignLog"));
    txtAssignLog->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtAssignLog->setSource(m_log);

    cmdClearLog = makeButton(QStringLiteral("Clear Log"), "cmdClearLog", this);
    cmdClose = makeButton(QStringLiteral("Close"), "cmdClose", this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdClearLog);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtAssignLog);
    layout->addLayout(buttons);

    connect(cmdClearLog, &QPushButton::clicked, this, &frmAssignLog::cmdClearLog_Click);
    connect(cmdClose, &QPushButton::clicked, this, [this] { closeWindowOf(this); });
    connect(m_log, &IndexedTextFile::readFailed, this, &frmAssignLog::showLogError);
    LoadAssignLog();
    fitFirstBlock();
    resize(sizeHint());
}

QSize frmAssignLog::sizeHint() const
{
    QSize room = screen()->availableGeometry().size();
    // Inside the main window, the room is its window area less the frame of a child window.
    if (const auto* sub = qobject_cast<const QMdiSubWindow*>(parentWidget()); sub && sub->mdiArea()) {
        const int frame = sub->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub);
        const int title = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
        room = room.boundedTo(sub->mdiArea()->viewport()->size() - QSize(2 * frame, title + 2 * frame));
    }
    return QWidget::sizeHint().boundedTo(room);
}

void frmAssignLog::LoadAssignLog()
{
    QString error;
    if (!m_log->open(joinPath(m_context.program().ProgramFolder, AssignLogFileName), &error))
        showLogError();
}

void frmAssignLog::fitFirstBlock()
{
    // The widest lines of a block with a unit and its address (53 hyphens at least), or of the first
    // block of this log; one line more, as a cleared log starts with an empty line.
    IpRecord withUnit;
    withUnit.UnitDivision = QStringLiteral(" ");
    QStringList sample = AssignLogBlock(withUnit, {}).split(QLatin1String("\r\n"), Qt::SkipEmptyParts);
    const int lines = int(sample.size()) + 1;
    sample += m_log->lines(0, lines);
    txtAssignLog->fitLines(sample, lines);
}

void frmAssignLog::cmdClearLog_Click()
{
    // The log is the only record of past assignments: clearing it is asked first, No by default.
    if (!m_context.messenger().confirm(this, ClearLogQuestion, MessageTitle::Confirmation,
                                       MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No))
        return;
    if (!ClearAssignLog(m_context.program().ProgramFolder))
        return showLogError();
    m_log->close();
    txtAssignLog->setSource(m_log);
}

void frmAssignLog::showLogError()
{
    m_context.messenger().inform(this, AssignLogErrorMessage, AssignLogErrorTitle, MessageIcon::Information);
}

} // namespace tarvo
