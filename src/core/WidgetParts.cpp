#include "core/WidgetParts.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QValidator>

namespace tarvo {

namespace {

// Takes or refuses the whole text of a field after each edit. Only what the user types is refused: a
// field shows the text the program sets even when the rule would refuse it.
class RuleValidator final : public QValidator
{
public:
    RuleValidator(std::function<bool(const QString&)> accepts, QLineEdit* field)
        : QValidator(field), m_accepts(std::move(accepts)), m_shown(field->text())
    {
        connect(field, &QLineEdit::textChanged, this, [this](const QString& text) { m_shown = text; });
    }

    State validate(QString& input, int& position) const override
    {
        Q_UNUSED(position)
        // A text the program showed that the rule refuses may still be shortened by the user.
        if (m_accepts(input) || (!m_accepts(m_shown) && input.size() < m_shown.size()))
            return Acceptable;
        return Invalid;
    }

private:
    std::function<bool(const QString&)> m_accepts;
    QString m_shown; // the text before the edit being validated
};

// Selects the whole text of a field when it gets the focus. A click selects once the mouse is released,
// since the press itself places the cursor.
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

void guardField(QLineEdit* field, std::function<bool(const QString&)> accepts)
{
    field->setValidator(new RuleValidator(std::move(accepts), field));
    QObject::connect(field, &QLineEdit::inputRejected, field, [] { QApplication::beep(); });
}

bool isNumberWithin(const QString& text, int maximum)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return text.toInt() <= maximum;
}

void guardNumber(QLineEdit* field, int maximum)
{
    guardField(field,
               [maximum](const QString& text) { return text.isEmpty() || isNumberWithin(text, maximum); });
}

void guardLength(QLineEdit* field, int maximum)
{
    guardField(field, [maximum](const QString& text) { return text.size() <= maximum; });
}

BusyCursor::BusyCursor() : m_shown(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
{
    if (m_shown)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor()
{
    if (m_shown)
        QApplication::restoreOverrideCursor();
}

QString signedInCaption(const QString& productTitle, const QString& userName)
{
    return productTitle + QStringLiteral(" - [User : ") + userName + QLatin1Char(']');
}

void centreOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen)
        window->move(screen->availableGeometry().center() - window->rect().center());
}

} // namespace tarvo
