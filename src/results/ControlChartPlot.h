#pragma once

#include <QWidget>

#include "spc/ControlChart.h"

namespace vornex {

// The two charts of an analysis drawn one above the other: the subgroup means with their centre
// line and limits, and below them the ranges or standard deviations with theirs. A mean that
// broke a rule, and a spread beyond its limits, are ringed in red.
class ControlChartPlot : public QWidget {
public:
    explicit ControlChartPlot(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {720, 420}; }
    // The analysis is drawn until the next one; `decimals` of the limits written beside them.
    void show(const spc::SpcAnalysis& analysis, int decimals);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    spc::SpcAnalysis analysis_;
    int decimals_ = 2;
};

}  // namespace vornex
