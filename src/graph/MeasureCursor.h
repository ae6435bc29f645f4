#pragma once

#include <QPointF>
#include <QString>
#include <array>

class QCustomPlot;
class QCPItemText;
class QCPItemTracer;

namespace vornex {

// Two measuring cross-hairs on a plot with a readout of their time and value and, with both
// placed, the differences between them.
class MeasureCursor {
public:
    enum Flag : unsigned {
        SnapToPoint = 0x02,   // a cross-hair jumps to the nearest data point
        ShowReadout = 0x04,   // the readout lists time and value
        SecondCursor = 0x08,  // the second cross-hair and the differences are offered
    };
    enum Which { First = 0, Second = 1 };

    explicit MeasureCursor(QCustomPlot& plot);

    void setFlags(unsigned flags);
    unsigned flags() const { return flags_; }

    // Places a cross-hair at a pixel position (or at the data point nearest to it). Returns false
    // when the second cross-hair is asked for but not offered.
    bool place(Which which, QPointF pixel);
    void hide();

    bool isPlaced(Which which) const { return marks_[which].placed; }
    // Time and value under a placed cross-hair.
    QPointF position(Which which) const { return marks_[which].coords; }
    QString readout() const;

private:
    struct Mark {
        QCPItemTracer* tracer = nullptr;
        QPointF coords;
        QString series;
        bool placed = false;
    };

    void updateReadout();

    QCustomPlot& plot_;
    std::array<Mark, 2> marks_;
    QCPItemText* label_;
    unsigned flags_ = 0;
};

}  // namespace vornex
