#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

// Driving a window's controls by their object names, as a user would.
namespace tarvo::test {

template <class T>
T* child(const QWidget* window, const char* name)
{
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// Empties a field and types the text into it key by key.
inline void type(const QWidget* window, const char* name, const QString& text)
{
    QLineEdit* box = child<QLineEdit>(window, name);
    box->clear();
    QTest::keyClicks(box, text);
}

// Clicks near the left edge, where an option or a check box has its indicator.
inline void click(const QWidget* window, const char* name)
{
    auto* button = child<QAbstractButton>(window, name);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
}

// Drops the off-screen platform's notes on what it cannot do (raise a list's popup, grab the keyboard
// for it); every other message goes on as before.
inline void quietOffscreenNotes()
{
    static const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (!message.startsWith(QLatin1String("This plugin does not support")))
                previous(type, context, message);
        });
}

// Picks an entry of a drop-down list with the mouse, in its open list, as a user does.
inline void pick(const QWidget* window, const char* name, const QString& entry)
{
    quietOffscreenNotes();
    auto* list = child<QComboBox>(window, name);
    const int index = list->findText(entry, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (index < 0)
        qFatal("no entry %s in %s", qPrintable(entry), name);
    list->showPopup();
    QAbstractItemView* view = list->view();
    const QModelIndex item = view->model()->index(index, list->modelColumn(), view->rootIndex());
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    // The off-screen platform leaves the closed list's popup the active window.
    if (!QTest::qWaitFor([view] { return !view->isVisible(); }, 1000))
        qFatal("the list %s stays open", name);
    QCoreApplication::processEvents();
    QApplication::setActiveWindow(list->window());
}

} // namespace tarvo::test
