#include "core/WidgetParts.h"

#include <QEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace tarvo {

namespace {

class SelectAllOnFocus final : public QObject
{
public:
    explicit SelectAllOnFocus(QLineEdit* field) : QObject(field), m_field(field)
    {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::FocusIn:
            m_field->selectAll();
            m_clicked = static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason;
            break;
        case QEvent::MouseButtonRelease:
            if (m_clicked)
                m_field->selectAll();
            m_clicked = false;
            break;
        case QEvent::FocusOut:
            m_clicked = false;
            break;
        default:
            break;
        }
        return false;
    }

private:
    QLineEdit* m_field;
    bool m_clicked = false; // the focus came with a click whose release is still to come
};

} // namespace

void selectAllOnFocus(QLineEdit* field)
{
    new SelectAllOnFocus(field);
}

QPushButton* makeButton(const QString& text, const char* objectName, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(true);
    return button;
}

QLineEdit* makeField(const char* objectName, QWidget* parent, bool masked)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(objectName));
    if (masked) {
        field->setEchoMode(QLineEdit::Password);
        field->setStyleSheet(QStringLiteral("lineedit-password-character: 42")); // "*"
    }
    return field;
}

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* button : buttons)
        row->addWidget(button);
    return row;
}

} // namespace tarvo
