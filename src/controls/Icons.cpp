#include "controls/Icons.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace vornex {

namespace {

struct IconFile {
    int number;
    const char* file;
};

constexpr IconFile kIconFiles[] = {
    {128, "128-vornex.svg"},  {313, "313-print.svg"},   {315, "315-move.svg"},
    {316, "316-start.svg"},   {317, "317-stop.svg"},    {318, "318-zoom.svg"},
    {319, "319-measure.svg"}, {321, "321-connect.svg"}, {322, "322-disconnect.svg"},
};

}  // namespace

QString iconPath(int number) {
    for (const IconFile& entry : kIconFiles) {
        if (entry.number == number) {
            return QStringLiteral(":/icons/") + QLatin1String(entry.file);
        }
    }
    return {};
}

QIcon vornexIcon(int number) {
    const QString path = iconPath(number);
    if (path.isEmpty()) {
        return {};
    }
    // Rendered here rather than left to the SVG icon-engine plugin, so an icon never silently
    // comes out blank on a system that lacks the plugin.
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) {
        return {};
    }
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

}  // namespace vornex
