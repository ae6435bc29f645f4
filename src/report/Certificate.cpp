#include "report/Certificate.h"

#include <QCryptographicHash>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

#include "files/AtomicFile.h"
#include "report/PageFlow.h"
#include "report/ReportBlocks.h"
#include "report/ReportIssue.h"
#include "report/ReportTable.h"
#include "text/NumberText.h"
#include "verify/RunProgress.h"

namespace vornex {

namespace {

using Kind = ReportTable::Kind;
using Field = ReportBlocks::Field;
using namespace vornex::verify;

QString text(const std::string& value) {
    return value.empty() ? QStringLiteral("-") : QString::fromStdString(value);
}

// "Range: %1" split at its colon into the label and the value the arguments fill in.
Field field(const QString& format, const QStringList& values, int wrap = Qt::TextWordWrap) {
    static const QRegularExpression colon(QStringLiteral("[:：]"));
    const qsizetype at = format.indexOf(colon);
    Field f{format.left(at + 1), format.mid(at + 1).trimmed(), wrap};
    for (const QString& value : values)
        f.value = f.value.arg(value);
    return f;
}

QString optionalNumber(const std::optional<double>& value) {
    return value ? QString::fromStdString(plainNumber(*value)) : QStringLiteral("-");
}

// The run read back and taken again pull by pull, as it was taken when it ran.
struct Run {
    std::string path;
    StoredRun stored;
    RunProgress progress;
    QString sha256;
};

class CertificateLayout {
public:
    CertificateLayout(QPagedPaintDevice& device, const Run& run, const CertificateFacts& facts,
                      const ReportTexts& t, const sign::DocumentIssue& issue)
        : device_(device),
          run_(run),
          plan_(run.progress.plan()),
          facts_(facts),
          t_(t),
          issue_(issue),
          readings_(readingRows()),
          points_(pointRows()),
          remarks_(remarkRows()),
          blocks_(device) {}

    int run(QPainter* painter, int pages) {
        const QRectF page = device_.pageLayout().paintRectPixels(kReportDotsPerInch);
        PageFlow flow(device_, painter,
                      QRectF(0, 0, page.width(), page.height() - blocks_.footerHeight()),
                      [&](QPainter& p, int n) {
                          blocks_.footer(p, page, issueFooter(issue_, t_),
                                         t_.certTitle + QStringLiteral(" · ") + text(plan_.tool.id),
                                         t_.page.arg(n).arg(pages));
                      });
        blocks_.paragraph(flow, blocks_.title(), t_.certTitle);
        flow.advance(blocks_.line() * 0.4);
        blocks_.fields(flow, fields());
        printChanges(blocks_, flow, issue_, t_);
        blocks_.heading(flow, t_.certReadings);
        readings_.print(flow, blocks_.body(), device_);
        blocks_.heading(flow, t_.certSummary);
        points_.print(flow, blocks_.body(), device_);
        blocks_.heading(flow, t_.certRemarks);
        if (remarks_.empty())
            blocks_.paragraph(flow, blocks_.body(), t_.certNoRemarks);
        else
            remarks_.print(flow, blocks_.body(), device_);
        flow.advance(blocks_.line());
        // A remark may bear on the verdict: a reader is sent to it rather than shown a bare green
        // "conforms".
        const bool conforms = run_.progress.conforms();
        const bool remarked = !remarks_.empty();
        const QString result = conforms
                                   ? (remarked ? t_.certConformsRemarks : t_.certConforms)
                                   : (remarked ? t_.certNotConformsRemarks : t_.certNotConforms);
        const QColor colour = !conforms  ? QColor(0xc0, 0, 0)
                              : remarked ? QColor(Qt::black)
                                         : QColor(0, 0x80, 0);
        blocks_.paragraph(flow, blocks_.headingFont(), result.arg(text(plan_.standard)),
                          Qt::TextWordWrap, colour);
        printSignatures(blocks_, flow, issue_, t_, {sign::Meaning::Performed});
        flow.finish();
        return flow.page();
    }

private:
    QString value(double x) const { return QString::fromStdString(formatFixed(x, plan_.decimals)); }

    std::vector<Field> fields() const {
        const Tool& tool = plan_.tool;
        const std::optional<ReferenceInstrument> reference = referenceOf(run_.stored.instrument);
        const QString instrument =
            reference
                ? slaveText(t_, reference->address, facts_.instrumentName) + QStringLiteral(" (") +
                      QString::fromStdString(reference->port) + QStringLiteral(", ") +
                      QString::fromStdString(reference->mode) + QStringLiteral(")")
                : text(run_.stored.instrument);
        QString procedure = text(plan_.profile);
        if (!plan_.standard.empty())
            procedure += QStringLiteral(" — ") + QString::fromStdString(plan_.standard);
        std::vector<Field> all = issueFields(issue_, t_);
        all.insert(all.end(),
                   {
                       field(t_.bench, {text(facts_.bench)}),
                       field(t_.operatorName,
                             {amendedValue(issue_, "operator", text(plan_.operatorName))}),
                       field(t_.started, {text(run_.stored.started)}),
                       ambient(),
                       field(t_.tool, {amendedValue(issue_, "tool", text(tool.id))}),
                       field(t_.certDescription, {text(tool.description)}),
                       field(t_.certTypeClass, {text(tool.type), text(tool.toolClass)}),
                       field(t_.certMarked,
                             {optionalNumber(tool.lowest),
                              QString::fromStdString(plainNumber(tool.maximum)), text(tool.unit)}),
                       field(t_.certReference, {amendedValue(issue_, "instrument", instrument)}),
                       field(t_.certIdentification, {text(run_.stored.identification)}),
                       field(t_.certRange, {range(reference)}),
                       field(t_.certReferenceDue, {text(plan_.referenceDue)}),
                   });
        // Runs bound to no asset of the register, or from before the condition was kept, say
        // nothing of them.
        if (!plan_.referenceAsset.empty())
            all.push_back(
                field(t_.certAsset, {text(plan_.referenceAsset), text(plan_.referenceCertificate),
                                     optionalNumber(plan_.referenceUncertainty)}));
        if (!plan_.condition.empty())
            all.push_back(
                field(t_.certCondition,
                      {plan_.condition == RunPlan::kAsLeft ? t_.certAsLeft : t_.certAsFound}));
        all.insert(all.end(), {
                                  field(t_.certProfile, {procedure}),
                                  field(t_.certPermissible,
                                        {QString::fromStdString(plainNumber(plan_.permissible))}),
                                  field(t_.certRunFile, {text(run_.path)}, Qt::TextWrapAnywhere),
                                  field(t_.hash, {run_.sha256}, Qt::TextWrapAnywhere),
                              });
        return all;
    }

    Field ambient() const {
        const std::optional<double>& temperature = plan_.temperature;
        const std::optional<double>& humidity = plan_.humidity;
        if (temperature && humidity)
            return field(t_.certAmbient, {optionalNumber(temperature), optionalNumber(humidity)});
        if (temperature)
            return field(t_.certAmbientNoHumidity, {optionalNumber(temperature)});
        if (humidity)
            return field(t_.certAmbientNoTemperature, {optionalNumber(humidity)});
        return field(t_.certAmbientNone, {});
    }

    // In N.m, as the header records it. Files from before it did describe the range in the unit
    // the instrument showed; their description is printed as it stands, unit and all.
    QString range(const std::optional<ReferenceInstrument>& described) const {
        const bool describedInNm =
            !described || QString::fromStdString(described->range).endsWith(QLatin1String(" N.m"));
        if (run_.stored.reference.range > 0.0 && describedInNm)
            return QString::fromStdString(plainNumber(run_.stored.reference.range)) +
                   QStringLiteral(" N.m");
        return described ? text(described->range) : QStringLiteral("-");
    }

    QString point(size_t index) const {
        return QString::fromStdString(plainNumber(plan_.points[index]));
    }

    ReportTable readingRows() const {
        const QString unit = text(plan_.tool.unit);
        ReportTable table({{t_.certPoint, Kind::Figures},
                           {t_.event, Kind::Figures},
                           {t_.certSetting.arg(unit), Kind::Figures},
                           {t_.certReading.arg(unit), Kind::Figures},
                           {t_.certDeviation, Kind::Figures},
                           {t_.verdict}});
        for (const Reading& r : run_.progress.readings()) {
            table.addRow({point(r.point), QString::number(r.number), value(r.setting),
                          value(r.value), QString::fromStdString(signedPercent(r.deviation)),
                          r.conforms ? t_.certConformsShort : t_.certExceeds},
                         !r.conforms);
        }
        return table;
    }

    ReportTable pointRows() const {
        const QString unit = text(plan_.tool.unit);
        ReportTable table({{t_.certPoint, Kind::Figures},
                           {t_.certSetting.arg(unit), Kind::Figures},
                           {t_.certMean.arg(unit), Kind::Figures},
                           {t_.certMeanDeviation, Kind::Figures},
                           {t_.certSpread.arg(unit), Kind::Figures},
                           {t_.certShare, Kind::Figures}});
        for (size_t i = 0; i < plan_.points.size(); ++i) {
            const PointSummary s = run_.progress.summary(i);
            table.addRow({point(i), value(plan_.setting(i)), value(s.mean),
                          QString::fromStdString(signedPercent(s.meanDeviation)), value(s.spread),
                          QString::fromStdString(formatFixed(s.spreadShare, 2))});
        }
        return table;
    }

    // The certificate's own findings, at the run's start, then each remark of the run file.
    ReportTable remarkRows() const {
        ReportTable table({{t_.certRemarkTime}, {t_.certRemarkText, Kind::Words}});
        const QString started = text(run_.stored.started);
        if (!plan_.temperature || !plan_.humidity)
            table.addRow({started, t_.certRemarkAmbient});
        static const QRegularExpression date(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
        const QString due = QString::fromStdString(plan_.referenceDue);
        const QString day = started.left(10);
        if (date.match(due).hasMatch() && date.match(day).hasMatch() && due < day)
            table.addRow({started, t_.certRemarkOverdue.arg(due, day)});
        for (const std::string& remark : run_.stored.remarks) {
            const QString line = QString::fromStdString(remark);
            const qsizetype space = line.indexOf(QLatin1Char(' '));
            table.addRow({line.left(space), space < 0 ? QString() : line.mid(space + 1)});
        }
        return table;
    }

    QPagedPaintDevice& device_;
    const Run& run_;
    const RunPlan& plan_;
    const CertificateFacts& facts_;
    const ReportTexts& t_;
    const sign::DocumentIssue& issue_;
    ReportTable readings_, points_, remarks_;
    ReportBlocks blocks_;
};

}  // namespace

std::optional<ReferenceInstrument> referenceOf(const std::string& instrument) {
    static const QRegularExpression form(
        QStringLiteral("^slave (\\d+) on (.+), mode (\\S+), range (.+)$"));
    const QRegularExpressionMatch m = form.match(QString::fromStdString(instrument));
    if (!m.hasMatch())
        return std::nullopt;
    return ReferenceInstrument{m.captured(1).toInt(), m.captured(2).toStdString(),
                               m.captured(3).toStdString(), m.captured(4).toStdString()};
}

FileResult writeCertificatePdf(const std::string& runPath, const CertificateFacts& facts,
                               const ReportTexts& texts, const sign::DocumentIssue& issue,
                               const std::string& path) {
    if (isSameFile(runPath, path))
        return FileResult::failed(FileResultKind::Unwritable,
                                  path + " is the run file itself; it is not written");
    std::string error;
    std::optional<StoredRun> stored = readRunFile(runPath, error);
    if (!stored)
        return FileResult::failed(FileResultKind::Unreadable, error);
    if (!stored->ended)
        return FileResult::failed(FileResultKind::Unreadable,
                                  runPath + " has not ended; it has no certificate yet");
    // A certificate says whether the tool conforms; an abandoned run does not say it.
    if (stored->abandoned)
        return FileResult::failed(
            FileResultKind::Unreadable,
            runPath + " was abandoned (" + stored->abandonReason + "); it has no certificate");
    QFile file(QString::fromStdString(runPath));
    if (!file.open(QIODevice::ReadOnly))
        return FileResult::failed(FileResultKind::Unreadable, "cannot open " + runPath);
    Run run{runPath, *stored, replay(*stored),
            QString::fromLatin1(
                QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex())};
    return writeA4Pdf(texts.certTitle + QStringLiteral(" ") + text(run.stored.plan.tool.id), path,
                      [&](QPdfWriter& writer) {
                          CertificateLayout layout(writer, run, facts, texts, issue);
                          const int pages = layout.run(nullptr, 0);
                          QPainter painter(&writer);
                          layout.run(&painter, pages);
                      });
}

}  // namespace vornex
