#include "maintenance/ctlProgress.h"

#include "core/Messenger.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tarvo {

namespace {

// The colour a pixel takes when a not-xor pen of colour pen is drawn over it.
QColor notXor(const QColor& pen, const QColor& screen)
{
    return QColor::fromRgb(~(pen.rgb() ^ screen.rgb()) & 0xffffff);
}

} // namespace

ProgressPicture progressPicture(const QString& caption, int captionStyle, qint64 value, qint64 min,
                                qint64 max)
{
    ProgressPicture picture;
    if (max <= min) {
        picture.filled = 1.0;
    } else {
        const qint64 shown = std::clamp(value, min, max);
        picture.filled = static_cast<double>(shown - min) / static_cast<double>(max - min);
    }
    const QString percent = QString::number(std::lround(picture.filled * 100.0)) + QLatin1Char('%');
    switch (captionStyle) {
    case 0:
        break;
    case 1:
        picture.text = caption;
        break;
    case 2:
        picture.text = percent;
        break;
    default:
        picture.text = caption.isEmpty() ? percent : caption + QLatin1Char(' ') + percent;
        break;
    }
    return picture;
}

ctlProgress::ctlProgress(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ctlProgress"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ctlProgress::setValue(qint64 value)
{
    m_value = value;
    repaint();
}

QString ctlProgress::shownText() const
{
    return progressPicture(m_caption, m_captionStyle, m_value, m_min, m_max).text;
}

void ctlProgress::About(Messenger& messenger)
{
    messenger.inform(this,
                     QStringLiteral("Tarvo progress bar: a bar with its caption readable on both parts."),
                     QStringLiteral("About"), MessageIcon::Information);
}

QSize ctlProgress::sizeHint() const
{
    return {240, fontMetrics().height() + 10};
}

void ctlProgress::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    const ProgressPicture picture = progressPicture(m_caption, m_captionStyle, m_value, m_min, m_max);
    QPainter painter(this);
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    painter.fillRect(rect(), palette().color(QPalette::Mid));
    painter.fillRect(inside, m_backColor);
    painter.setPen(m_foreColor);
    painter.drawText(inside, Qt::AlignCenter, picture.text);

    // The bar inverts what it covers, as a not-xor pen would: the background and the text each take
    // their inverse colour, so the caption stays readable over the bar.
    const int width = static_cast<int>(std::lround(picture.filled * inside.width()));
    if (width <= 0)
        return;
    const QRect bar(inside.left(), inside.top(), width, inside.height());
    painter.setClipRect(bar);
    painter.fillRect(bar, notXor(m_fillColor, m_backColor));
    painter.setPen(notXor(m_fillColor, m_foreColor));
    painter.drawText(inside, Qt::AlignCenter, picture.text);
}

} // namespace tarvo
