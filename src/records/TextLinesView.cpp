#include "records/TextLinesView.h"

#include "records/IndexedTextFile.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <cmath>

namespace tarvo {

namespace {

// How many lines a copy reads at a time.
constexpr qint64 CopyBatch = 4096;

} // namespace

TextLinesView::TextLinesView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    m_option.setWrapMode(QTextOption::NoWrap);
    applyFont();
}

void TextLinesView::setSource(const IndexedTextFile* source)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (m_source)
        connect(m_source, &IndexedTextFile::linesChanged, this, &TextLinesView::sourceChanged);
    m_anchor = m_cursor = {};
    m_widestPainted = 0;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    sourceChanged();
}

void TextLinesView::sourceChanged()
{
    updateScrollBars();
    viewport()->update();
}

void TextLinesView::fitLines(const QStringList& lines, int count)
{
    qreal widest = 0;
    for (const QString& line : lines)
        widest = qMax(widest, widthOf(line));
    const int frame = 2 * frameWidth();
    m_fitSize = QSize(int(std::ceil(widest)) + 2 * Margin + frame + verticalScrollBar()->sizeHint().width(),
                      count * lineHeight() + 2 * Margin + frame + horizontalScrollBar()->sizeHint().height());
    updateGeometry();
}

QSize TextLinesView::sizeHint() const
{
    return m_fitSize.isValid() ? m_fitSize : QAbstractScrollArea::sizeHint();
}

QStringList TextLinesView::visibleLines() const
{
    return m_source ? m_source->lines(verticalScrollBar()->value(), wholeLinesShown()) : QStringList();
}

QString TextLinesView::selectedText() const
{
    const auto [from, to] = std::minmax(m_anchor, m_cursor);
    QString text;
    if (!m_source || from == to)
        return text;
    const qint64 last = qMin(to.line, m_source->lineCount() - 1);
    for (qint64 first = from.line; first <= last; first += CopyBatch) {
        const QStringList lines = m_source->lines(first, qMin(CopyBatch, last - first + 1));
        for (qint64 line = first; line < first + lines.size(); ++line) {
            QString part = lines[line - first];
            if (line == to.line)
                part.truncate(to.column);
            if (line == from.line)
                part.remove(0, from.column);
            else
                text += QLatin1Char('\n');
            text += part;
        }
    }
    return text;
}

void TextLinesView::selectAll()
{
    m_anchor = {};
    m_cursor = {m_source ? qMax<qint64>(m_source->lineCount() - 1, 0) : 0, EndOfLine};
    viewport()->update();
}

void TextLinesView::copy() const
{
    const QString text = selectedText();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

void TextLinesView::paintEvent(QPaintEvent*)
{
    if (!m_source)
        return;
    QPainter painter(viewport());
    const qint64 first = verticalScrollBar()->value();
    const QStringList shown = m_source->lines(first, wholeLinesShown() + 1);
    const auto [from, to] = std::minmax(m_anchor, m_cursor);
    QTextLayout::FormatRange selection;
    selection.format.setBackground(palette().highlight());
    selection.format.setForeground(palette().highlightedText());
    qreal widest = 0;
    for (int i = 0; i < shown.size(); ++i) {
        const qint64 line = first + i;
        QTextLayout layout(shown[i]);
        layOut(layout);
        widest = qMax(widest, layout.lineAt(0).naturalTextWidth());
        QList<QTextLayout::FormatRange> selections;
        if (from < to && from.line <= line && line <= to.line) {
            selection.start = line == from.line ? qMin(from.column, int(shown[i].size())) : 0;
            const int end = line == to.line ? qMin(to.column, int(shown[i].size())) : int(shown[i].size());
            selection.length = end - selection.start;
            if (selection.length > 0)
                selections.append(selection);
        }
        layout.draw(&painter, QPointF(Margin - horizontalScrollBar()->value(), Margin + i * lineHeight()),
                    selections);
    }
    // A line wider than the file's measure in columns (wide characters) widens the scroll range.
    if (widest > m_widestPainted) {
        m_widestPainted = widest;
        QMetaObject::invokeMethod(this, &TextLinesView::updateScrollBars, Qt::QueuedConnection);
    }
}

void TextLinesView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void TextLinesView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        applyFont();
}

void TextLinesView::applyFont()
{
    // Tab stops every eight blanks of the font.
    m_option.setTabStopDistance(QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' ')) * 8);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    updateScrollBars();
}

void TextLinesView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::MoveToStartOfDocument)) {
        verticalScrollBar()->setValue(0);
        horizontalScrollBar()->setValue(0);
    } else if (event->matches(QKeySequence::MoveToEndOfDocument)) {
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
        horizontalScrollBar()->setValue(0);
    } else if (event->matches(QKeySequence::Copy)) {
        copy();
    } else if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else {
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void TextLinesView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    m_cursor = positionAt(event->position().toPoint());
    if (!(event->modifiers() & Qt::ShiftModifier))
        m_anchor = m_cursor;
    viewport()->update();
}

void TextLinesView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return QAbstractScrollArea::mouseMoveEvent(event);
    // A drag past the top or the bottom scrolls on.
    const QPoint point = event->position().toPoint();
    if (point.y() < 0)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (point.y() >= viewport()->height())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    m_cursor = positionAt(point);
    viewport()->update();
}

void TextLinesView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* copyAction = menu.addAction(tr("&Copy"));
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(m_anchor != m_cursor);
    connect(copyAction, &QAction::triggered, this, &TextLinesView::copy);
    QAction* selectAllAction = menu.addAction(tr("Select All"));
    selectAllAction->setShortcut(QKeySequence::SelectAll);
    connect(selectAllAction, &QAction::triggered, this, &TextLinesView::selectAll);
    menu.exec(event->globalPos());
}

void TextLinesView::updateScrollBars()
{
    const qint64 lines = m_source ? m_source->lineCount() : 0;
    const int shown = qMax(1, wholeLinesShown());
    verticalScrollBar()->setPageStep(shown);
    verticalScrollBar()->setRange(0, int(qBound<qint64>(0, lines - shown, qint64(INT_MAX))));
    const qint64 columns = m_source ? qMin(m_source->widestColumns(), 8 * IndexedTextFile::MaxLineBytes) : 0;
    const qreal widest =
        qMax(m_widestPainted, qreal(columns) * QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' ')));
    const int width = viewport()->width();
    horizontalScrollBar()->setPageStep(width);
    horizontalScrollBar()->setRange(0, qMax(0, int(std::ceil(widest)) + 2 * Margin - width));
}

void TextLinesView::layOut(QTextLayout& layout) const
{
    layout.setFont(font());
    layout.setTextOption(m_option);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
}

qreal TextLinesView::widthOf(const QString& line) const
{
    QTextLayout layout(line);
    layOut(layout);
    return layout.lineAt(0).naturalTextWidth();
}

int TextLinesView::lineHeight() const
{
    return qMax(1, fontMetrics().lineSpacing());
}

int TextLinesView::wholeLinesShown() const
{
    return qMax(0, (viewport()->height() - 2 * Margin) / lineHeight());
}

TextLinesView::Position TextLinesView::positionAt(QPoint point) const
{
    if (!m_source || m_source->lineCount() == 0)
        return {};
    const qint64 row = point.y() < Margin ? -1 : (point.y() - Margin) / lineHeight();
    const qint64 line = qBound<qint64>(0, verticalScrollBar()->value() + row, m_source->lineCount() - 1);
    QTextLayout layout(m_source->lines(line, 1).value(0));
    layOut(layout);
    const qreal x = point.x() - Margin + horizontalScrollBar()->value();
    return {line, layout.lineAt(0).xToCursor(x)};
}

} // namespace tarvo
