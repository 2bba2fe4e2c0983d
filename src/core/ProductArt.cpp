#include "core/ProductArt.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace tarvo {

QPixmap productPicture(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1f, 0x4e, 0x8c));
    painter.drawRoundedRect(QRectF(0, 0, s, s), s * 0.16, s * 0.16);

    // Links from the hub to four nodes, then the nodes themselves.
    const QPointF hub(s * 0.5, s * 0.5);
    const QPointF nodes[] = {
        {s * 0.22, s * 0.24}, {s * 0.78, s * 0.24}, {s * 0.22, s * 0.76}, {s * 0.78, s * 0.76}};
    painter.setPen(QPen(QColor(0xd6, 0xe6, 0xf8), s * 0.04, Qt::SolidLine, Qt::RoundCap));
    for (const QPointF& node : nodes)
        painter.drawLine(hub, node);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x7f, 0xc8, 0x5a));
    for (const QPointF& node : nodes)
        painter.drawEllipse(node, s * 0.09, s * 0.09);
    painter.setBrush(QColor(0xff, 0xc1, 0x3b));
    painter.drawEllipse(hub, s * 0.15, s * 0.15);

    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(qMax(6, size / 8));
    painter.setFont(font);
    painter.setPen(QColor(0x1f, 0x4e, 0x8c));
    painter.drawText(QRectF(hub.x() - s * 0.15, hub.y() - s * 0.15, s * 0.3, s * 0.3), Qt::AlignCenter,
                     QStringLiteral("IP"));
    return pixmap;
}

QIcon commandIcon(const QString& label, const QColor& colour)
{
    QIcon icon;
    for (const int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setPen(colour.darker(140));
        painter.setBrush(colour);
        painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size * 0.2, size * 0.2);
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(label.size() > 2 ? size * 5 / 16 : size * 7 / 16);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, label);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace tarvo
