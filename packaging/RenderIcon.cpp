// Renders the program's SVG icon as a square PNG for the icon theme's fixed-size folders:
//   vornex_icon_png SVG SIZE OUT.png

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

// The icon holds no text, so painting it into an image needs no application object or display.
int main(int argc, char** argv) {
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    bool sizeOk = false;
    const int size = args.size() == 4 ? args[2].toInt(&sizeOk) : 0;
    if (!sizeOk || size <= 0) {
        std::fputs("usage: vornex_icon_png SVG SIZE OUT.png\n", stderr);
        return 1;
    }
    QSvgRenderer svg(args[1]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "vornex_icon_png: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    painter.end();
    if (!image.save(args[3], "PNG")) {
        std::fprintf(stderr, "vornex_icon_png: cannot write %s\n", qPrintable(args[3]));
        return 1;
    }
    return 0;
}
