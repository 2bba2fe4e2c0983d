#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace tarvo {

// The keyboard rule of the data-entry fields: Down moves the focus to the next control as Tab does, Up
// to the previous one as Shift+Tab does, and Enter moves on as Tab and then runs the field's action,
// if it has one. The keys are swallowed, so Enter never presses a dialog's default button.
class FieldNavigation : public QObject
{
    Q_OBJECT
public:
    // Installs the rule on a field; the object lives as long as the field.
    static void install(QWidget* field, std::function<void()> afterEnter = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FieldNavigation(QWidget* field, std::function<void()> afterEnter);
    static void moveFocus(QWidget* field, bool forward);

    std::function<void()> m_afterEnter;
};

} // namespace tarvo
