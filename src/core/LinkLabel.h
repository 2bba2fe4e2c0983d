#pragma once

#include <QLabel>

namespace tarvo {

// A label drawn as a link: blue with a hand pointer, red while the mouse button is held down on it,
// blue again on release (unless its pressed colouring is turned off: it then stays blue). A press and
// release on the label is one click; a release outside it is none.
class LinkLabel final : public QLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text = {}, QWidget* parent = nullptr);

    static const QColor Blue; // only the blue component at full strength
    static const QColor Red;  // only the red component at full strength
    QColor linkColour() const;
    void setPressedColouring(bool on) { m_pressedColouring = on; }

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setLinkColour(const QColor& colour);
    bool m_pressed = false;
    bool m_pressedColouring = true;
};

} // namespace tarvo
