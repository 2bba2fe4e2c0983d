#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QString>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace tarvo::test {

// Runs an action on the next modal window once it is the active one (from inside its event loop), to
// drive a dialog that the code under test runs with exec(). With a name, waits for the modal window of
// that object name. Gives up after about five seconds.
inline void whenModal(const QString& name, std::function<void(QWidget*)> action, int attemptsLeft = 500)
{
    QTimer::singleShot(attemptsLeft == 500 ? 0 : 10,
                       [name, action = std::move(action), attemptsLeft]() mutable {
                           QWidget* modal = QApplication::activeModalWidget();
                           if (modal && (name.isEmpty() || modal->objectName() == name)) {
                               action(modal);
                               return;
                           }
                           if (attemptsLeft > 0)
                               whenModal(name, std::move(action), attemptsLeft - 1);
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
