#include "verifywin/StationPane.h"

#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>
#include <ctime>

#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "register/ToolContributions.h"
#include "report/Certificate.h"
#include "report/ReportTexts.h"
#include "session/AcquisitionSession.h"
#include "text/NumberText.h"

// A run under way: the readings fed to it, the line and the instrument it watches, what it says.
namespace vornex {

namespace {

using namespace vornex::verify;
namespace k = langkey;

QString number(double value) {
    return QString::fromStdString(plainNumber(value));
}

}  // namespace

void StationPane::feed() {
    const std::vector<Sample> samples = feed_.take();
    if (!run_)
        return;
    const auto& instruments = session_.state().instruments;
    const auto self =
        std::find_if(instruments.begin(), instruments.end(),
                     [this](const InstrumentState& i) { return i.address == address_; });
    if (self != instruments.end() && self->presence == PresenceState::CommunicationError) {
        if (!silentSince_)
            silentSince_ = std::time(nullptr);
        run_->instrumentSilent(RunFile::clockText(*silentSince_));
    } else if (self != instruments.end() && self->presence == PresenceState::Identified) {
        silentSince_.reset();
        run_->instrumentAnswering();
    }
    if (const auto facts = session_.instrumentFacts(address_))
        showing_ =
            Showing{facts->unit, std::string(regmap::measuringModeName(facts->measuringMode)),
                    facts->decimals};
    if (showing_)
        run_->feed(samples, *showing_);
}

void StationPane::lineLost() {
    if (run_)
        run_->lineLost();
}

void StationPane::lineBack() {
    if (run_)
        run_->lineBack();
}

void StationPane::changed() {
    const VerificationRun& run = *run_;
    const RunPlan& plan = run.plan();
    const QString unit = QString::fromStdString(plan.tool.unit);
    const auto shown = [&plan](double x) {
        return QString::fromStdString(formatFixed(x, plan.decimals));
    };
    QString prompt;
    QString colour = QStringLiteral("black");
    const Step step = run.step();
    if (!run.ok()) {
        prompt = text(k::kVerifyFailed).arg(QString::fromStdString(run.error()));
        colour = QStringLiteral("#c00000");
    } else if (run.abandoned()) {
        prompt = text(k::kVerifyAbandoned).arg(field(Field::Reason)->text());
    } else if (run.ended()) {
        const bool conforms = run.progress().conforms();
        prompt = text(conforms ? k::kVerifyConforms : k::kVerifyNotConforms);
        colour = conforms ? QStringLiteral("#008000") : QStringLiteral("#c00000");
    } else if (const auto& slip = run.slipAsked()) {
        prompt = text(k::kVerifySlip).arg(shown(slip->value), unit);
        colour = QStringLiteral("#c06000");
    } else if (run.indicationAsked()) {
        prompt = text(k::kVerifyIndicationAsked).arg(unit);
    } else if (run.lineDown()) {
        prompt = text(k::kVerifyLineLost);
        colour = QStringLiteral("#c06000");
    } else if (run.instrumentSilentNow()) {
        prompt =
            text(k::kVerifyNotAnswering)
                .arg(address_)
                .arg(QString::fromStdString(silentSince_ ? RunFile::clockText(*silentSince_) : ""));
        colour = QStringLiteral("#c06000");
    } else if (run.instrumentChanged()) {
        QStringList changes;
        for (const std::string& change : run.changes())
            changes << QString::fromStdString(change);
        prompt = text(k::kVerifyChanged).arg(changes.join(QStringLiteral(", ")));
        colour = QStringLiteral("#c06000");
    } else if (!run.prompted()) {
        prompt = text(k::kVerifyPromptRelease);
        colour = QStringLiteral("gray");
    } else if (const std::optional<SubtestStep> subtest = run.subtestStep()) {
        prompt = text(k::kVerifyPromptSubtest)
                     .arg(subtest->series)
                     .arg(subtest->seriesCount)
                     .arg(subtestInstruction(*subtest), shown(plan.subtestSetting()), unit)
                     .arg(subtest->number)
                     .arg(subtest->readings);
    } else if (step.kind == Step::Kind::Preload) {
        prompt = text(k::kVerifyPromptPreload).arg(step.number).arg(plan.preloads);
    } else {
        prompt = text(k::kVerifyPromptReading)
                     .arg(shown(plan.setting(step.point)), unit)
                     .arg(step.number)
                     .arg(plan.readings);
    }
    if (run.prompted() && !run.finished() && run.pullDirection() == Direction::Counterclockwise)
        prompt = text(k::kVerifyCounterclockwise).arg(prompt);
    prompt_->setText(prompt);
    prompt_->setStyleSheet(QStringLiteral("color: %1").arg(colour));
    slip_->setVisible(run.slipAsked().has_value() && !run.finished());
    const bool indicating = run.indicationAsked() && !run.finished();
    if (indicating && !indication_->isVisible())
        field(Field::Indication)->setFocus();
    indication_->setVisible(indicating);
    button(Button::Abort)
        ->setEnabled(!run.finished() && !field(Field::Reason)->text().trimmed().isEmpty());
    field(Field::Reason)->setEnabled(!run.finished());
    button(Button::Certificate)->setVisible(run.ended());
    button(Button::Sign)->setVisible(run.ended());
    button(Button::NewRun)->setVisible(run.finished());
    showLast();
    showReadings();
    if ((run.ended() || run.abandoned()) && !finishAnnounced_) {
        finishAnnounced_ = true;
        if (std::string error;
            !enterRunContributions(paths_.home.toStdString(), run, QDate::currentDate(), error))
            message_->setText(
                text(k::kVerifyContributionsNotKept).arg(QString::fromStdString(error)));
        emit runFinished(QString::fromStdString(run.path()));
    }
}

QString StationPane::subtestInstruction(const SubtestStep& step) const {
    const bool first = step.series == 1;
    switch (step.kind) {
        case SubtestKind::Reproducibility:
            return text(first ? k::kVerifySubtestFit : k::kVerifySubtestRefit);
        case SubtestKind::OutputDrive:
            // The drive's positions share the full turn, as the run file says them.
            return text(k::kVerifySubtestDrive)
                .arg(number(360.0 * (step.series - 1) / step.seriesCount));
        case SubtestKind::Interface:
            return first ? text(k::kVerifySubtestFirstInterface)
                         : text(k::kVerifySubtestInterface).arg(step.series);
        case SubtestKind::LoadingPoint:
            break;
    }
    return text(step.series % 2 == 1 ? k::kVerifySubtestBefore : k::kVerifySubtestBehind);
}

void StationPane::indicate() {
    if (!run_ || !run_->indicationAsked())
        return;
    double indicated = 0.0;
    const QString typed = field(Field::Indication)->text().trimmed();
    if (!parseDouble(typed.toStdString(), indicated) || !(indicated > 0.0)) {
        message_->setText(text(k::kVerifyIndicationNoNumber).arg(typed));
        field(Field::Indication)->selectAll();
        return;
    }
    message_->clear();
    field(Field::Indication)->clear();
    run_->indicate(indicated);
}

void StationPane::said(const std::string& line) {
    // A pull the reference did not hold is no reading: the operator is told to apply it again.
    static const std::string notHeld = "not held ";
    if (line.rfind(notHeld, 0) == 0) {
        notHeld_ = line.substr(line.rfind(' ') + 1);
    } else if (line.rfind("reading ", 0) == 0 || line.rfind("slip ", 0) == 0 ||
               line.rfind("direction ", 0) == 0) {
        notHeld_.clear();
        refused_.clear();
    }
    // A pull the other way, or loaded too fast, is asked again: the operator is told why.
    if (line.rfind("fast ", 0) == 0)
        refused_ =
            text(k::kVerifyTooFast).arg(QString::fromStdString(line.substr(line.rfind(' ') + 1)));
    else if (line.rfind("not clockwise ", 0) == 0 || line.rfind("not counterclockwise ", 0) == 0)
        refused_ = text(k::kVerifyWrongWay);
}

void StationPane::warned(const std::string&) {
    const Step step = run_->step();
    const RunPlan& plan = run_->plan();
    message_->setText(
        text(k::kVerifyBelowThreshold)
            .arg(number(plan.points[step.point]),
                 QString::fromStdString(formatFixed(plan.setting(step.point), plan.decimals)),
                 QString::fromStdString(plan.tool.unit)));
}

void StationPane::showLast() {
    if (!refused_.isEmpty()) {
        last_->setText(refused_);
        last_->setStyleSheet(QStringLiteral("color: #c06000"));
        return;
    }
    if (!notHeld_.empty()) {
        last_->setText(text(k::kVerifyNotHeld)
                           .arg(QString::fromStdString(notHeld_),
                                QString::fromStdString(run_->plan().tool.unit)));
        last_->setStyleSheet(QStringLiteral("color: #c06000"));
        return;
    }
    const RunPlan& plan = run_->plan();
    if (const std::vector<SubtestReading>& sub = run_->subtests().readings(); !sub.empty()) {
        last_->setText(
            text(k::kVerifyLastSubtest)
                .arg(QString::fromStdString(formatFixed(sub.back().value, plan.decimals)),
                     QString::fromStdString(plan.tool.unit)));
        last_->setStyleSheet(QString());
        return;
    }
    const auto& taken = run_->last();
    if (!taken)
        return;
    const QString unit = QString::fromStdString(plan.tool.unit);
    const Reading& r = taken->reading;
    const QString value = QString::fromStdString(formatFixed(r.value, plan.decimals));
    if (taken->kind == Taken::Kind::Preload) {
        last_->setText(text(k::kVerifyLastPreload).arg(r.number).arg(value, unit));
        last_->setStyleSheet(QString());
        return;
    }
    last_->setText(text(k::kVerifyLastReading)
                       .arg(value, unit, QString::fromStdString(signedPercent(r.deviation))));
    last_->setStyleSheet(r.conforms ? QStringLiteral("color: #008000")
                                    : QStringLiteral("color: #c00000"));
}

void StationPane::showReadings() {
    const RunPlan& plan = run_->plan();
    const ReportTexts t = reportTexts(languageFile_);
    const QString unit = QString::fromStdString(plan.tool.unit);
    table_->setHorizontalHeaderLabels(
        {(plan.indicating() ? t.certIndication : t.certSetting).arg(unit), t.certReading.arg(unit),
         t.certDeviation, t.verdict});
    QStringList rows;
    const std::vector<Reading>& readings = run_->progress().readings();
    table_->setRowCount(static_cast<int>(readings.size()));
    for (size_t i = 0; i < readings.size(); ++i) {
        const Reading& r = readings[i];
        // The row says where: the point in percent of the maximum and the reading's number.
        rows << QStringLiteral("%1 % · %2").arg(number(plan.points[r.point])).arg(r.number);
        const QStringList cells{QString::fromStdString(formatFixed(r.setting, plan.decimals)),
                                QString::fromStdString(formatFixed(r.value, plan.decimals)),
                                QString::fromStdString(signedPercent(r.deviation)),
                                r.conforms ? t.certConformsShort : t.certExceeds};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c < cells.size() - 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (!r.conforms)
                item->setForeground(QColor(0xc0, 0, 0));
            table_->setItem(static_cast<int>(i), c, item);
        }
    }
    table_->setVerticalHeaderLabels(rows);
    table_->scrollToBottom();
}

}  // namespace vornex
