#include "core/LinkLabel.h"

#include <QMouseEvent>

namespace tarvo {

const QColor LinkLabel::Blue(0, 0, 255);
const QColor LinkLabel::Red(255, 0, 0);

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setLinkColour(Blue);
}

QColor LinkLabel::linkColour() const
{
    return palette().color(QPalette::WindowText);
}

void LinkLabel::setLinkColour(const QColor& colour)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour);
    setPalette(p);
    update();
}

void LinkLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QLabel::mousePressEvent(event);
    m_pressed = true;
    if (m_pressedColouring)
        setLinkColour(Red);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return QLabel::mouseReleaseEvent(event);
    m_pressed = false;
    if (m_pressedColouring)
        setLinkColour(Blue);
    if (rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

} // namespace tarvo
