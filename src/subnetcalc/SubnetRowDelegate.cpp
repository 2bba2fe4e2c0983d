#include "subnetcalc/SubnetRowDelegate.h"

#include <QApplication>
#include <QPainter>

namespace tarvo {

namespace {

QStringList columnsOf(const QModelIndex& index)
{
    return index.data().toString().split(QLatin1Char('\t'), Qt::SkipEmptyParts);
}

} // namespace

int SubnetRowDelegate::textMargin(const QWidget* view)
{
    const QStyle* style = view ? view->style() : QApplication::style();
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
}

void SubnetRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    // The style draws the background, the selection and the focus; the text is drawn here.
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    const QWidget* view = option.widget;
    const QStyle* style = view ? view->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, view);

    const QStringList columns = columnsOf(index);
    if (columns.isEmpty())
        return;
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group =
        option.state.testFlag(QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    painter->save();
    painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    const QRect text = option.rect.adjusted(textMargin(view), 0, -textMargin(view), 0);
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, columns.first());
    if (columns.size() > 1) {
        painter->drawText(text.adjusted(m_broadcastColumn, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          columns.last());
    }
    painter->restore();
}

QSize SubnetRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const QStringList columns = columnsOf(index);
    const int width = 2 * textMargin(option.widget) + m_broadcastColumn +
                      (columns.isEmpty() ? 0 : option.fontMetrics.horizontalAdvance(columns.last()));
    size.setWidth(width);
    return size;
}

} // namespace tarvo
