#pragma once

#include <QList>
#include <QString>

namespace tarvo {

// One place of the main window's toolbar: a button with its key, tool tip and the menu item whose
// command it runs, or a separator (empty key). A button's image is the drawing named after its key.
struct ToolbarButton
{
    QString key;
    QString toolTip;
    QString menuItem;

    bool isSeparator() const { return key.isEmpty(); }
};

// The toolbar from left to right. "mUserID" is its 13th place and "mWebPatch" its 15th, separators
// counted.
const QList<ToolbarButton>& toolbarButtons();

// The menu item that a toolbar key stands for; empty for an unknown key.
QString menuItemOfKey(const QString& key);

} // namespace tarvo
