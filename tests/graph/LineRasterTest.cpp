#include <gtest/gtest.h>

#include <QPainter>
#include <cmath>

#include "GraphInput.h"
#include "draw/LineRaster.h"

namespace vornex {
namespace {

constexpr QRgb kRed = 0xffff0000u;
constexpr QRgb kBlue = 0xff0000ffu;

// Pixels of `colour` in `a` with no pixel of that colour within one pixel in `b`.
int unmatched(const QImage& a, const QImage& b, QRgb colour) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != colour)
                continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx)
                    near = b.valid(x + dx, y + dy) && b.pixel(x + dx, y + dy) == colour;
            count += near ? 0 : 1;
        }
    }
    return count;
}

int pixelsOf(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour ? 1 : 0;
    return count;
}

QImage painted(QSize size, const std::vector<std::pair<std::vector<QPointF>, QRgb>>& lines) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    for (const auto& [points, colour] : lines) {
        painter.setPen(QPen(QColor(colour), 0.0));
        painter.drawPolyline(points.data(), static_cast<int>(points.size()));
    }
    return image;
}

TEST(LineRaster, DrawsThePixelsAPainterDrawsCoversEarlierLinesAndClearsTheLastFrame) {
    const QSize size(200, 120);
    std::vector<QPointF> zigzag;
    for (int i = 0; i <= 400; ++i)
        zigzag.emplace_back(0.5 * i + 0.3, 60.0 + 55.0 * std::sin(i * 0.9));
    const std::vector<QPointF> slope = {{-50.0, 130.0}, {37.2, 3.7}, {150.6, 80.4}, {260.0, 40.0}};

    LineRaster raster;
    raster.begin(size);
    raster.add(zigzag.data(), static_cast<int>(zigzag.size()), kRed);
    raster.add(slope.data(), static_cast<int>(slope.size()), kBlue);
    raster.finish();
    const QImage ours = raster.image();
    const QImage theirs = painted(size, {{zigzag, kRed}, {slope, kBlue}});
    EXPECT_EQ(unmatched(theirs, ours, kBlue), 0);
    EXPECT_EQ(unmatched(ours, theirs, kBlue), 0);
    // The blue line lies over the red one in both; around the crossings one pixel may differ.
    EXPECT_LE(unmatched(theirs, ours, kRed), pixelsOf(theirs, kRed) / 200);
    EXPECT_LE(unmatched(ours, theirs, kRed), pixelsOf(ours, kRed) / 200);
    LineRaster alone;
    alone.begin(size);
    alone.add(slope.data(), static_cast<int>(slope.size()), kBlue);
    alone.finish();
    EXPECT_EQ(pixelsOf(ours, kBlue), pixelsOf(alone.image(), kBlue)) << "the later line is on top";

    // A spike in one column is drawn whole; a break leaves its stretch empty; points far
    // outside the image are clipped; nothing of the frame before is left.
    const std::vector<QPointF> spike = {{10.2, 100.0}, {10.6, 2.0},  {10.9, 100.0}, {20.0, NAN},
                                        {30.0, 100.0}, {31.0, 1e12}, {-1e15, 50.0}};
    raster.begin(size);
    raster.add(spike.data(), static_cast<int>(spike.size()), kRed);
    raster.finish();
    for (int y = 2; y <= 100; ++y)
        EXPECT_EQ(raster.image().pixel(10, y), kRed) << y;
    for (int x = 11; x < 30; ++x)
        EXPECT_EQ(raster.image().pixel(x, 100), 0u) << x;
    EXPECT_EQ(pixelsOf(raster.image(), kBlue), 0);
    EXPECT_EQ(raster.drawn(), QRect(QPoint(10, 2), QPoint(30, 119)));
}

// With many points in view, the curves the graph draws into its paint buffer from the
// extremes of each column are the curves a painter draws through every point.
TEST(LineRaster, AGraphDrawsDenseCurvesAsAPainterDrawsEveryPoint) {
    CXGraph graph;
    graph.resize(700, 400);
    std::vector<std::vector<CurvePoint>> curves;
    for (int s = 0; s < 3; ++s) {
        curves.push_back(test::makeCurve(20000, 0.0, 0.1, static_cast<uint8_t>(s + 1), [s](int i) {
            return i == 7000 + 40 * s ? 90.0 : std::fmod(i * 0.1, 7.0 + s) * (5.0 + s);
        }));
        graph.SetData(curves.back().data(), static_cast<int>(curves.back().size()), s);
    }
    graph.GetXAxis(0).SetCurrentRange(0.0, 2000.0, 0.0);
    graph.replotNow();
    const QImage buffered = graph.grab().toImage().convertToFormat(QImage::Format_RGB32);

    QImage everyPoint(buffered.size(), QImage::Format_RGB32);
    everyPoint.fill(Qt::white);
    QPainter painter(&everyPoint);
    painter.setClipRect(graph.axisRect()->rect());
    for (int s = 0; s < 3; ++s) {
        painter.setPen(QPen(graph.seriesGraph(s)->pen().color(), 0.0));
        QPolygonF line;
        for (const CurvePoint& p : curves[static_cast<size_t>(s)])
            line << test::pixelOf(graph, p.time, p.value);
        painter.drawPolyline(line);
    }
    painter.end();
    for (int s = 0; s < 3; ++s) {
        const QRgb colour = graph.seriesGraph(s)->pen().color().rgb();
        const int drawn = pixelsOf(everyPoint, colour);
        ASSERT_GT(drawn, 1000) << s;
        EXPECT_LE(unmatched(everyPoint, buffered, colour), drawn / 25) << s;
        EXPECT_LE(unmatched(buffered, everyPoint, colour), drawn / 25) << s;
    }
    const QRgb top = graph.seriesGraph(2)->pen().color().rgb();
    const QPoint spike = test::pixelOf(graph, 708.0, 85.0).toPoint();
    EXPECT_GE(pixelsOf(buffered.copy(spike.x() - 1, spike.y() - 1, 3, 3), top), 3)
        << "a single-point spike is drawn";
}

}  // namespace
}  // namespace vornex
