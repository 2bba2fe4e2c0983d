#include "records/frmAssignLog.h"

#include "assign/AssignLog.h"
#include "core/AppContext.h"
#include "core/Messenger.h"
#include "core/WidgetParts.h"
#include "core/WindowRegistry.h"
#include "records/AssignLogFile.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

frmAssignLog::frmAssignLog(AppContext& context, QWidget* parent) : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("frmAssignLog"));
    setWindowTitle(QStringLiteral("Assign Log"));

    txtAssignLog = new QPlainTextEdit(this);
    txtAssignLog->setObjectName(QStringLiteral("txtAssignLog"));
    txtAssignLog->setReadOnly(true);
    txtAssignLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The blocks line up their colons with tabs of eight characters, as the log was written.
    const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    txtAssignLog->setFont(font);
    txtAssignLog->setTabStopDistance(QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')) * 8);

    cmdClearLog = makeButton(QStringLiteral("Clear Log"), "cmdClearLog", this);
    cmdClose = makeButton(QStringLiteral("Close"), "cmdClose", this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdClearLog);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtAssignLog);
    layout->addLayout(buttons);
    resize(620, 460);

    connect(cmdClearLog, &QPushButton::clicked, this, &frmAssignLog::cmdClearLog_Click);
    connect(cmdClose, &QPushButton::clicked, this, [this] { closeWindowOf(this); });
    LoadAssignLog();
}

void frmAssignLog::LoadAssignLog()
{
    const auto log = ReadAssignLog(m_context.program().ProgramFolder);
    if (!log)
        return showLogError();
    // Shown with the line ends of the screen; the file itself is never written from this box.
    txtAssignLog->setPlainText(QString(*log).replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

void frmAssignLog::cmdClearLog_Click()
{
    // The log is the only record of past assignments: clearing it is asked first, No by default.
    if (!m_context.messenger().confirm(this, ClearLogQuestion, MessageTitle::Confirmation,
                                       MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No))
        return;
    if (!ClearAssignLog(m_context.program().ProgramFolder))
        return showLogError();
    txtAssignLog->clear();
}

void frmAssignLog::showLogError()
{
    m_context.messenger().inform(this, AssignLogErrorMessage, AssignLogErrorTitle, MessageIcon::Information);
}

} // namespace tarvo
