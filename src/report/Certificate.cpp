#include "report/Certificate.h"

#include <QCryptographicHash>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

#include "files/AtomicFile.h"
#include "report/CalibrationBudget.h"
#include "report/DocumentKind.h"
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

QString titleOf(const DocumentKind& kind, const ReportTexts& t) {
    switch (kind.kind) {
        case DocumentKind::Kind::Declaration:
            return t.docDeclarationTitle;
        case DocumentKind::Kind::Calibration:
            return t.docCalibrationTitle;
        case DocumentKind::Kind::Record:
            break;
    }
    return t.docRecordTitle;
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
          kind_(documentKind(plan_)),
          title_(titleOf(kind_, t)),
          remarks_(remarkRows()),
          blocks_(device) {
        for (const Direction direction : plan_.series()) {
            readings_.push_back(readingRows(direction));
            points_.push_back(pointRows(direction));
        }
        if (kind_.kind == DocumentKind::Kind::Calibration)
            budget_.emplace(run_.progress, run_.stored.contributions, plan_.referenceAsset, t_);
    }

    int run(QPainter* painter, int pages) {
        const QRectF page = device_.pageLayout().paintRectPixels(kReportDotsPerInch);
        PageFlow flow(device_, painter,
                      QRectF(0, 0, page.width(), page.height() - blocks_.footerHeight()),
                      [&](QPainter& p, int n) {
                          blocks_.footer(p, page, issueFooter(issue_, t_),
                                         title_ + QStringLiteral(" · ") + text(plan_.tool.id),
                                         t_.page.arg(n).arg(pages));
                      });
        blocks_.paragraph(flow, blocks_.title(), title_);
        flow.advance(blocks_.line() * 0.4);
        if (kind_.kind == DocumentKind::Kind::Record)
            blocks_.paragraph(flow, blocks_.bold(), noDeclaration());
        blocks_.fields(flow, fields());
        printChanges(blocks_, flow, issue_, t_);
        const std::vector<Direction> series = plan_.series();
        for (size_t i = 0; i < series.size(); ++i) {
            blocks_.heading(flow, inDirection(t_.certReadings, t_.docReadingsIn, series[i]));
            readings_[i].print(flow, blocks_.body(), device_);
        }
        for (size_t i = 0; i < series.size(); ++i) {
            blocks_.heading(flow, inDirection(t_.certSummary, t_.docSummaryIn, series[i]));
            points_[i].print(flow, blocks_.body(), device_);
        }
        if (budget_)
            budget_->print(blocks_, flow, device_);
        blocks_.heading(flow, t_.certRemarks);
        if (remarks_.empty())
            blocks_.paragraph(flow, blocks_.body(), t_.certNoRemarks);
        else
            remarks_.print(flow, blocks_.body(), device_);
        flow.advance(blocks_.line());
        printResult(flow);
        printSignatures(blocks_, flow, issue_, t_, {sign::Meaning::Performed});
        flow.finish();
        return flow.page();
    }

private:
    QString value(double x) const { return QString::fromStdString(formatFixed(x, plan_.decimals)); }

    // One direction's heading is the plain one; both directions name theirs.
    QString inDirection(const QString& plain, const QString& named, Direction direction) const {
        if (plan_.series().size() < 2)
            return plain;
        return named.arg(direction == Direction::Clockwise ? t_.docClockwise
                                                           : t_.docCounterclockwise);
    }

    QString noDeclaration() const {
        if (!kind_.shortfall)
            return t_.docNoStandard;
        const Shortfall& s = *kind_.shortfall;
        return t_.docNoDeclaration.arg(text(plan_.standard), t_.docShortfall.arg(s.pointsAsked)
                                                                 .arg(s.points)
                                                                 .arg(s.readingsAsked)
                                                                 .arg(s.readings)
                                                                 .arg(s.preloadsAsked)
                                                                 .arg(s.preloads));
    }

    // A declaration says whether the tool conforms; a remark may bear on it, so a reader is sent
    // to the remarks rather than shown a bare green "conforms". A record declares nothing, and a
    // calibration states its uncertainty and, when its plan gives one, its decision rule's outcome.
    void printResult(PageFlow& flow) const {
        const bool conforms = run_.progress.conforms();
        const bool remarked = !remarks_.empty();
        QString result;
        QColor colour = conforms ? QColor(Qt::black) : QColor(0xc0, 0, 0);
        if (kind_.kind == DocumentKind::Kind::Declaration) {
            result = conforms ? (remarked ? t_.certConformsRemarks : t_.certConforms)
                              : (remarked ? t_.certNotConformsRemarks : t_.certNotConforms);
            result = result.arg(text(plan_.standard));
            if (conforms && !remarked)
                colour = QColor(0, 0x80, 0);
        } else if (kind_.kind == DocumentKind::Kind::Record) {
            qsizetype exceeding = 0;
            for (const Reading& r : run_.progress.readings())
                exceeding += r.conforms ? 0 : 1;
            result = conforms ? t_.docRecordWithin
                              : t_.docRecordExceeds.arg(exceeding).arg(
                                    static_cast<qsizetype>(run_.progress.readings().size()));
        } else {
            blocks_.paragraph(flow, blocks_.headingFont(), t_.docCalibrationResult);
            if (plan_.decisionRule.empty())
                return;
            using Outcome = CalibrationBudget::Outcome;
            const Outcome outcome = budget_->outcome();
            result = outcome == Outcome::Met ? t_.docRuleMet
                     : outcome == Outcome::Failed
                         ? t_.docRuleFailed.arg(budget_->exceeded().join(QStringLiteral(", ")))
                         : t_.docRuleOpen;
            colour = outcome == Outcome::Failed ? QColor(0xc0, 0, 0) : QColor(Qt::black);
        }
        blocks_.paragraph(flow, blocks_.headingFont(), result, Qt::TextWordWrap, colour);
    }

    QString directions() const {
        const std::vector<Direction> series = plan_.series();
        if (series.size() > 1)
            return t_.docBothDirections;
        return series.front() == Direction::Clockwise ? t_.docClockwise : t_.docCounterclockwise;
    }

    QString torque(double value) const {
        return QString::fromStdString(plainNumber(value)) + QLatin1Char(' ') +
               text(plan_.tool.unit);
    }

    QString named(const std::string& value) const {
        return value.empty() ? t_.docNotGiven : QString::fromStdString(value);
    }

    // How a document decides conformance: a declaration always, a calibration when its plan says.
    std::optional<Field> decisionRule() const {
        if (kind_.kind == DocumentKind::Kind::Declaration)
            return field(t_.docDecisionRule, {t_.docReadingRule});
        if (kind_.kind == DocumentKind::Kind::Calibration && !plan_.decisionRule.empty())
            return field(t_.docDecisionRule, {QString::fromStdString(plan_.decisionRule) +
                                              QStringLiteral(": ") + t_.docUncertaintyRule});
        return std::nullopt;
    }

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
                       field(t_.docMaker, {named(plan_.toolMaker)}),
                       field(t_.docModel, {named(plan_.toolModel)}),
                       field(t_.docSerial, {named(plan_.toolSerial)}),
                       field(t_.certTypeClass, {text(tool.type), text(tool.toolClass)}),
                       field(t_.docLowest, {tool.lowest ? torque(*tool.lowest) : t_.docNotMarked}),
                       field(t_.docMaximum, {torque(tool.maximum)}),
                       field(t_.docUnit, {text(tool.unit)}),
                       field(t_.docDirections, {directions()}),
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
        all.push_back(field(t_.docPreloads, {QString::number(plan_.preloads)}));
        if (const std::optional<Field> rule = decisionRule())
            all.push_back(*rule);
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

    // A calibration states what was measured, judging no reading.
    ReportTable readingRows(Direction direction) const {
        const QString unit = text(plan_.tool.unit);
        const bool judged = kind_.kind != DocumentKind::Kind::Calibration;
        std::vector<ReportTable::Column> columns{
            {t_.certPoint, Kind::Figures},
            {t_.event, Kind::Figures},
            {(plan_.indicating() ? t_.certIndication : t_.certSetting).arg(unit), Kind::Figures},
            {t_.certReading.arg(unit), Kind::Figures},
            {t_.certDeviation, Kind::Figures}};
        if (judged)
            columns.push_back({t_.verdict});
        ReportTable table(std::move(columns));
        for (const Reading& r : run_.progress.readings()) {
            if (r.direction != direction)
                continue;
            QStringList row{point(r.point), QString::number(r.number), value(r.setting),
                            value(r.value), QString::fromStdString(signedPercent(r.deviation))};
            if (judged)
                row << (r.conforms ? t_.certConformsShort : t_.certExceeds);
            table.addRow(row, judged && !r.conforms);
        }
        return table;
    }

    ReportTable pointRows(Direction direction) const {
        const QString unit = text(plan_.tool.unit);
        ReportTable table({{t_.certPoint, Kind::Figures},
                           {t_.certSetting.arg(unit), Kind::Figures},
                           {t_.certMean.arg(unit), Kind::Figures},
                           {t_.certMeanDeviation, Kind::Figures},
                           {t_.certSpread.arg(unit), Kind::Figures},
                           {t_.certShare, Kind::Figures}});
        for (size_t i = 0; i < plan_.points.size(); ++i) {
            const PointSummary s = run_.progress.summary(i, direction);
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
    const DocumentKind kind_;
    const QString title_;
    std::vector<ReportTable> readings_, points_;  // per direction, clockwise first
    ReportTable remarks_;
    ReportBlocks blocks_;
    std::optional<CalibrationBudget> budget_;
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
    const QByteArray bytes = file.readAll();
    Run run{
        runPath, *stored, replay(*stored),
        QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex())};
    return writeA4Pdf(titleOf(documentKind(run.stored.plan), texts) + QStringLiteral(" ") +
                          text(run.stored.plan.tool.id),
                      path, [&](QPdfWriter& writer) {
                          CertificateLayout layout(writer, run, facts, texts, issue);
                          const int pages = layout.run(nullptr, 0);
                          QPainter painter(&writer);
                          layout.run(&painter, pages);
                      });
}

}  // namespace vornex
