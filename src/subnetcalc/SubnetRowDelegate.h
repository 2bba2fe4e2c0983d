#pragma once

#include <QStyledItemDelegate>

namespace tarvo {

// Draws a subnet row ("network", Tab run, "broadcast") as two columns: the network identifier at the
// left and the broadcast identifier at a fixed distance, so that the broadcast column lines up under
// its heading whatever the font.
class SubnetRowDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The distance from the left edge of the text to the broadcast column, in pixels.
    void setBroadcastColumn(int offset) { m_broadcastColumn = offset; }

    // The margin the delegate leaves between the view's edge and the text.
    static int textMargin(const QWidget* view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int m_broadcastColumn = 0;
};

} // namespace tarvo
