#pragma once

#include <QImage>
#include <QString>
#include <functional>

class QPaintDevice;

namespace vornex {

// The size of a picture of the graph unless another is asked for.
constexpr int kPictureWidth = 1600;
constexpr int kPictureHeight = 900;

// A drawn picture written to a file, replaced whole or not at all; each returns an empty string
// or why nothing was written.

// `image` as a PNG image.
QString writePngFile(const QString& path, const QImage& image);
// A one-page vector PDF of width x height screen pixels, drawn by `paint` onto the page at screen
// resolution, so that fonts and lines keep their size on screen; `paint` returns false when it
// cannot paint on the page.
QString writePdfPage(const QString& path, int width, int height,
                     const std::function<bool(QPaintDevice&)>& paint);

}  // namespace vornex
