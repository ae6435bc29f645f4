#include "results/ResultsController.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "config/BenchConfig.h"
#include "controls/DialogTexts.h"
#include "controls/MessageBox.h"
#include "files/HomeOutputs.h"
#include "graph/CXGraph.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "i18n/SignKeys.h"
#include "judge/EventsCsv.h"
#include "record/CompanionFile.h"
#include "report/ReportDocument.h"
#include "report/SpcTexts.h"
#include "results/JudgeMarks.h"
#include "results/ResultsPanel.h"
#include "session/AcquisitionSession.h"

namespace vornex {

ResultsController::ResultsController(AcquisitionSession& session, CXGraph& graph,
                                     ResultsPanel& panel)
    : session_(session), graph_(graph), panel_(panel), marks_(std::make_unique<JudgeMarks>(graph)) {
    session_.addObserver(*this);
    connect(&panel_, &ResultsPanel::thresholdChanged, this, [this] {
        results_.setOverrides(overrides());
        update();
    });
}

ResultsController::~ResultsController() {
    session_.removeObserver(*this);
}

void ResultsController::setLanguageFile(const QString& languageFile) {
    languageFile_ = languageFile;
    panel_.setTexts(reportTexts(languageFile));
    panel_.setSpcTexts(spcTexts(languageFile));
    marks_->setIncompleteName(reportTexts(languageFile).incomplete);
    refresh();
}

void ResultsController::setHome(const QString& home, const QString& configFile) {
    home_ = home;
    configFile_ = configFile;
    panel_.setConfigFile(configFile);
}

JudgeOverrides ResultsController::overrides() const {
    JudgeOverrides given;
    given.threshold = panel_.threshold();
    return given;
}

const Companion* ResultsController::companion() {
    if (loadedCompanion_)
        return &*loadedCompanion_;
    const CompanionWriter& writer = session_.companion();
    const bool current = session_.testOpen() && writer.path() == companionPath(session_.testPath());
    return current ? &writer.companion() : nullptr;
}

void ResultsController::update() {
    const bool changed = results_.update(session_.curves(), companion(), session_.recording());
    if (changed || displayed_ != session_.displayedAddress())
        refresh();
    else
        showPeakSources();
}

void ResultsController::testLoaded() {
    restart();
    CompanionRead read = readCompanion(companionPath(session_.testPath()));
    loadedCompanion_ = std::move(read.companion);
    refusals_ = read.lines();
    // The whole file, not the curves: they keep only the newest points of a long test.
    results_.load(session_.testPath(), session_.curves(), companion());
    refresh();
}

void ResultsController::recordingChanged(RecordingState) {
    // Stop took the last points in already; a pull still on is listed as incomplete from now.
    results_.update(session_.curves(), companion(), session_.recording());
    refresh();
}

void ResultsController::testOpened(const std::string&) {
    restart();
}

void ResultsController::testClosed(const std::string&) {
    restart();
}

void ResultsController::restart() {
    loadedCompanion_.reset();
    refusals_.clear();
    results_.reset();
    results_.setOverrides(overrides());
    refresh();
}

void ResultsController::refresh() {
    displayed_ = session_.displayedAddress();
    const bool recording = session_.recording();
    panel_.showResults(results_, recording);
    showPeakSources();
    marks_->show(results_, displayed_, recording);
    graph_.Redraw();
}

// The polling rate grows more exact with every reading, so this follows each tick.
void ResultsController::showPeakSources() {
    std::vector<std::pair<int, PeakSource>> sources;
    const CurveTable& curves = session_.curves();
    for (const int slave : results_.slaves()) {
        const int slot = slave - 1;
        sources.emplace_back(
            slave, peakSourceOf(results_.settingsOf(slave), curves.curve(slot), curves.size(slot)));
    }
    panel_.showPeakSources(sources);
}

bool ResultsController::writeReport(const QString& pdfPath, QString* error) {
    if (session_.testOpen())
        session_.flush();
    const std::string csvPath =
        (QFileInfo(pdfPath).dir().filePath(QFileInfo(pdfPath).completeBaseName()) +
         QStringLiteral(".csv"))
            .toStdString();
    std::string reason = testOutputRefusal(session_.testPath(), pdfPath.toStdString());
    if (reason.empty())
        reason = testOutputRefusal(session_.testPath(), csvPath);
    for (const std::string& output : {pdfPath.toStdString(), csvPath}) {
        if (reason.empty() && !home_.isEmpty())
            reason = signedRecordsRefusal(home_.toStdString(), output);
    }
    bool written = false;
    if (reason.empty()) {
        const JudgedFile judged = judgeTestFile(session_.testPath(), overrides());
        refusals_ = judged.results.refusals;
        FileResult file = judged.file;
        sign::DocumentIssue issue;
        unnumbered_.clear();
        if (file && !home_.isEmpty())
            issue = sign::issueDocument(home_.toStdString(), configFile_.toStdString(),
                                        session_.testPath(), unnumbered_);
        const ReportCharts charts =
            reportCharts(BenchConfig(configFile_).controlChart(), spcTexts(languageFile_));
        if (file)
            file = writeReportPdf(judged.results, reportTexts(languageFile_), issue,
                                  pdfPath.toStdString(), &charts);
        if (file)
            file = writeEventsCsv(judged.results, csvPath);
        written = file.ok();
        reason = file.text;
    }
    if (!written && error != nullptr)
        *error = QString::fromStdString(reason);
    return written;
}

void ResultsController::report(QWidget* parent) {
    if (session_.testPath().empty()) {
        showLangMessage(parent, languageFile_, langkey::kReportNoTest);
        return;
    }
    const QFileInfo test(QString::fromStdString(session_.testPath()));
    const QString path = QFileDialog::getSaveFileName(
        parent,
        titleOfCommand(GetLangString(languageFile_, QString::fromLatin1(langkey::kMenuTestReport))),
        test.dir().filePath(test.completeBaseName() + QStringLiteral("-report.pdf")),
        GetLangString(languageFile_, QString::fromLatin1(langkey::kFilterPdf)));
    if (path.isEmpty())
        return;
    QString error;
    if (!writeReport(path, &error)) {
        ShowMessage(
            parent,
            GetLangString(languageFile_, QString::fromLatin1(langkey::kReportFailed)).arg(error),
            GetLangString(languageFile_, QString::fromLatin1(langkey::kMessageTip)));
        return;
    }
    const QString csv =
        QFileInfo(path).dir().filePath(QFileInfo(path).completeBaseName()) + QStringLiteral(".csv");
    ShowMessage(
        parent,
        GetLangString(languageFile_, QString::fromLatin1(langkey::kReportSaved)).arg(path, csv),
        GetLangString(languageFile_, QString::fromLatin1(langkey::kMessageTip)),
        MessageIcon::Information);
    if (!unnumbered_.empty())
        showLangMessage(parent, languageFile_, langkey::kDocUnnumbered, MessageIcon::Warning,
                        QString::fromStdString(unnumbered_));
    tellRefusals(parent);
}

void ResultsController::tellRefusals(QWidget* parent) const {
    if (refusals_.empty())
        return;
    QStringList lines;
    for (const std::string& line : refusals_)
        lines << QString::fromStdString(line);
    showLangMessage(parent, languageFile_, langkey::kMessageCompanionRefused, MessageIcon::Warning,
                    lines.join(QLatin1Char('\n')));
}

}  // namespace vornex
