#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace tarvo {

// The product picture of the start window, the About box and the window icon: a small network of
// addressed nodes, drawn rather than loaded so that the program needs no image files.
QPixmap productPicture(int size);

// A toolbar image: a rounded tile in the given colour with a short label.
QIcon commandIcon(const QString& label, const QColor& colour);

} // namespace tarvo
