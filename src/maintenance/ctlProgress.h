#pragma once

#include <QColor>
#include <QWidget>

namespace tarvo {

class Messenger;

// What the progress bar shows for a value: the text and the share of the width the bar fills. The value
// is clamped to Min..Max for the drawing only. A range of no width (Max equal to Min, as for an empty
// file) counts as done: a full bar and 100%.
struct ProgressPicture
{
    QString text;
    double filled = 0.0; // 0 to 1
};
ProgressPicture progressPicture(const QString& caption, int captionStyle, qint64 value, qint64 min,
                                qint64 max);

// The progress bar of the backup window: a bar in FillColor over a centred caption, the part of the text
// under the bar drawn in the inverse colours, so that it reads on both parts. CaptionStyle 0 shows no
// text, 1 the caption, 2 the percentage, any other value the caption and the percentage (the percentage
// alone while the caption is empty).
class ctlProgress final : public QWidget
{
    Q_OBJECT
public:
    explicit ctlProgress(QWidget* parent = nullptr);

    qint64 Min() const { return m_min; }
    void setMin(qint64 min) { m_min = min; }
    qint64 Max() const { return m_max; }
    void setMax(qint64 max) { m_max = max; }
    // Setting the value draws at once; the value is kept as set, also outside Min..Max.
    qint64 value() const { return m_value; }
    void setValue(qint64 value);

    // Kept without leading and trailing blanks.
    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption) { m_caption = caption.trimmed(); }
    int CaptionStyle() const { return m_captionStyle; }
    void setCaptionStyle(int style) { m_captionStyle = style; }

    QColor FillColor() const { return m_fillColor; }
    void setFillColor(const QColor& colour) { m_fillColor = colour; }
    QColor ForeColor() const { return m_foreColor; }
    void setForeColor(const QColor& colour) { m_foreColor = colour; }
    QColor BackColor() const { return m_backColor; }
    void setBackColor(const QColor& colour) { m_backColor = colour; }
    QFont CaptionFont() const { return font(); }
    void setCaptionFont(const QFont& captionFont) { setFont(captionFont); }

    // The text shown now.
    QString shownText() const;

    // Repaints at once.
    void Refresh() { repaint(); }
    void About(Messenger& messenger);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qint64 m_min = 0;
    qint64 m_max = 100;
    qint64 m_value = 0;
    QString m_caption;
    int m_captionStyle = 2;
    QColor m_fillColor = QColor(0, 0, 255);
    QColor m_foreColor = QColor(0, 0, 0);
    QColor m_backColor = QColor(255, 255, 255);
};

} // namespace tarvo
