#include "core/ProductArt.h"

#include <QPainter>
#include <QSvgRenderer>

#include <initializer_list>

// The images live in a static library: its resources are registered explicitly before first use.
static void registerImageResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(registered)
}

namespace tarvo {

namespace {

const QString ProgramIconPath = QStringLiteral(":/icons/Tarvo.svg");

QPixmap render(QSvgRenderer& renderer, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(0, 0, size, size));
    return pixmap;
}

// Every size is rendered from the drawing rather than scaled from another size, so that lines stay
// sharp.
QIcon iconFromSvg(const QString& path, std::initializer_list<int> sizes)
{
    registerImageResources();
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return {};
    QIcon icon;
    for (const int size : sizes)
        icon.addPixmap(render(renderer, size));
    return icon;
}

} // namespace

QString toolbarIconPath(const QString& key)
{
    return QStringLiteral(":/icons/%1.svg").arg(key);
}

QIcon toolbarIcon(const QString& key)
{
    return iconFromSvg(toolbarIconPath(key), {16, 24, 32, 48});
}

QIcon programIcon()
{
    return iconFromSvg(ProgramIconPath, {16, 24, 32, 48, 64, 128, 256});
}

QPixmap productPicture(int size)
{
    registerImageResources();
    QSvgRenderer renderer(ProgramIconPath);
    return render(renderer, size);
}

} // namespace tarvo
