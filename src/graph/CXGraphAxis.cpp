#include "graph/CXGraphAxis.h"

#include <qcustomplot.h>

#include <cmath>
#include <utility>

namespace vornex {

CXGraphAxis::CXGraphAxis(QCPAxis* axis, std::function<void()> changed)
    : axis_(axis), changed_(std::move(changed)) {}

void CXGraphAxis::SetCurrentRange(double lower, double upper, double step) {
    if (!std::isfinite(lower) || !std::isfinite(upper) || !std::isfinite(step) || step < 0.0) {
        return;
    }
    const QCPRange range = QCPRange(lower, upper).sanitizedForLinScale();
    if (!QCPRange::validRange(range)) {
        return;
    }
    if (step != step_) {
        if (step > 0.0) {
            auto ticker = QSharedPointer<QCPAxisTickerFixed>::create();
            ticker->setTickStep(step);
            // Multiples of the step keep the tick count sane when the range is far wider.
            ticker->setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
            axis_->setTicker(ticker);
        } else {
            axis_->setTicker(QSharedPointer<QCPAxisTicker>::create());
        }
        step_ = step;
    }
    axis_->setRange(range);
    changed_();
}

void CXGraphAxis::SetAutoScale(bool on) {
    autoScale_ = on;
    changed_();
}

QCPRange CXGraphAxis::GetCurrentRange() const {
    return axis_->range();
}

}  // namespace vornex
