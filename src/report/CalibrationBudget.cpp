#include "report/CalibrationBudget.h"

#include <cmath>

#include "report/PageFlow.h"
#include "text/NumberText.h"
#include "verify/RunBudget.h"
#include "verify/Subtests.h"

namespace vornex {

namespace {

using namespace vornex::verify;
using Kind = ReportTable::Kind;

QString fixed(double value, int decimals) {
    return QString::fromStdString(formatFixed(value, decimals));
}

QString orNotGiven(const std::string& value, const ReportTexts& t) {
    return value.empty() ? t.docNotGiven : QString::fromStdString(value);
}

// A relative standard uncertainty: three decimals of a percent show the smallest terms.
QString term(double percent) {
    return fixed(percent, 3);
}

}  // namespace

CalibrationBudget::CalibrationBudget(const RunProgress& progress, const Contributions& measured,
                                     const std::string& referenceAsset, const ReportTexts& texts)
    : plan_(progress.plan()),
      measured_(measured),
      t_(texts),
      traceability_(texts.docTraceability.arg(orNotGiven(referenceAsset, texts),
                                              orNotGiven(plan_.referenceCertificate, texts),
                                              orNotGiven(plan_.referenceDue, texts))),
      tables_(plan_.series().size(), ReportTable(columns())) {
    if (!plan_.resolution)
        notMeasured_ << t_.docTermResolution;
    for (const auto& [span, name] :
         {std::pair{measured_.reproducibility, t_.docTermReproducibility},
          {measured_.outputDrive, t_.docTermOutputDrive},
          {measured_.interface, t_.docTermInterface},
          {measured_.loadingPoint, t_.docTermLoadingPoint}}) {
        if (!span)
            notMeasured_ << name;
    }
    if (!plan_.referenceUncertainty)
        notMeasured_ << t_.docTermReference;
    addRows(progress);
}

std::vector<ReportTable::Column> CalibrationBudget::columns() const {
    std::vector<ReportTable::Column> columns{{t_.certPoint, Kind::Figures}};
    columns.push_back(
        {t_.docBudgetTarget.arg(QString::fromStdString(plan_.tool.unit)), Kind::Figures});
    if (plan_.resolution)
        columns.push_back({QStringLiteral("w_r (%)"), Kind::Figures});
    for (const auto& [span, symbol] : {std::pair{measured_.reproducibility, "w_rep (%)"},
                                       {measured_.outputDrive, "w_od (%)"},
                                       {measured_.interface, "w_int (%)"},
                                       {measured_.loadingPoint, "w_l (%)"}}) {
        if (span)
            columns.push_back({QString::fromLatin1(symbol), Kind::Figures});
    }
    if (plan_.referenceUncertainty)
        columns.push_back({QStringLiteral("w_ref (%)"), Kind::Figures});
    for (const char* symbol : {"w_s (%)", "w (%)", "W (%)", "W′ (%)"})
        columns.push_back({QString::fromUtf8(symbol), Kind::Figures});
    return columns;
}

void CalibrationBudget::addRows(const RunProgress& progress) {
    // The display shows steps of its last decimal, in the tool's unit.
    const double step = std::pow(10.0, -plan_.decimals);
    const std::vector<Direction> series = plan_.series();
    for (const PointBudget& pb : runBudgets(progress, measured_)) {
        const UncertaintyBudget& b = pb.budget;
        const size_t s = pb.direction == series.front() ? 0 : 1;
        const QString where =
            QString::fromStdString(plainNumber(plan_.points[pb.point])) + QStringLiteral(" %");
        QStringList row{QString::fromStdString(plainNumber(plan_.points[pb.point]))};
        row << fixed(pb.target, plan_.decimals);
        if (plan_.resolution)
            row << term(b.resolution);
        for (const auto& [span, value] : {std::pair{measured_.reproducibility, b.reproducibility},
                                          {measured_.outputDrive, b.outputDrive},
                                          {measured_.interface, b.interface},
                                          {measured_.loadingPoint, b.loadingPoint}}) {
            if (span)
                row << term(value);
        }
        if (plan_.referenceUncertainty)
            row << term(b.reference);
        row << term(b.scatter) << term(b.combined) << fixed(b.expanded, 2) << fixed(b.interval, 2);
        const bool exceeds = b.interval > plan_.permissible + 1e-9;
        tables_[s].addRow(row, exceeds);
        if (exceeds && !exceeded_.contains(where))
            exceeded_ << where;
        if (!resolutionWithinQuarter(step, pb.target, plan_.permissible) &&
            !coarse_.contains(where))
            coarse_ << where;
    }
}

QStringList CalibrationBudget::quarterRule() const {
    QStringList lines;
    const QString quarter = QString::fromStdString(plainNumber(plan_.permissible / 4.0));
    if (const std::optional<double>& u = plan_.referenceUncertainty)
        lines << (uncertaintyWithinQuarter(*u, plan_.permissible) ? t_.docQuarterReference
                                                                  : t_.docQuarterReferenceFails)
                     .arg(QString::fromStdString(plainNumber(*u)), quarter);
    else
        lines << t_.docQuarterUnknown;
    const QString step = fixed(std::pow(10.0, -plan_.decimals), plan_.decimals) + QLatin1Char(' ') +
                         QString::fromStdString(plan_.tool.unit);
    lines << (coarse_.isEmpty()
                  ? t_.docQuarterResolution.arg(step)
                  : t_.docQuarterResolutionFails.arg(step, coarse_.join(QStringLiteral(", "))));
    return lines;
}

void CalibrationBudget::print(const ReportBlocks& blocks, PageFlow& flow,
                              const QPaintDevice& device) {
    blocks.heading(flow, t_.docBudget);
    blocks.paragraph(flow, blocks.body(), traceability_);
    const std::vector<Direction> series = plan_.series();
    for (size_t s = 0; s < series.size(); ++s) {
        // Both directions: each its own table, under its name.
        if (series.size() > 1)
            blocks.paragraph(
                flow, blocks.bold(),
                series[s] == Direction::Clockwise ? t_.docClockwise : t_.docCounterclockwise);
        tables_[s].print(flow, blocks.body(), device);
    }
    flow.advance(blocks.line() * 0.3);
    blocks.paragraph(flow, blocks.body(), t_.docBudgetNote);
    if (!notMeasured_.isEmpty())
        blocks.paragraph(flow, blocks.body(),
                         t_.docNotMeasured.arg(notMeasured_.join(QStringLiteral(", "))));
    for (const QString& line : quarterRule())
        blocks.paragraph(flow, blocks.body(), line);
}

CalibrationBudget::Outcome CalibrationBudget::outcome() const {
    if (!notMeasured_.isEmpty())
        return Outcome::Undecided;
    return exceeded_.isEmpty() ? Outcome::Met : Outcome::Failed;
}

}  // namespace vornex
