#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace tarvo::test {

// Runs an action on the next modal window that matches once it is the active one (from inside its event
// loop), to drive a dialog that the code under test runs with exec(). Gives up after about five
// seconds.
inline void whenModalMatches(std::function<bool(QWidget*)> matches, std::function<void(QWidget*)> action,
                             int attemptsLeft = 500)
{
    QTimer::singleShot(attemptsLeft == 500 ? 0 : 10,
                       [matches = std::move(matches), action = std::move(action), attemptsLeft]() mutable {
                           QWidget* modal = QApplication::activeModalWidget();
                           if (modal && matches(modal)) {
                               action(modal);
                               return;
                           }
                           if (attemptsLeft > 0)
                               whenModalMatches(std::move(matches), std::move(action), attemptsLeft - 1);
                       });
}

// The same for the modal window of an object name; any modal window when the name is empty.
inline void whenModal(const QString& name, std::function<void(QWidget*)> action)
{
    whenModalMatches([name](QWidget* modal) { return name.isEmpty() || modal->objectName() == name; },
                     std::move(action));
}

// Answers the next message box of the real messenger with a button, and adds its text to texts (which
// must outlive the answer).
inline void answerMessageBox(QMessageBox::StandardButton button, QStringList& texts)
{
    whenModalMatches([](QWidget* modal) { return qobject_cast<QMessageBox*>(modal) != nullptr; },
                     [button, &texts](QWidget* modal) {
                         auto* box = static_cast<QMessageBox*>(modal);
                         texts.append(box->text());
                         box->button(button)->click();
                     });
}

inline void whenModalOpens(std::function<void(QWidget*)> action)
{
    whenModal(QString(), std::move(action));
}

// Clicks a button of the next modal window once it is open.
inline void clickInNextModal(const QString& button)
{
    whenModalOpens([button](QWidget* dialog) {
        if (auto* target = dialog->findChild<QAbstractButton*>(button))
            QTest::mouseClick(target, Qt::LeftButton);
    });
}

} // namespace tarvo::test
