#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <cmath>

#include "GraphInput.h"
#include "Wait.h"

namespace vornex {
namespace {

using test::makeCurve;
using test::shownPoints;

auto ramp = [](int i) { return 10.0 * i; };

TEST(CXGraphData, PointsAppendedOrSetAreShownInTimeOrderLeavingOutThoseThatAreNotNumbers) {
    CXGraph graph;
    std::vector<CurvePoint> curve;
    for (int n = 1; n <= 10; ++n) {  // one point at a time, as recording hands them over
        curve.push_back(CurvePoint{0.5 * n, n == 4 ? NAN : 1.0 * n, 2, {}});
        graph.appendPoints(&curve.back(), 1, 1);
    }
    // A reading without a number is left out and what came before it stays.
    auto shown = shownPoints(graph, 1);
    ASSERT_EQ(shown.size(), 9u);
    EXPECT_DOUBLE_EQ(shown[0].second, 1.0);
    EXPECT_DOUBLE_EQ(shown[3].second, 5.0);
    EXPECT_EQ(graph.legend->itemCount(), 1);

    auto other = makeCurve(50, 5.0, 1.0, 2, ramp);
    graph.SetData(other.data(), 2, 1);
    shown = shownPoints(graph, 1);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_DOUBLE_EQ(shown[1].first, 6.0);
    graph.SetData(other.data(), 0, 1);
    EXPECT_TRUE(shownPoints(graph, 1).empty());
    EXPECT_EQ(graph.legend->itemCount(), 0);

    graph.appendPoints(other.data(), 3, 0);
    graph.appendPoints(other.data(), 3, 4);
    graph.clearCurves();
    EXPECT_TRUE(shownPoints(graph, 0).empty());
    EXPECT_TRUE(shownPoints(graph, 4).empty());
    EXPECT_EQ(graph.legend->itemCount(), 0);

    // Out of order times are all shown; times that are not numbers are left out.
    curve = {{3.0, 30.0, 1, {}}, {1.0, 10.0, 1, {}}, {NAN, 5.0, 1, {}}, {2.0, 20.0, 1, {}}};
    graph.SetData(curve.data(), 4, 0);
    shown = shownPoints(graph, 0);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_DOUBLE_EQ(shown[0].first, 1.0);
    EXPECT_DOUBLE_EQ(shown[2].second, 30.0);

    const CurvePoint earlier{0.5, 1.0, 1, {}};  // appended behind, but earlier in time
    graph.appendPoints(&earlier, 1, 0);
    EXPECT_EQ(shownPoints(graph, 0).size(), 4u);
}

// Points of a series whose value is not a number: where its line breaks.
std::vector<double> breaks(const CXGraph& graph, int series) {
    std::vector<double> keys;
    for (const auto& [key, value] : shownPoints(graph, series)) {
        if (std::isnan(value))
            keys.push_back(key);
    }
    return keys;
}

// Coloured pixels of the graph's image within 3 pixels of a place.
int colouredPixelsAround(const QImage& image, QPointF at) {
    return test::colouredPixels(image, QRect(at.toPoint() - QPoint(3, 3), QSize(7, 7)));
}

TEST(CXGraphGaps, ALineBreaksAcrossAStretchWithoutReadingsButNotAcrossASlowSteadyPace) {
    CXGraph graph;
    graph.resize(800, 400);
    // Dense readings every 0.01 s, a 5 s hole after 40 s, then on.
    std::vector<CurvePoint> curve = makeCurve(4000, 0.0, 0.01, 1, [](int) { return 50.0; });
    const auto after = makeCurve(4000, 45.0, 0.01, 1, [](int) { return 50.0; });
    curve.insert(curve.end(), after.begin(), after.end());
    for (int n = 0; n < static_cast<int>(curve.size()); n += 97)  // grown while recording
        graph.appendPoints(&curve[n], std::min(97, static_cast<int>(curve.size()) - n), 0);
    ASSERT_EQ(breaks(graph, 0).size(), 1u);
    EXPECT_GT(breaks(graph, 0)[0], 39.99);
    EXPECT_LT(breaks(graph, 0)[0], 45.0);

    auto steady = makeCurve(30, 0.0, 2.5, 2, [](int i) { return 10.0 * i; });
    graph.SetData(steady.data(), 20, 1);
    EXPECT_TRUE(breaks(graph, 1).empty());
    // Recording stopped and started again (or a lost line came back): the pause breaks the line
    // though it is no longer than the usual step.
    graph.breakCurves();
    graph.appendPoints(&steady[20], 10, 1);
    ASSERT_EQ(breaks(graph, 1).size(), 1u);
    EXPECT_GT(breaks(graph, 1)[0], 47.5);
    EXPECT_LT(breaks(graph, 1)[0], 50.0);
    auto loaded = makeCurve(20, 0.0, 0.1, 3, ramp);  // a whole file at once, a 3 s hole
    for (int i = 10; i < 20; ++i)
        loaded[i].time += 3.0;
    graph.SetData(loaded.data(), 20, 2);
    EXPECT_EQ(breaks(graph, 2).size(), 1u);
    graph.SetData(loaded.data(), 0, 2);

    // On screen the hole stays empty while the measured stretch is drawn, and the full view and
    // the value axis come from the measured points only.
    graph.showFullView();
    graph.replotNow();
    EXPECT_DOUBLE_EQ(graph.xAxis->range().lower, 0.0);
    EXPECT_NEAR(graph.xAxis->range().upper, 84.99, 1e-9);
    EXPECT_TRUE(std::isfinite(graph.yAxis->range().lower));
    steady.clear();
    graph.SetData(steady.data(), 0, 1);
    graph.replotNow();
    const QImage image = graph.toPixmap(800, 400).toImage();
    EXPECT_EQ(colouredPixelsAround(image, test::pixelOf(graph, 42.5, 50.0)), 0);
    EXPECT_GT(colouredPixelsAround(image, test::pixelOf(graph, 30.0, 50.0)), 0);

    // A measuring cursor put into the hole sits on a measured point at its edge.
    graph.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&graph));
    graph.replotNow();
    graph.SetCursorFlags(14);
    graph.Cursor();
    test::click(&graph, test::pixelOf(graph, 42.0, 50.0));
    ASSERT_TRUE(graph.measureCursor().isPlaced(MeasureCursor::First));
    const QPointF at = graph.measureCursor().position(MeasureCursor::First);
    EXPECT_DOUBLE_EQ(at.y(), 50.0);
    EXPECT_NEAR(at.x(), 39.99, 1e-9);
}

TEST(CXGraphSeries, OneSeriesPerSlaveCreatedOnFirstUseNamedAndColouredAndListedInSlaveOrder) {
    CXGraph graph;
    auto curve = makeCurve(5, 0.0, 1.0, 5, ramp);
    graph.SetData(curve.data(), 5, 4);
    graph.SetData(curve.data(), 5, 1);
    EXPECT_EQ(graph.seriesGraph(0), nullptr);
    ASSERT_NE(graph.seriesGraph(4), nullptr);
    EXPECT_EQ(graph.seriesGraph(4)->name(), "Slave_5");
    EXPECT_EQ(graph.seriesGraph(1)->name(), "Slave_2");
    ASSERT_EQ(graph.legend->itemCount(), 2);
    EXPECT_EQ(graph.legend->itemWithPlottable(graph.seriesGraph(1)), graph.legend->item(0));

    // Invalid series are refused without creating anything.
    graph.SetData(curve.data(), 5, -1);
    graph.SetData(curve.data(), 5, CXGraph::kSeriesCount);
    graph.SetData(nullptr, 5, 2);
    EXPECT_EQ(graph.graphCount(), 2);
    EXPECT_EQ(graph.legend->itemCount(), 2);
}

// A mark of the graph's (a judged peak) under the legend is hidden by it, not seen through it.
TEST(CXGraphSeries, TheLegendHidesWhatLiesUnderIt) {
    CXGraph graph;
    auto curve = makeCurve(50, 0.2, 1.0, 1, ramp);
    graph.SetData(curve.data(), 50, 1);
    graph.replotNow();
    const QRect legend = graph.legend->outerRect();
    ASSERT_TRUE(legend.isValid());
    auto* mark = new QCPCurve(graph.xAxis, graph.yAxis);
    mark->setLineStyle(QCPCurve::lsNone);
    mark->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, Qt::black, Qt::black, 30));
    mark->removeFromLegend();
    const QPointF centre(graph.xAxis->pixelToCoord(legend.center().x()),
                         graph.yAxis->pixelToCoord(legend.bottom() - 8));
    const auto legendPixels = [&] { return graph.toPixmap().toImage().copy(legend); };
    const QImage without = legendPixels();
    mark->setData({centre.x()}, {centre.y()});
    EXPECT_EQ(legendPixels(), without);
    graph.legend->setVisible(false);
    EXPECT_NE(legendPixels(), without) << "the mark lies under the legend";
}

TEST(CXGraphAxes, TimeAxisKeepsTheProgramsRangeWhileTheValueAxisFollowsTheData) {
    CXGraph graph;
    graph.resize(800, 500);
    auto curve = makeCurve(200, 0.0, 0.2, 1, [](int i) { return 100.0 + i % 50; });
    graph.SetData(curve.data(), 200, 0);
    graph.GetXAxis(0).SetCurrentRange(30.0, 10.0, 0.0);  // edges in either order
    graph.replotNow();
    EXPECT_DOUBLE_EQ(graph.xAxis->range().lower, 10.0);
    EXPECT_DOUBLE_EQ(graph.xAxis->range().upper, 30.0);
    const QCPRange y = graph.yAxis->range();
    EXPECT_LE(y.lower, 100.0);
    EXPECT_GE(y.upper, 149.0);
    EXPECT_GT(y.lower, 90.0) << "the value axis should hug the data";
    EXPECT_LT(y.upper, 160.0);

    graph.GetXAxis(0).SetCurrentRange(5.0, 5.0, 0.0);  // cannot be drawn: ignored
    EXPECT_DOUBLE_EQ(graph.xAxis->range().lower, 10.0);

    // Flat data still get a value axis with some height; automatic time axis fits the data.
    auto flat = makeCurve(10, 50.0, 1.0, 1, [](int) { return 0.0; });
    graph.SetData(flat.data(), 10, 0);
    graph.GetXAxis(0).SetAutoScale(true);
    graph.replotNow();
    EXPECT_DOUBLE_EQ(graph.xAxis->range().lower, 50.0);
    EXPECT_DOUBLE_EQ(graph.xAxis->range().upper, 59.0);
    EXPECT_GT(graph.yAxis->range().size(), 0.1);
}

TEST(CXGraphRedraw, ManyUpdatesMakeFewRedrawsAndTestsCanForceOne) {
    CXGraph graph;
    graph.resize(640, 400);
    graph.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&graph));
    QApplication::processEvents();
    QSignalSpy replots(&graph, &QCustomPlot::afterReplot);
    std::vector<CurvePoint> curve(2000);

    // A burst on one turn of the event loop: one redraw once it is over.
    for (int i = 0; i < 1000; ++i) {
        curve[i] = CurvePoint{0.01 * i, std::sin(i * 0.1), 1, {}};
        graph.appendPoints(&curve[i], 1, 0);
        graph.Redraw();
    }
    EXPECT_EQ(replots.count(), 0);
    ASSERT_TRUE(test::waitUntil([&] { return replots.count() > 0; }));
    EXPECT_EQ(replots.count(), 1);

    replots.clear();
    graph.replotNow();
    EXPECT_EQ(replots.count(), 1);
    EXPECT_EQ(shownPoints(graph, 0).size(), 1000u);
}

}  // namespace
}  // namespace vornex
