#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace tarvo {

class AppContext;

// "Assign Log": the assignment log AssignLog.txt of the program folder as it stood when the window
// opened, with "Clear Log", which empties it after the user confirms.
class frmAssignLog final : public QWidget
{
    Q_OBJECT
public:
    explicit frmAssignLog(AppContext& context, QWidget* parent = nullptr);

private:
    void LoadAssignLog();
    void cmdClearLog_Click();
    void showLogError();

    AppContext& m_context;
    QPlainTextEdit* txtAssignLog;
    QPushButton* cmdClearLog;
    QPushButton* cmdClose;
};

// The question asked before the log is cleared.
inline const QString ClearLogQuestion =
    QStringLiteral("Clear the assignment log ?\n\nEvery assignment recorded in it will be lost.");

} // namespace tarvo
