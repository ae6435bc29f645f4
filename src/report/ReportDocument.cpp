#include "report/ReportDocument.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <string_view>

#include "link/RegisterMap.h"
#include "report/PageFlow.h"
#include "report/PeakSource.h"
#include "report/ReportBlocks.h"
#include "report/ReportGraph.h"
#include "report/ReportIssue.h"
#include "report/ReportTable.h"

namespace vornex {

namespace {

constexpr int kGraphDotsPerInch = 200;

using Kind = ReportTable::Kind;

QString figure(const std::optional<double>& value, int decimals) {
    return QString::fromStdString(judge::figureText(value, decimals));
}

QString orDash(const std::string& text) {
    return text.empty() ? QStringLiteral("-") : QString::fromStdString(text);
}

QString name(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

bool failed(judge::Verdict verdict) {
    return verdict == judge::Verdict::Low || verdict == judge::Verdict::High;
}

using Field = ReportBlocks::Field;

// Who tested what on which bench, and the file the report was made from.
std::vector<Field> headerFields(const TestResults& results, const ReportTexts& t,
                                const sign::DocumentIssue& issue, const QString& madeAt) {
    const TestTrace& trace = results.trace;
    const auto given = [](const QString& value) {
        return value == QLatin1String("-") ? QString() : value;
    };
    QString tool = given(amendedValue(issue, "tool", QString::fromStdString(trace.toolId)));
    if (const QString description = given(
            amendedValue(issue, "tool_description", QString::fromStdString(trace.toolDescription)));
        !description.isEmpty())
        tool += (tool.isEmpty() ? QString() : QStringLiteral(" — ")) + description;
    std::vector<Field> fields = issueFields(issue, t);
    fields.insert(
        fields.end(),
        {
            {labelOf(t.bench), orDash(trace.bench)},
            {labelOf(t.operatorName), amendedValue(issue, "operator", orDash(trace.operatorName))},
            {labelOf(t.tool), tool.isEmpty() ? QStringLiteral("-") : tool},
            {labelOf(t.test), amendedValue(issue, "name", orDash(results.name))},
            {labelOf(t.file), orDash(results.path), Qt::TextWrapAnywhere},
            {labelOf(t.hash), orDash(results.sha256), Qt::TextWrapAnywhere},
            {labelOf(t.started), orDash(results.started)},
            {labelOf(t.made), madeAt},
            {labelOf(t.version), orDash(trace.version)},
        });
    if (!trace.toolOverdue.empty())
        fields.push_back({labelOf(t.toolOverdue), QString::fromStdString(trace.toolOverdue)});
    if (const QString note = given(amendedValue(issue, "note", QString::fromStdString(trace.note)));
        !note.isEmpty())
        fields.push_back({labelOf(t.note), note});
    return fields;
}

ReportTable identityTable(const TestResults& results, const ReportTexts& t) {
    ReportTable table({{t.slave, Kind::Words}, {t.identification}, {t.peaks, Kind::Words}});
    for (size_t i = 0; i < results.instruments.size(); ++i) {
        const InstrumentResult& r = results.instruments[i];
        const std::vector<CurvePoint>& curve = results.curves[i];
        const PeakSource source =
            peakSourceOf(r.settings ? &*r.settings : nullptr, curve.data(), curve.size());
        table.addRow({slaveText(t, r.slave, r.identity.name), orDash(r.identity.identification),
                      peakSourceText(source, t)});
    }
    return table;
}

// One row per settings section the instrument recorded with.
ReportTable instrumentRows(const TestResults& results, const ReportTexts& t) {
    ReportTable table({{t.slave},
                       {t.since, Kind::Figures},
                       {t.threshold, Kind::Figures},
                       {t.unit},
                       {t.measure},
                       {t.set, Kind::Figures},
                       {t.range, Kind::Figures},
                       {t.target, Kind::Figures},
                       {t.upper, Kind::Figures},
                       {t.lower, Kind::Figures}});
    for (const InstrumentResult& r : results.instruments) {
        const QString slave = slaveText(t, r.slave);
        const QString threshold = figure(r.judged.threshold, r.decimals());
        std::vector<InstrumentSettings> sections = r.history;
        if (sections.empty() && r.settings)
            sections.push_back(*r.settings);
        if (sections.empty())
            table.addRow({slave, QStringLiteral("-"), threshold,
                          r.refusal.empty()
                              ? t.noSettings
                              : t.refusedSettings.arg(QString::fromStdString(r.refusal))});
        for (const InstrumentSettings& s : sections) {
            InstrumentResult section;
            section.settings = s;
            table.addRow({slave, figure(s.since, 3), threshold,
                          QString::fromStdString(section.unitName()),
                          name(regmap::measuringModeName(s.measure)),
                          QString::number(s.parameterSet), figure(s.range, 1),
                          figure(s.target, s.decimals), figure(s.upper, 1), figure(s.lower, 1)});
        }
    }
    return table;
}

ReportTable resultRows(const TestResults& results, const ReportTexts& t) {
    ReportTable table({{t.slave, Kind::Words},
                       {t.count, Kind::Figures},
                       {t.lastPeak, Kind::Figures},
                       {t.pass, Kind::Figures},
                       {t.low, Kind::Figures},
                       {t.high, Kind::Figures},
                       {t.incomplete, Kind::Figures},
                       {QStringLiteral("n"), Kind::Figures},
                       {t.mean, Kind::Figures},
                       {t.sd, Kind::Figures},
                       {t.min, Kind::Figures},
                       {t.max, Kind::Figures},
                       {QStringLiteral("Cp"), Kind::Figures},
                       {QStringLiteral("Cpk"), Kind::Figures}});
    for (const InstrumentResult& r : results.instruments) {
        const judge::Statistics& s = r.statistics;
        const int d = r.decimals();
        table.addRow(
            {slaveText(t, r.slave, r.identity.name), QString::number(r.events.size()),
             r.events.empty() ? QStringLiteral("-") : figure(r.events.back().event.peak, d),
             QString::number(r.pass), QString::number(r.low), QString::number(r.high),
             QString::number(r.incomplete), QString::number(s.n), figure(s.mean, d),
             figure(s.sd, d), figure(s.min, d), figure(s.max, d), figure(s.cp, 2),
             figure(s.cpk, 2)},
            r.low + r.high > 0);
    }
    return table;
}

// Every event, but of an instrument with more than kReportEventLimit only the failed ones; the
// lines that say so go to `leftOut`.
ReportTable eventRows(const TestResults& results, const ReportTexts& t, QStringList& leftOut) {
    ReportTable table({{t.slave},
                       {t.event, Kind::Figures},
                       {t.time, Kind::Figures},
                       {t.peak, Kind::Figures},
                       {t.unit},
                       {t.verdict}});
    for (const InstrumentResult& r : results.instruments) {
        const bool bounded = r.events.size() > kReportEventLimit;
        const QString slave = slaveText(t, r.slave);
        for (const judge::JudgedEvent& e : r.events) {
            if (bounded && !failed(e.verdict))
                continue;
            table.addRow({slave, QString::number(e.number), figure(e.event.peakTime, 3),
                          figure(e.event.peak, r.decimalsOf(e)),
                          QString::fromStdString(r.unitNameOf(e)), t.verdictText(e.verdict)},
                         failed(e.verdict));
        }
        if (bounded)
            leftOut << t.leftOut.arg(slaveText(t, r.slave, r.identity.name),
                                     QString::number(r.events.size()),
                                     QString::number(r.low + r.high));
    }
    return table;
}

// The report laid out on `device`; without a painter only counted. Gives the number of pages.
class ReportLayout {
public:
    ReportLayout(QPagedPaintDevice& device, const TestResults& results, const ReportTexts& t,
                 const sign::DocumentIssue& issue, const QString& madeAt, const QImage& graph,
                 const ReportCharts* charts)
        : device_(device),
          results_(results),
          t_(t),
          issue_(issue),
          madeAt_(madeAt),
          graph_(graph),
          charts_(charts),
          identities_(identityTable(results, t)),
          settings_(instrumentRows(results, t)),
          figures_(resultRows(results, t)),
          events_(eventRows(results, t, leftOut_)),
          blocks_(device) {}

    int run(QPainter* painter, int pages) {
        const QRectF page = device_.pageLayout().paintRectPixels(kReportDotsPerInch);
        PageFlow flow(device_, painter,
                      QRectF(0, 0, page.width(), page.height() - blocks_.footerHeight()),
                      [&](QPainter& p, int n) {
                          blocks_.footer(p, page, issueFooter(issue_, t_),
                                         t_.title + QStringLiteral(" · ") +
                                             QString::fromStdString(results_.name),
                                         t_.page.arg(n).arg(pages));
                      });
        blocks_.paragraph(flow, blocks_.title(), t_.title);
        flow.advance(blocks_.line() * 0.4);
        blocks_.fields(flow, headerFields(results_, t_, issue_, madeAt_));
        printChanges(blocks_, flow, issue_, t_);
        if (!results_.trace.sha256.empty() && results_.trace.sha256 != results_.sha256)
            blocks_.paragraph(flow, blocks_.bold(),
                              t_.hashChanged.arg(QString::fromStdString(results_.trace.sha256)),
                              Qt::TextWrapAnywhere, QColor(0xc0, 0, 0));

        blocks_.heading(flow, t_.instruments);
        identities_.print(flow, blocks_.body(), device_);
        blocks_.heading(flow, t_.settings);
        settings_.print(flow, blocks_.body(), device_);

        blocks_.heading(flow, t_.graph, flow.body().width() * graph_.height() / graph_.width());
        const double width = flow.body().width();
        const double height = width * graph_.height() / graph_.width();
        if (painter != nullptr)
            painter->drawImage(QRectF(0, flow.y(), width, height), graph_);
        flow.advance(height + blocks_.line());

        blocks_.heading(flow, t_.results);
        figures_.print(flow, blocks_.body(), device_);

        blocks_.heading(flow, t_.events);
        for (const QString& text : leftOut_)
            blocks_.paragraph(flow, blocks_.body(), text);
        events_.print(flow, blocks_.body(), device_);
        if (charts_ != nullptr)
            printControlCharts(blocks_, flow, results_, t_, *charts_);

        printSignatures(blocks_, flow, issue_, t_,
                        {sign::Meaning::Performed, sign::Meaning::Reviewed});
        flow.finish();
        return flow.page();
    }

private:
    QPagedPaintDevice& device_;
    const TestResults& results_;
    const ReportTexts& t_;
    const sign::DocumentIssue& issue_;
    const QString madeAt_;
    const QImage& graph_;
    const ReportCharts* charts_;
    QStringList leftOut_;  // before events_, which fills it
    ReportTable identities_, settings_, figures_, events_;
    ReportBlocks blocks_;
};

}  // namespace

FileResult writeReportPdf(const TestResults& results, const ReportTexts& texts,
                          const sign::DocumentIssue& issue, const std::string& path,
                          const ReportCharts* charts) {
    return writeA4Pdf(
        texts.title + QStringLiteral(" ") + QString::fromStdString(results.name), path,
        [&](QPdfWriter& writer) {
            const QRectF body = writer.pageLayout().paintRectPixels(kReportDotsPerInch);
            // At 200 dots per inch the graph prints as sharp as a printer shows and keeps the
            // file small.
            const double graphWidth = body.width() * kGraphDotsPerInch / kReportDotsPerInch;
            const QImage graph = drawTestGraph(
                results, QSize(static_cast<int>(graphWidth), static_cast<int>(graphWidth * 0.42)),
                texts);
            const QString madeAt =
                QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            ReportLayout layout(writer, results, texts, issue, madeAt, graph, charts);
            const int pages = layout.run(nullptr, 0);
            QPainter painter(&writer);
            layout.run(&painter, pages);
        });
}

}  // namespace vornex
