#pragma once

#include <QFrame>

class QLabel;

namespace tarvo {

// The small message window that tells what the copy to disks is doing.
class frmSplitterSplash final : public QFrame
{
    Q_OBJECT
public:
    explicit frmSplitterSplash(QWidget* parent = nullptr);

    // Shows the text, the window sized around it, and draws it at once.
    void ShowMessage(const QString& text);

private:
    QLabel* lblMessage;
};

} // namespace tarvo
