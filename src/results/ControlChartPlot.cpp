#include "results/ControlChartPlot.h"

#include <QPainter>

#include "report/ControlChartDrawing.h"

namespace vornex {

ControlChartPlot::ControlChartPlot(QWidget* parent) : QWidget(parent) {
    setMinimumSize(360, 240);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

void ControlChartPlot::show(const spc::SpcAnalysis& analysis, int decimals) {
    analysis_ = analysis;
    decimals_ = decimals;
    update();
}

void ControlChartPlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    constexpr int kMargin = 8;
    // Means and spreads of rounded readings carry one decimal more than the readings.
    drawControlCharts(p, QRectF(rect().adjusted(kMargin, kMargin, -kMargin, -kMargin)), analysis_,
                      decimals_ + 1);
}

}  // namespace vornex
