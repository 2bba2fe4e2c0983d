#include "subnetcalc/OctetBox.h"

#include <QFontMetrics>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace tarvo {

OctetBox::OctetBox(const QString& objectName, const QString& text, QWidget* parent) : QLineEdit(text, parent)
{
    setObjectName(objectName);
    setMaxLength(3);
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this));
    setAlignment(Qt::AlignCenter);
    setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    // An emptied box shows 0, selected, so that the next digit replaces it. Connected first, so the
    // window's own change handlers never see an empty box.
    connect(this, &QLineEdit::textChanged, this, [this](const QString& now) {
        if (now.isEmpty()) {
            setText(QStringLiteral("0"));
            selectAll();
        }
    });
}

void OctetBox::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    selectAll();
}

void OctetBox::mousePressEvent(QMouseEvent* event)
{
    QLineEdit::mousePressEvent(event);
    selectAll();
}

void OctetBox::mouseReleaseEvent(QMouseEvent* event)
{
    QLineEdit::mouseReleaseEvent(event);
    selectAll();
}

} // namespace tarvo
