#include "plan/PlanFields.h"

#include "core/FieldNavigation.h"
#include "core/WidgetParts.h"

#include <QLineEdit>

namespace tarvo {

void upperCaseWhileTyped(QLineEdit* field)
{
    QObject::connect(field, &QLineEdit::textEdited, field, [field](const QString& text) {
        QString upper = text;
        // Letter for letter, so that the text keeps its length (and its length limit).
        for (QChar& c : upper)
            c = c.toUpper();
        if (upper == text)
            return;
        const int caret = field->cursorPosition();
        field->setText(upper);
        field->setCursorPosition(caret);
    });
}

void keepPlaceWhenHidden(QWidget* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

QLineEdit* navigableField(const char* objectName, QWidget* parent)
{
    QLineEdit* field = makeField(objectName, parent);
    FieldNavigation::install(field);
    return field;
}

} // namespace tarvo
