#include "maintenance/frmSplitterSplash.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tarvo {

frmSplitterSplash::frmSplitterSplash(QWidget* parent)
    : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSplitterSplash"));
    setWindowTitle(QStringLiteral("Tarvo"));
    setFrameShape(QFrame::Box);
    lblMessage = new QLabel(this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(lblMessage);
}

void frmSplitterSplash::ShowMessage(const QString& text)
{
    lblMessage->setText(text);
    adjustSize();
    if (QWidget* owner = parentWidget())
        move(owner->mapToGlobal(owner->rect().center()) - rect().center());
    show();
    repaint();
}

} // namespace tarvo
