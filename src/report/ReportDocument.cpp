#include "report/ReportDocument.h"

#include <QBuffer>
#include <QDateTime>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <string_view>

#include "files/AtomicFile.h"
#include "link/RegisterMap.h"
#include "report/PageFlow.h"
#include "report/PeakSource.h"
#include "report/ReportGraph.h"
#include "report/ReportTable.h"

namespace vornex {

namespace {

constexpr int kDotsPerInch = 300;
constexpr int kGraphDotsPerInch = 200;
constexpr double kMarginMm = 15.0;
constexpr double kBodyPoints = 9.0;

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

// "Test:" from "Test: %1": a header field's label is its text without the value.
QString labelOf(const QString& format) {
    const qsizetype at = format.indexOf(QLatin1String("%1"));
    return (at < 0 ? format : format.left(at)).trimmed();
}

bool failed(judge::Verdict verdict) {
    return verdict == judge::Verdict::Low || verdict == judge::Verdict::High;
}

// Who tested what on which bench, and the file the report was made from.
struct Field {
    QString label, value;
    int wrap = Qt::TextWordWrap;
};

std::vector<Field> headerFields(const TestResults& results, const ReportTexts& t,
                                const QString& madeAt) {
    const TestTrace& trace = results.trace;
    QString tool = QString::fromStdString(trace.toolId);
    if (!trace.toolDescription.empty())
        tool += (tool.isEmpty() ? QString() : QStringLiteral(" — ")) +
                QString::fromStdString(trace.toolDescription);
    std::vector<Field> fields = {
        {labelOf(t.bench), orDash(trace.bench)},
        {labelOf(t.operatorName), orDash(trace.operatorName)},
        {labelOf(t.tool), tool.isEmpty() ? QStringLiteral("-") : tool},
        {labelOf(t.test), orDash(results.name)},
        {labelOf(t.file), orDash(results.path), Qt::TextWrapAnywhere},
        {labelOf(t.hash), orDash(results.sha256), Qt::TextWrapAnywhere},
        {labelOf(t.started), orDash(results.started)},
        {labelOf(t.made), madeAt},
        {labelOf(t.version), orDash(trace.version)},
    };
    if (!trace.note.empty())
        fields.push_back({labelOf(t.note), QString::fromStdString(trace.note)});
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
                 const QString& madeAt, const QImage& graph)
        : device_(device),
          results_(results),
          t_(t),
          madeAt_(madeAt),
          graph_(graph),
          identities_(identityTable(results, t)),
          settings_(instrumentRows(results, t)),
          figures_(resultRows(results, t)),
          events_(eventRows(results, t, leftOut_)) {
        body_.setPointSizeF(kBodyPoints);
        bold_ = body_;
        bold_.setBold(true);
        heading_ = bold_;
        heading_.setPointSizeF(kBodyPoints * 1.3);
        title_ = bold_;
        title_.setPointSizeF(kBodyPoints * 1.9);
        small_ = body_;
        small_.setPointSizeF(kBodyPoints * 0.85);
    }

    int run(QPainter* painter, int pages) {
        const QRectF page = device_.pageLayout().paintRectPixels(kDotsPerInch);
        const double footer = QFontMetricsF(small_, &device_).height() * 2.0;
        PageFlow flow(device_, painter, QRectF(0, 0, page.width(), page.height() - footer),
                      [&](QPainter& p, int n) { drawFooter(p, n, pages, page); });
        paragraph(flow, title_, t_.title);
        flow.advance(line() * 0.4);
        fields(flow);
        if (!results_.trace.sha256.empty() && results_.trace.sha256 != results_.sha256)
            paragraph(flow, bold_,
                      t_.hashChanged.arg(QString::fromStdString(results_.trace.sha256)),
                      Qt::TextWrapAnywhere, QColor(0xc0, 0, 0));

        heading(flow, t_.instruments);
        identities_.print(flow, body_, device_);
        heading(flow, t_.settings);
        settings_.print(flow, body_, device_);

        heading(flow, t_.graph, flow.body().width() * graph_.height() / graph_.width());
        const double width = flow.body().width();
        const double height = width * graph_.height() / graph_.width();
        if (painter != nullptr)
            painter->drawImage(QRectF(0, flow.y(), width, height), graph_);
        flow.advance(height + line());

        heading(flow, t_.results);
        figures_.print(flow, body_, device_);

        heading(flow, t_.events);
        for (const QString& text : leftOut_)
            paragraph(flow, body_, text);
        events_.print(flow, body_, device_);

        signatures(flow);
        flow.finish();
        return flow.page();
    }

private:
    double line() const { return QFontMetricsF(body_, &device_).height(); }

    void paragraph(PageFlow& flow, const QFont& font, const QString& text,
                   int wrap = Qt::TextWordWrap, const QColor& colour = Qt::black) {
        const QRectF room(0, 0, flow.body().width(), 1e6);
        const double height = QFontMetricsF(font, &device_).boundingRect(room, wrap, text).height();
        flow.keep(height);
        if (QPainter* p = flow.painter()) {
            p->setFont(font);
            p->setPen(colour);
            p->drawText(QRectF(0, flow.y(), room.width(), height), wrap, text);
        }
        flow.advance(height + line() * 0.3);
    }

    // A heading is never the last line of a page: it stays with `next` of what it heads.
    void heading(PageFlow& flow, const QString& text, double next = 0.0) {
        const double height = QFontMetricsF(heading_, &device_).height();
        flow.advance(line() * 0.4);
        flow.keep(height + std::max(next, line() * 4));
        paragraph(flow, heading_, text);
    }

    void fields(PageFlow& flow) {
        const std::vector<Field> all = headerFields(results_, t_, madeAt_);
        const QFontMetricsF labels(bold_, &device_);
        const QFontMetricsF values(body_, &device_);
        double labelWidth = 0.0;
        for (const Field& f : all)
            labelWidth = std::max(labelWidth, labels.horizontalAdvance(f.label));
        labelWidth += line();
        const double valueWidth = flow.body().width() - labelWidth;
        for (const Field& f : all) {
            const double height =
                values.boundingRect(QRectF(0, 0, valueWidth, 1e6), f.wrap, f.value).height();
            flow.keep(height);
            if (QPainter* p = flow.painter()) {
                p->setPen(Qt::black);
                p->setFont(bold_);
                p->drawText(QRectF(0, flow.y(), labelWidth, height), Qt::AlignLeft, f.label);
                p->setFont(body_);
                p->drawText(QRectF(labelWidth, flow.y(), valueWidth, height), f.wrap, f.value);
            }
            flow.advance(height + line() * 0.15);
        }
    }

    // Two lines to sign, kept together at the end: who tested and who reviewed.
    void signatures(PageFlow& flow) {
        const double rowHeight = line() * 3;
        flow.advance(line());
        flow.keep(rowHeight * 2);
        const double third = flow.body().width() / 3;
        for (const QString& role : {t_.testedBy, t_.reviewedBy}) {
            flow.advance(rowHeight - line());
            if (QPainter* p = flow.painter()) {
                p->setFont(body_);
                p->setPen(QPen(Qt::black, 0));
                const QFontMetricsF metrics(body_, &device_);
                int column = 0;
                for (const QString& label : {role, t_.date, t_.signature}) {
                    const double x = third * column++;
                    p->drawText(QPointF(x, flow.y() + metrics.ascent()), label);
                    const double lineY = flow.y() + metrics.ascent() + metrics.descent() * 0.5;
                    p->drawLine(QPointF(x + metrics.horizontalAdvance(label) + line() * 0.3, lineY),
                                QPointF(x + third - line(), lineY));
                }
            }
            flow.advance(line());
        }
    }

    void drawFooter(QPainter& p, int page, int pages, const QRectF& paper) const {
        const QFontMetricsF metrics(small_, &device_);
        const double top = paper.height() - metrics.height() * 1.2;
        p.setPen(QPen(Qt::black, 0));
        p.drawLine(QPointF(0, top - metrics.height() * 0.3),
                   QPointF(paper.width(), top - metrics.height() * 0.3));
        p.setFont(small_);
        const QRectF room(0, top, paper.width(), metrics.height());
        p.drawText(room, Qt::AlignLeft,
                   t_.title + QStringLiteral(" · ") + QString::fromStdString(results_.name));
        p.drawText(room, Qt::AlignRight, t_.page.arg(page).arg(pages));
    }

    QPagedPaintDevice& device_;
    const TestResults& results_;
    const ReportTexts& t_;
    const QString madeAt_;
    const QImage& graph_;
    QStringList leftOut_;  // before events_, which fills it
    ReportTable identities_, settings_, figures_, events_;
    QFont body_, bold_, heading_, title_, small_;
};

}  // namespace

FileResult writeReportPdf(const TestResults& results, const ReportTexts& texts,
                          const std::string& path) {
    // Drawn in memory first: the PDF writer does not tell when a write to its file fails.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                              QPageLayout::Millimeter);
        writer.setResolution(kDotsPerInch);
        writer.setTitle(texts.title + QStringLiteral(" ") + QString::fromStdString(results.name));
        const QRectF body = writer.pageLayout().paintRectPixels(kDotsPerInch);
        // At 200 dots per inch the graph prints as sharp as a printer shows and keeps the file
        // small.
        const double graphWidth = body.width() * kGraphDotsPerInch / kDotsPerInch;
        const QImage graph = drawTestGraph(
            results, QSize(static_cast<int>(graphWidth), static_cast<int>(graphWidth * 0.42)),
            texts);
        const QString madeAt =
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        ReportLayout layout(writer, results, texts, madeAt, graph);
        const int pages = layout.run(nullptr, 0);
        QPainter painter(&writer);
        layout.run(&painter, pages);
    }
    if (bytes.isEmpty()) {
        return FileResult::failed(FileResultKind::Unwritable,
                                  "cannot draw the report of " + results.name);
    }
    std::string error;
    if (writeWholeFile(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                       &error)) {
        return FileResult();
    }
    return FileResult::failed(FileResultKind::Unwritable, error);
}

}  // namespace vornex
