#pragma once

#include <QWidget>

class QPushButton;

namespace tarvo {

class AppContext;
class IndexedTextFile;
class TextLinesView;

// "Assign Log": the assignment log AssignLog.txt of the program folder as it stood when the window
// opened, with "Clear Log", which empties it after the user confirms. The log grows by a block at every
// assignment, for years: it is indexed off the GUI thread and only the lines on the screen are read.
class frmAssignLog final : public QWidget
{
    Q_OBJECT
public:
    explicit frmAssignLog(AppContext& context, QWidget* parent = nullptr);

    // Wide and tall enough to show a whole block of the log, within the room there is.
    QSize sizeHint() const override;

private:
    void LoadAssignLog();
    void cmdClearLog_Click();
    void showLogError();
    void fitFirstBlock();

    AppContext& m_context;
    IndexedTextFile* m_log;
    TextLinesView* txtAssignLog;
    QPushButton* cmdClearLog;
    QPushButton* cmdClose;
};

// The question asked before the log is cleared.
inline const QString ClearLogQuestion =
    QStringLiteral("Clear the assignment log ?\n\nEvery assignment recorded in it will be lost.");

} // namespace tarvo
