#include "report/ReportDocument.h"

#include <QBuffer>
#include <QDateTime>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>

#include "files/AtomicFile.h"
#include "link/RegisterMap.h"
#include "report/PeakSource.h"
#include "report/ReportGraph.h"

namespace vornex {

namespace {

const QUrl kGraphUrl(QStringLiteral("report://graph.png"));

QString cell(const QString& text, const char* style = "") {
    // A figure broken over two lines reads as two numbers.
    return QStringLiteral("<td style=\"white-space:nowrap;%1\">%2</td>")
        .arg(QString::fromLatin1(style), text.toHtmlEscaped());
}

QString headerRow(std::initializer_list<QString> names) {
    QString row = QStringLiteral("<tr style=\"background:#dde4ee\">");
    for (const QString& name : names)
        row += QStringLiteral("<th style=\"white-space:nowrap\">%1</th>").arg(name.toHtmlEscaped());
    return row + QStringLiteral("</tr>");
}

QString figure(const std::optional<double>& value, int decimals) {
    return QString::fromStdString(judge::figureText(value, decimals));
}

QString name(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString table(const QString& rows) {
    return QStringLiteral(
               "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
               "width=\"100%\">%1</table>")
        .arg(rows);
}

QString instrumentRows(const TestResults& results, const ReportTexts& t) {
    QString rows = headerRow({t.slave, t.unit, t.measure, t.set, t.range, t.target, t.upper,
                              t.lower, t.threshold, t.since});
    for (const InstrumentResult& r : results.instruments) {
        rows += QStringLiteral("<tr>") + cell(QString::number(r.slave));
        if (r.settings) {
            const InstrumentSettings& s = *r.settings;
            rows += cell(QString::fromStdString(r.unitName())) +
                    cell(name(regmap::measuringModeName(s.measure))) +
                    cell(QString::number(s.parameterSet)) + cell(QString::number(s.range, 'f', 1)) +
                    cell(figure(s.target, r.decimals())) + cell(QString::number(s.upper, 'f', 1)) +
                    cell(QString::number(s.lower, 'f', 1));
        } else {
            const QString why = r.refusal.empty()
                                    ? t.noSettings
                                    : t.refusedSettings.arg(QString::fromStdString(r.refusal));
            rows += QStringLiteral("<td colspan=\"7\">%1</td>").arg(why.toHtmlEscaped());
        }
        rows +=
            cell(figure(r.judged.threshold, r.decimals())) +
            cell(r.settings ? QString::number(r.settings->since, 'f', 3) : QStringLiteral("-")) +
            QStringLiteral("</tr>");
    }
    return rows;
}

// Per instrument, where its peaks came from, so that the reader knows what a polled peak may miss.
QString peakNotes(const TestResults& results, const ReportTexts& t) {
    QString notes = QStringLiteral("<p><b>%1</b>").arg(t.peaks.toHtmlEscaped());
    for (size_t i = 0; i < results.instruments.size(); ++i) {
        const InstrumentResult& r = results.instruments[i];
        const std::vector<CurvePoint>& curve = results.curves[i];
        const PeakSource source =
            peakSourceOf(r.settings ? &*r.settings : nullptr, curve.data(), curve.size());
        notes += QStringLiteral("<br>") +
                 QStringLiteral("%1 %2: %3")
                     .arg(t.slave, QString::number(r.slave), peakSourceText(source, t))
                     .toHtmlEscaped();
    }
    return notes + QStringLiteral("</p>");
}

QString resultRows(const TestResults& results, const ReportTexts& t) {
    QString rows = headerRow({t.slave, t.count, t.lastPeak, t.pass, t.low, t.high, t.incomplete,
                              QStringLiteral("n"), t.mean, t.sd, t.min, t.max, QStringLiteral("Cp"),
                              QStringLiteral("Cpk")});
    for (const InstrumentResult& r : results.instruments) {
        const judge::Statistics& s = r.statistics;
        const int d = r.decimals();
        const bool bad = r.low + r.high > 0;
        rows +=
            QStringLiteral("<tr style=\"%1\">")
                .arg(bad ? QStringLiteral("color:#c00000") : QString()) +
            cell(QString::number(r.slave)) + cell(QString::number(r.events.size())) +
            cell(r.events.empty() ? QStringLiteral("-") : figure(r.events.back().event.peak, d)) +
            cell(QString::number(r.pass)) + cell(QString::number(r.low)) +
            cell(QString::number(r.high)) + cell(QString::number(r.incomplete)) +
            cell(QString::number(s.n)) + cell(figure(s.mean, d)) + cell(figure(s.sd, d)) +
            cell(figure(s.min, d)) + cell(figure(s.max, d)) + cell(figure(s.cp, 2)) +
            cell(figure(s.cpk, 2)) + QStringLiteral("</tr>");
    }
    return rows;
}

QString eventRows(const TestResults& results, const ReportTexts& t) {
    QString rows = headerRow({t.slave, t.event, t.time, t.peak, t.unit, t.verdict});
    for (const InstrumentResult& r : results.instruments) {
        for (const judge::JudgedEvent& e : r.events) {
            const bool bad = e.verdict == judge::Verdict::Low || e.verdict == judge::Verdict::High;
            rows += QStringLiteral("<tr style=\"%1\">")
                        .arg(bad ? QStringLiteral("color:#c00000") : QString()) +
                    cell(QString::number(r.slave)) + cell(QString::number(e.number)) +
                    cell(figure(e.event.peakTime, 3)) +
                    cell(figure(e.event.peak, r.decimalsOf(e))) +
                    cell(QString::fromStdString(r.unitNameOf(e))) + cell(t.verdictText(e.verdict)) +
                    QStringLiteral("</tr>");
        }
    }
    return rows;
}

}  // namespace

void buildReport(QTextDocument& document, const TestResults& results, const ReportTexts& t,
                 const QString& madeAt) {
    document.addResource(QTextDocument::ImageResource, kGraphUrl,
                         drawTestGraph(results, QSize(1100, 440), t.slave));
    QString html = QStringLiteral("<h2>%1</h2><p>").arg(t.title.toHtmlEscaped());
    html += t.test.arg(QString::fromStdString(results.name)).toHtmlEscaped() + "<br>";
    html += t.file.arg(QString::fromStdString(results.path)).toHtmlEscaped() + "<br>";
    if (!results.started.empty())
        html += t.started.arg(QString::fromStdString(results.started)).toHtmlEscaped() + "<br>";
    html += t.made.arg(madeAt).toHtmlEscaped() + "</p>";
    html += QStringLiteral("<h3>%1</h3>").arg(t.instruments.toHtmlEscaped()) +
            table(instrumentRows(results, t)) + peakNotes(results, t);
    html += QStringLiteral("<h3>%1</h3><p><img src=\"%2\" width=\"640\"></p>")
                .arg(t.graph.toHtmlEscaped(), kGraphUrl.toString());
    html += QStringLiteral("<h3>%1</h3>").arg(t.results.toHtmlEscaped()) +
            table(resultRows(results, t));
    html +=
        QStringLiteral("<h3>%1</h3>").arg(t.events.toHtmlEscaped()) + table(eventRows(results, t));
    document.setHtml(html);
}

FileResult writeReportPdf(const TestResults& results, const ReportTexts& texts,
                          const std::string& path) {
    // Drawn in memory first: the PDF writer does not tell when a write to its file fails.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(150);
        writer.setTitle(texts.title + QStringLiteral(" ") + QString::fromStdString(results.name));
        QTextDocument document;
        QFont font = document.defaultFont();
        font.setPointSize(9);
        document.setDefaultFont(font);
        buildReport(document, results, texts,
                    QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        document.print(&writer);
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
