#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace tarvo {

// The images of the program: SVG drawings in the program's resources, rendered at the sizes asked for.

// The resource path of a toolbar key's image, ":/icons/<key>.svg".
QString toolbarIconPath(const QString& key);

// A toolbar key's image at the usual icon sizes; a null icon when the key has no valid image. Qt
// derives the greyed disabled look from it.
QIcon toolbarIcon(const QString& key);

// The program's icon, carried by every window.
QIcon programIcon();

// The program's picture at one size, for the start window and the About box.
QPixmap productPicture(int size);

} // namespace tarvo
