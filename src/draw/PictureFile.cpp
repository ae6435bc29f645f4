#include "draw/PictureFile.h"

#include <QBuffer>
#include <QPdfWriter>

#include "files/AtomicFile.h"

namespace vornex {

namespace {

// Screen pixels to PDF points.
constexpr double kPdfResolution = 96.0;

QString writeBytes(const QString& path, const QByteArray& bytes) {
    std::string error;
    return writeWholeFile(path.toStdString(),
                          std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                          &error)
               ? QString()
               : QString::fromStdString(error);
}

}  // namespace

QString writePngFile(const QString& path, const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG")) {
        return QStringLiteral("cannot draw the graph as an image");
    }
    return writeBytes(path, bytes);
}

QString writePdfPage(const QString& path, int width, int height,
                     const std::function<bool(QPaintDevice&)>& paint) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Vornex"));
        writer.setResolution(static_cast<int>(kPdfResolution));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        const double toPoints = 72.0 / kPdfResolution;
        writer.setPageSize(QPageSize(QSizeF(width * toPoints, height * toPoints), QPageSize::Point,
                                     QString(), QPageSize::ExactMatch));
        if (!paint(writer)) {
            return QStringLiteral("cannot draw the graph as a PDF page");
        }
    }
    return writeBytes(path, bytes);
}

}  // namespace vornex
