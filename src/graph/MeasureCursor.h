#pragma once

#include <QPointF>
#include <QString>
#include <array>
#include <functional>

class QCustomPlot;
class QCPItemText;
class QCPGraph;
class QCPItemTracer;

namespace vornex {

class SeriesLabels;

// Two measuring cross-hairs, A and B, on a plot with a readout of their time and value (in the
// curve's decimals and unit) and, with both placed, the differences between them.
class MeasureCursor {
public:
    enum Flag : unsigned {
        SnapToPoint = 0x02,   // a cross-hair jumps to the nearest data point
        ShowReadout = 0x04,   // the readout lists time and value
        SecondCursor = 0x08,  // the second cross-hair and the differences are offered
    };
    enum Which { First = 0, Second = 1 };

    // seriesOf gives the series index of a plottable; labels write the values.
    MeasureCursor(QCustomPlot& plot, const SeriesLabels& labels,
                  std::function<int(const QCPGraph*)> seriesOf);

    void setFlags(unsigned flags);
    unsigned flags() const { return flags_; }

    // Places a cross-hair at a pixel position (or at the data point nearest to it). Returns false
    // when the second cross-hair is asked for but not offered.
    bool place(Which which, QPointF pixel);
    // A click of the measuring mode: A first, then B (when offered), then the one nearer to the
    // click moves. Returns the cross-hair placed.
    Which click(QPointF pixel);
    // A press of the measuring mode: the left button clicks, the right one places B. Returns
    // whether a cross-hair was placed.
    bool press(QPointF pixel, Qt::MouseButton button);
    // The cross-hairs as they were before the last press: that press began a double-click.
    void undoPress();
    // The cross-hair a click placed last, which a drag carries on.
    Which active() const { return active_; }
    void hide();
    // Writes the readout again, after the texts or units changed.
    void refresh() { updateReadout(); }

    bool isPlaced(Which which) const { return marks_[which].placed; }
    // Time and value under a placed cross-hair.
    QPointF position(Which which) const { return marks_[which].coords; }
    QString readout() const;

private:
    struct Mark {
        QCPItemTracer* tracer = nullptr;
        QPointF coords;
        int series = -1;  // -1: not on a curve
        bool placed = false;
    };

    void showMarks();
    void updateReadout();

    QCustomPlot& plot_;
    const SeriesLabels& labels_;
    std::function<int(const QCPGraph*)> seriesOf_;
    Which active_ = First;
    std::array<Mark, 2> marks_;
    Which activeBeforePress_ = First;
    std::array<Mark, 2> marksBeforePress_;
    QCPItemText* label_;
    unsigned flags_ = 0;
};

}  // namespace vornex
