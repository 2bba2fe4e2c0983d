#pragma once

#include <QAbstractButton>
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

} // namespace tarvo::test
