#pragma once

#include <QWidget>

#include "spc/ControlChart.h"

namespace vornex {

// The control charts of an analysis as the window shows them, drawn as the report draws them.
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
