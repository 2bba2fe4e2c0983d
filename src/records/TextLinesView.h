#pragma once

#include <QAbstractScrollArea>
#include <QTextOption>

#include <climits>

class QTextLayout;

namespace tarvo {

class IndexedTextFile;

// A read-only view of the lines of an IndexedTextFile that lays out and paints only the lines on the
// screen, however long the file, without wrapping, with tab stops every eight blanks of its font. It
// scrolls by lines; the mouse selects text, which Ctrl+C (or the context menu) copies with the lines
// joined by line feeds.
class TextLinesView final : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit TextLinesView(QWidget* parent = nullptr);

    // The file shown (not owned; nullptr shows nothing).
    void setSource(const IndexedTextFile* source);
    const IndexedTextFile* source() const { return m_source; }

    // Asks for a size that shows count lines as wide as the widest of these, scroll bars included.
    void fitLines(const QStringList& lines, int count);
    QSize sizeHint() const override;

    // The lines wholly on the screen, from the first one shown.
    QStringList visibleLines() const;
    QString selectedText() const;
    void selectAll();
    void copy() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // A place in the text: a line and a character of it (EndOfLine: after its last one).
    struct Position
    {
        qint64 line = 0;
        int column = 0;
        auto operator<=>(const Position&) const = default;
    };
    static constexpr int EndOfLine = INT_MAX;
    static constexpr int Margin = 4;

    void sourceChanged();
    void applyFont();
    void updateScrollBars();
    void layOut(QTextLayout& layout) const;
    qreal widthOf(const QString& line) const;
    int lineHeight() const;
    int wholeLinesShown() const;
    Position positionAt(QPoint point) const;

    const IndexedTextFile* m_source = nullptr;
    QTextOption m_option;
    QSize m_fitSize;
    qreal m_widestPainted = 0;
    Position m_anchor;
    Position m_cursor;
};

} // namespace tarvo
