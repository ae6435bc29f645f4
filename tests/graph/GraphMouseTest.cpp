#include <gtest/gtest.h>

#include <QTest>

#include "GraphInput.h"

namespace vornex {
namespace {

using test::click;
using test::drag;
using test::pixelOf;

// Two slaves over 0..19 s: slave 1 rising 0..190, slave 2 falling 500..310.
class GraphMouse : public ::testing::Test {
protected:
    void SetUp() override {
        rising_ = test::makeCurve(20, 0.0, 1.0, 1, [](int i) { return 10.0 * i; });
        falling_ = test::makeCurve(20, 0.0, 1.0, 2, [](int i) { return 500.0 - 10.0 * i; });
        graph_.resize(800, 500);
        graph_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&graph_));
        graph_.SetData(rising_.data(), 20, 0);
        graph_.SetData(falling_.data(), 20, 1);
        graph_.GetXAxis(0).SetCurrentRange(0.0, 20.0, 0.0);
        graph_.replotNow();
    }

    QCPRange xRange() const { return graph_.xAxis->range(); }
    QCPRange yRange() const { return graph_.yAxis->range(); }

    CXGraph graph_;
    std::vector<CurvePoint> rising_;
    std::vector<CurvePoint> falling_;
};

TEST_F(GraphMouse, ZoomAndPanSetAViewThatUpdatesKeepUntilADoubleClickOrNoOpHandsItBack) {
    const QCPRange before = xRange();
    drag(&graph_, pixelOf(graph_, 5.0, 300.0), pixelOf(graph_, 10.0, 100.0));
    EXPECT_DOUBLE_EQ(xRange().lower, before.lower) << "no mouse mode: a drag changes nothing";

    graph_.Zoom();
    drag(&graph_, pixelOf(graph_, 5.0, 300.0), pixelOf(graph_, 10.0, 100.0));
    EXPECT_NEAR(xRange().lower, 5.0, 0.1);
    EXPECT_NEAR(xRange().upper, 10.0, 0.1);
    EXPECT_NEAR(yRange().lower, 100.0, 2.0);
    EXPECT_NEAR(yRange().upper, 300.0, 2.0);

    // Automatic scaling must not undo the user's view.
    graph_.Redraw();
    graph_.replotNow();
    EXPECT_NEAR(yRange().upper, 300.0, 2.0);

    test::sendMouse(&graph_, QEvent::MouseButtonDblClick, pixelOf(graph_, 7.0, 200.0),
                    Qt::LeftButton, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(xRange().lower, 0.0);
    EXPECT_DOUBLE_EQ(xRange().upper, 19.0);
    EXPECT_LE(yRange().lower, 0.0);
    EXPECT_GE(yRange().upper, 500.0);

    graph_.Pan();
    const QCPRange all = xRange();
    const double unitsPerPixel = all.size() / graph_.axisRect()->width();
    drag(&graph_, QPointF(400, 250), QPointF(300, 250));
    EXPECT_NEAR(xRange().lower, all.lower + 100 * unitsPerPixel, 2 * unitsPerPixel);
    EXPECT_NEAR(xRange().size(), all.size(), 1e-9);

    const QCPRange y = yRange();
    graph_.replotNow();
    EXPECT_DOUBLE_EQ(yRange().lower, y.lower) << "a panned view stays put";

    graph_.NoOp();
    graph_.GetXAxis(0).SetCurrentRange(10.0, 19.0, 0.0);  // shows values 100 to 400
    graph_.replotNow();
    EXPECT_NEAR(yRange().lower, 85.0, 1e-6) << "the value axis follows the data again";
    EXPECT_NEAR(yRange().upper, 415.0, 1e-6);
}

TEST_F(GraphMouse, CursorsSnapToPointsGiveTheDifferencesAndStayPutOnADoubleClick) {
    graph_.SetCursorFlags(14);
    graph_.Cursor();
    click(&graph_, pixelOf(graph_, 7.0, 70.0) + QPointF(4, -5));
    ASSERT_TRUE(graph_.measureCursor().isPlaced(MeasureCursor::First));
    EXPECT_EQ(graph_.measureCursor().position(MeasureCursor::First), QPointF(7.0, 70.0));
    QString text = graph_.measureCursor().readout();
    EXPECT_TRUE(text.contains("A: time 7.000 s, torque 70.00 (Slave_1)")) << text.toStdString();

    // Near slave 2's curve at 12 s: the second click places B on its point.
    click(&graph_, pixelOf(graph_, 12.2, 385.0));
    EXPECT_EQ(graph_.measureCursor().position(MeasureCursor::Second), QPointF(12.0, 380.0));
    text = graph_.measureCursor().readout();
    EXPECT_TRUE(text.contains("B: time 12.000 s, torque 380.00 (Slave_2)")) << text.toStdString();
    EXPECT_TRUE(text.contains("Difference: time 5.000 s, torque 310.00")) << text.toStdString();

    // The next click moves the nearer cross-hair, and the readout takes the instrument's unit
    // and decimals.
    click(&graph_, pixelOf(graph_, 14.0, 360.0));
    EXPECT_EQ(graph_.measureCursor().position(MeasureCursor::Second), QPointF(14.0, 360.0));
    EXPECT_EQ(graph_.measureCursor().position(MeasureCursor::First), QPointF(7.0, 70.0));
    std::array<SeriesUnit, CXGraph::kSeriesCount> units{};
    units[0] = {"N.m", 1};
    units[1] = {"kgf.cm", 3};
    graph_.setSeriesUnits(units, 0);
    text = graph_.measureCursor().readout();
    EXPECT_TRUE(text.contains("torque 70.0 N.m")) << text.toStdString();
    EXPECT_TRUE(text.contains("torque 360.000 kgf.cm")) << text.toStdString();
    EXPECT_EQ(graph_.yAxis->label(), "Torque (N.m)");
    EXPECT_EQ(graph_.seriesGraph(1)->name(), "Slave_2 (kgf.cm)") << "units differ: in the legend";

    // Dragging carries the first cross-hair from point to point.
    drag(&graph_, pixelOf(graph_, 3.0, 30.0), pixelOf(graph_, 9.0, 92.0));
    EXPECT_EQ(graph_.measureCursor().position(MeasureCursor::First), QPointF(9.0, 90.0));

    graph_.NoOp();
    EXPECT_FALSE(graph_.measureCursor().isPlaced(MeasureCursor::First));
    EXPECT_FALSE(graph_.measureCursor().isPlaced(MeasureCursor::Second));
    EXPECT_TRUE(graph_.measureCursor().readout().isEmpty());

    // A double-click shows all without moving a cross-hair, and the readout covers the curves.
    graph_.Cursor();
    click(&graph_, pixelOf(graph_, 7.0, 70.0));
    graph_.GetXAxis(0).SetCurrentRange(5.0, 10.0, 0.0);
    graph_.replotNow();
    // Press, release, double-click, release: the first press is not a placing click.
    const QPointF at = pixelOf(graph_, 8.0, 420.0);
    click(&graph_, at);
    test::sendMouse(&graph_, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    test::sendMouse(&graph_, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(graph_.measureCursor().isPlaced(MeasureCursor::Second));
    EXPECT_EQ(graph_.measureCursor().position(MeasureCursor::First), QPointF(7.0, 70.0));
    EXPECT_DOUBLE_EQ(xRange().upper, 19.0);

    // A zigzag over the whole plot runs behind the readout, never through its text.
    const auto zigzag = test::makeCurve(400, 0.0, 0.05, 3, [](int i) { return i % 2 * 500.0; });
    graph_.SetData(zigzag.data(), 400, 2);
    click(&graph_, pixelOf(graph_, 12.0, 380.0));
    graph_.replotNow();
    QCPItemText* readout = nullptr;
    for (int i = 0; i < graph_.itemCount() && readout == nullptr; ++i)
        readout = qobject_cast<QCPItemText*>(graph_.item(i));
    ASSERT_NE(readout, nullptr);
    const QRect box =
        QRectF(readout->topLeft->pixelPosition(), readout->bottomRight->pixelPosition())
            .toRect()
            .adjusted(2, 2, -2, -2);
    ASSERT_GT(box.width(), 20);
    const QImage image = graph_.toPixmap(800, 500).toImage();
    EXPECT_GT(test::colouredPixels(image, box.translated(0, box.height() + 10)), 0)
        << "the zigzag should run under the readout";
    EXPECT_EQ(test::colouredPixels(image, box), 0);
}

TEST_F(GraphMouse, TheLegendIsDraggedAnywhereInThePlotInEveryModeAndStaysThere) {
    graph_.Zoom();
    const QRect before = graph_.legend->outerRect();
    const QPointF to(200, 380);
    drag(&graph_, before.center(), to);
    graph_.replotNow();
    EXPECT_NEAR(graph_.legend->outerRect().center().x(), to.x(), 2.0);
    EXPECT_NEAR(graph_.legend->outerRect().center().y(), to.y(), 2.0);
    EXPECT_DOUBLE_EQ(xRange().lower, 0.0) << "dragging the legend is no zoom";
    EXPECT_DOUBLE_EQ(xRange().upper, 20.0);

    // New curves, another mode: it stays where it was put, and a press on it measures nothing.
    const QPoint corner = graph_.legend->outerRect().topLeft();
    graph_.clearCurves();
    graph_.SetData(rising_.data(), 20, 0);
    graph_.Cursor();
    graph_.replotNow();
    EXPECT_EQ(graph_.legend->outerRect().topLeft(), corner);
    click(&graph_, graph_.legend->outerRect().center());
    EXPECT_FALSE(graph_.measureCursor().isPlaced(MeasureCursor::First));

    drag(&graph_, graph_.legend->outerRect().center(), QPointF(-300, 2000));
    graph_.replotNow();
    EXPECT_TRUE(graph_.axisRect()->rect().contains(graph_.legend->outerRect()));
}

}  // namespace
}  // namespace vornex
