#pragma once

#include <QLineEdit>

namespace tarvo {

// A box for one octet of an address or mask: up to three digits, never empty (an emptied box shows 0),
// and the whole text selected whenever the box gets the focus or is clicked, so that typing replaces
// the octet.
class OctetBox final : public QLineEdit
{
    Q_OBJECT
public:
    OctetBox(const QString& objectName, const QString& text, QWidget* parent);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace tarvo
