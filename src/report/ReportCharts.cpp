#include "report/ReportCharts.h"

#include <QPainter>
#include <cmath>

#include "judge/PeakStatistics.h"
#include "report/ControlChartDrawing.h"
#include "report/PageFlow.h"
#include "report/ReportBlocks.h"
#include "text/NumberText.h"

namespace vornex {

namespace {

// Breaks listed on a page before the rest are only counted: the chart rings them all.
constexpr int kListedBreaks = 40;

QStringList breakLines(const spc::SpcAnalysis& a, const ReportCharts& charts) {
    const SpcTexts& t = charts.texts;
    QStringList lines;
    for (const spc::ListedBreak& b : spc::listedBreaks(a)) {
        if (b.rule == 0)
            lines << t.breakSpread.arg(b.subgroup + 1)
                         .arg(charts.request.chart == spc::Chart::XbarS ? t.sd : t.range);
        else
            lines << t.breakRule.arg(b.subgroup + 1)
                         .arg(b.rule)
                         .arg(t.rule[static_cast<size_t>(b.rule - 1)]);
    }
    return lines;
}

}  // namespace

ReportCharts reportCharts(const ControlChartSettings& settings, const SpcTexts& texts) {
    ReportCharts charts;
    charts.texts = texts;
    charts.request.subgroupSize = settings.subgroup;
    charts.request.chart = settings.bySd ? spc::Chart::XbarS : spc::Chart::XbarR;
    charts.request.rules = spc::parseRules(settings.rules).value_or(spc::allRules());
    return charts;
}

void printControlCharts(const ReportBlocks& blocks, PageFlow& flow, const TestResults& results,
                        const ReportTexts& t, const ReportCharts& charts) {
    const SpcTexts& s = charts.texts;
    for (const InstrumentResult& r : results.instruments) {
        spc::SpcRequest request = charts.request;
        const int decimals = r.decimals();
        request.resolution = std::pow(10.0, -decimals);
        if (r.judged.band)
            request.tolerance =
                spc::Tolerance{r.judged.band->low, r.judged.band->high, r.judged.band->target};
        const spc::SpcAnalysis a = spc::analyse(r.magnitudes, request);
        if (a.subgroups.size() < 2 || !a.xbar)
            continue;
        flow.newPage();
        blocks.heading(flow, s.reportHeading.arg(slaveText(t, r.slave, r.identity.name)));
        QStringList rules;
        for (int rule = 1; rule <= spc::kRuleCount; ++rule) {
            if (request.rules.test(static_cast<size_t>(rule - 1)))
                rules << QString::number(rule);
        }
        blocks.paragraph(
            flow, blocks.body(),
            s.reportSettings.arg(request.subgroupSize)
                .arg(a.subgroups.size())
                .arg(rules.isEmpty() ? QStringLiteral("-") : rules.join(QStringLiteral(", "))));
        const double width = flow.body().width();
        const double height = width * 0.55;
        flow.keep(height);
        if (QPainter* p = flow.painter()) {
            p->setFont(blocks.body());
            // Means and spreads of rounded readings carry one decimal more than the readings.
            drawControlCharts(*p, QRectF(0, flow.y(), width, height), a, decimals + 1);
        }
        flow.advance(height + blocks.line() * 0.5);
        const auto value = [decimals](double v) {
            return QString::fromStdString(formatFixed(v, decimals + 1));
        };
        const bool bySd = request.chart == spc::Chart::XbarS;
        blocks.paragraph(
            flow, blocks.body(),
            s.reportLimits.arg(value(a.xbar->lcl), value(a.xbar->cl), value(a.xbar->ucl),
                               QLatin1String(bySd ? "s" : "R"), value(a.spread->lcl),
                               value(a.spread->cl), value(a.spread->ucl)));
        const auto figure = [](const std::optional<double>& v) {
            return QString::fromStdString(judge::figureText(v, 2));
        };
        const spc::Capability& c = a.capability;
        blocks.paragraph(
            flow, blocks.bold(),
            s.capability.arg(figure(c.cp), figure(c.cpk), figure(c.pp), figure(c.ppk)));
        if (a.leftOut > 0)
            blocks.paragraph(flow, blocks.body(), s.leftOut.arg(a.leftOut));
        const QStringList lines = breakLines(a, charts);
        if (lines.isEmpty())
            blocks.paragraph(flow, blocks.body(), s.noBreaks);
        for (int i = 0; i < lines.size() && i < kListedBreaks; ++i)
            blocks.paragraph(flow, blocks.body(), lines[i]);
        if (lines.size() > kListedBreaks)
            blocks.paragraph(flow, blocks.body(), s.reportMore.arg(lines.size() - kListedBreaks));
    }
}

}  // namespace vornex
