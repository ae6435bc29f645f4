#include "results/JudgeMarks.h"

#include <qcustomplot.h>

namespace vornex {

namespace {

const QString kBandLayer = QStringLiteral("judgeBand");

QCPCurve* markCurve(QCustomPlot& plot, const QColor& colour,
                    QCPScatterStyle::ScatterShape shape = QCPScatterStyle::ssCircle) {
    auto* curve = new QCPCurve(plot.xAxis, plot.yAxis);
    curve->setLineStyle(QCPCurve::lsNone);
    curve->setScatterStyle(QCPScatterStyle(shape, QPen(colour, 2), QBrush(Qt::NoBrush), 9));
    curve->removeFromLegend();
    curve->setSelectable(QCP::stNone);
    return curve;
}

}  // namespace

JudgeMarks::JudgeMarks(QCustomPlot& plot)
    : plot_(plot),
      peaks_(markCurve(plot, QColor(20, 20, 20))),
      badPeaks_(markCurve(plot, QColor(220, 0, 0))),
      incompletePeaks_(markCurve(plot, QColor(230, 130, 0), QCPScatterStyle::ssSquare)),
      band_(nullptr),
      target_(nullptr) {
    if (plot.layer(kBandLayer) == nullptr)
        plot.addLayer(kBandLayer, plot.layer(QStringLiteral("main")), QCustomPlot::limBelow);
    band_ = new QCPItemRect(&plot);
    band_->setLayer(kBandLayer);
    band_->setPen(QPen(QColor(40, 150, 40, 160), 1, Qt::DashLine));
    band_->setBrush(QColor(60, 180, 60, 45));
    for (QCPItemPosition* corner : {band_->topLeft, band_->bottomRight}) {
        corner->setTypeX(QCPItemPosition::ptAxisRectRatio);
        corner->setTypeY(QCPItemPosition::ptPlotCoords);
    }
    target_ = new QCPItemStraightLine(&plot);
    target_->setLayer(kBandLayer);
    target_->setPen(QPen(QColor(30, 120, 30), 1.5, Qt::DashDotLine));
    for (QCPAbstractItem* item : std::initializer_list<QCPAbstractItem*>{band_, target_}) {
        item->setSelectable(false);
        item->setVisible(false);
    }
}

void JudgeMarks::setIncompleteName(const QString& name) {
    incompletePeaks_->setName(name);
}

void JudgeMarks::show(const LiveResults& results, int displayedSlave, bool recording) {
    QVector<double> keys, values, badKeys, badValues, incompleteKeys, incompleteValues;
    for (int slave : results.slaves()) {
        const judge::InstrumentJudge& judge = *results.judgeOf(slave);
        for (const judge::JudgedEvent& e : judge.events()) {
            const bool bad = e.verdict == judge::Verdict::Low || e.verdict == judge::Verdict::High;
            const bool incomplete = e.verdict == judge::Verdict::Incomplete;
            (incomplete ? incompleteKeys : bad ? badKeys : keys).append(e.event.peakTime);
            (incomplete ? incompleteValues : bad ? badValues : values).append(e.event.peak);
        }
        const std::optional<judge::JudgedEvent> pending = judge.pending();
        // A pull still on where the curve ends was never seen whole: incomplete, as reports say.
        if (pending && !recording) {
            incompleteKeys.append(pending->event.peakTime);
            incompleteValues.append(pending->event.peak);
        }
    }
    peaks_->setData(keys, values);
    badPeaks_->setData(badKeys, badValues);
    incompletePeaks_->setData(incompleteKeys, incompleteValues);
    if (incompleteKeys.isEmpty())
        incompletePeaks_->removeFromLegend();
    else
        incompletePeaks_->addToLegend();

    const judge::InstrumentJudge* shown = results.judgeOf(displayedSlave);
    const std::optional<judge::Band> band = shown ? shown->settings().band : std::nullopt;
    band_->setVisible(band.has_value());
    target_->setVisible(band.has_value());
    if (!band)
        return;
    band_->topLeft->setCoords(0.0, band->high);
    band_->bottomRight->setCoords(1.0, band->low);
    target_->point1->setCoords(0.0, band->target);
    target_->point2->setCoords(1.0, band->target);
}

}  // namespace vornex
