#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <tuple>

#include "draw/CurvePainter.h"
#include "draw/SeriesPalette.h"

namespace vornex {
namespace {

// Pixels drawn on in the columns from .. to - 1.
int drawnIn(const QImage& image, int from, int to) {
    int count = 0;
    for (int x = from; x < to; ++x)
        for (int y = 0; y < image.height(); ++y)
            count += image.pixel(x, y) != 0xffffffffu ? 1 : 0;
    return count;
}

// However the curves are drawn, through the raster, smoothed or with a wide pen, a stretch
// without readings is a gap in the line; drawn sharp, a later curve lies over an earlier one.
TEST(CurvePainter, ALineBreaksAtAGapHoweverItIsDrawnAndALaterCurveLiesOverAnEarlierOne) {
    CurveHistory lower;
    CurveHistory upper;
    // Ten readings a second up and down the plot, a pause from 100 s to 150 s, then on to 200 s.
    for (int i = 0; i <= 3000; ++i) {
        const double t = i < 1000 ? i * 0.1 : 50.0 + i * 0.1;
        lower.append(t, i % 2 * 90.0);
        upper.append(t, 45.0);
    }
    const QSize size(1600, 900);
    // The flat curve runs through the middle of a row of pixels.
    const PlotView view{QRectF(QPointF(0, 0.5), QSizeF(size)), 0.0, 200.0, -5.0, 95.0};
    const QRgb over = seriesColor(7).rgb();
    // Columns wholly in the pause, and wholly before it.
    const int gapFrom = 101 * size.width() / 200;
    const int gapTo = 149 * size.width() / 200;
    for (const auto& [smoothed, width] : {std::tuple{false, 0.0}, {true, 0.0}, {true, 2.2}}) {
        SCOPED_TRACE(testing::Message() << "smoothed " << smoothed << " width " << width);
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, smoothed);
        CurvePainter curves;
        curves.begin(view);
        curves.add(lower, seriesColor(0));
        curves.add(upper, seriesColor(7));
        curves.draw(painter, width);
        painter.end();
        EXPECT_EQ(drawnIn(image, gapFrom, gapTo), 0);
        EXPECT_GT(drawnIn(image, 10, gapFrom - 10), 100000);
        if (smoothed)
            continue;
        const int row = static_cast<int>(view.pixel(0.0, 45.0).y());
        ASSERT_EQ(row, 450);
        for (const int x : {40, 400, 1400})
            EXPECT_EQ(image.pixel(x, row), over) << x;
    }
}

}  // namespace
}  // namespace vornex
