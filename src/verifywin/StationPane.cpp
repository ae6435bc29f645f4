#include "verifywin/StationPane.h"

#include <QComboBox>
#include <QDate>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <ctime>

#include "config/BenchConfig.h"
#include "files/IniLines.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "register/DueDates.h"
#include "register/LabRegister.h"
#include "register/ToolContributions.h"
#include "register/ToolIdentity.h"
#include "report/Certificate.h"
#include "report/ReportTexts.h"
#include "session/AcquisitionSession.h"
#include "text/NumberText.h"
#include "verify/Profile.h"
#include "verify/ReferenceChecks.h"
#include "verify/RunSetup.h"
#include "verify/ToolFolder.h"

namespace vornex {

namespace {

using namespace vornex::verify;
namespace k = langkey;

constexpr const char* kDirections[] = {"clockwise", "counterclockwise", "both"};

QString number(double value) {
    return QString::fromStdString(plainNumber(value));
}

// An optional number field: empty is not given; anything else must be a number.
bool optionalNumber(const QLineEdit* edit, std::optional<double>& out) {
    const std::string text = edit->text().trimmed().toStdString();
    out.reset();
    if (text.empty())
        return true;
    double value = 0.0;
    if (!parseDouble(text, value))
        return false;
    out = value;
    return true;
}

}  // namespace

StationPane::StationPane(AcquisitionSession& session, uint8_t address, const AppPaths& paths,
                         const QString& languageFile, QWidget* parent)
    : QWidget(parent),
      session_(session),
      address_(address),
      paths_(paths),
      languageFile_(languageFile),
      feed_(session, address) {
    auto* layout = new QVBoxLayout(this);
    const std::map<int, std::string> names =
        BenchConfig(paths_.configFile).deviceNames(session_.state().port);
    const auto named = names.find(address_);
    baseTitle_ = slaveText(reportTexts(languageFile_), address_,
                           named != names.end() ? named->second : std::string());
    title_ = new QLabel(baseTitle_, this);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    layout->addWidget(title_);
    setup_ = new QWidget(this);
    running_ = new QWidget(this);
    buildSetup(setup_);
    buildRun(running_);
    layout->addWidget(setup_);
    layout->addWidget(running_);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("message"));
    message_->setWordWrap(true);
    layout->addWidget(message_);
    layout->addStretch();
    running_->hide();
    // Three stations side by side fit a 1920-wide screen; more scroll rather than squeeze.
    setMinimumWidth(comfortableWidth(languageFile_, font()));
    findUnfinished();
}

StationPane::~StationPane() = default;

QString StationPane::text(const char* key) const {
    return GetLangString(languageFile_, QString::fromLatin1(key));
}

void StationPane::fillFromTool() {
    const std::string id = field(Field::ToolId)->text().trimmed().toStdString();
    if (!ToolFolder::validId(id))
        return;
    std::string error;
    const std::optional<Tool> tool =
        ToolFolder((paths_.home + QStringLiteral("Tools")).toStdString()).load(id, error);
    if (!error.empty())
        message_->setText(text(k::kVerifyToolUnreadable).arg(QString::fromStdString(error)));
    if (!tool)
        return;
    field(Field::Description)->setText(QString::fromStdString(tool->description));
    field(Field::Class)->setText(QString::fromStdString(tool->toolClass));
    field(Field::Lowest)->setText(tool->lowest ? number(*tool->lowest) : QString());
    field(Field::Maximum)->setText(number(tool->maximum));
    field(Field::Unit)->setText(QString::fromStdString(tool->unit));
    for (int i = 0; i < 3; ++i) {
        if (tool->direction == kDirections[i])
            direction_->setCurrentIndex(i);
    }
}

void StationPane::findUnfinished() {
    // Every run file is read to know whose it is: on a thread of its own, the window meanwhile
    // answers and the other stations go on.
    for (QComboBox* list : {unfinished_, ended_}) {
        list->clear();
        list->setEnabled(false);
        list->setPlaceholderText(text(k::kVerifySearching));
    }
    unfinishedPaths_.clear();
    endedRuns_.clear();
    button(Button::Resume)->setEnabled(false);
    button(Button::EndedCertificate)->setEnabled(false);
    button(Button::EndedSign)->setEnabled(false);
    search_.start((paths_.dataFolder + QStringLiteral("Verify")).toStdString(), currentReference(),
                  [this](const FoundRuns& found) { foundRuns(found); });
}

void StationPane::foundRuns(const FoundRuns& found) {
    for (const FoundRun& run : found.unfinished) {
        unfinishedPaths_.push_back(QString::fromStdString(run.path));
        unfinished_->addItem(QFileInfo(unfinishedPaths_.back()).fileName());
    }
    endedRuns_ = found.ended;
    for (const FoundRun& run : endedRuns_)
        ended_->addItem(
            QString::fromStdString(run.started).replace(QLatin1Char('T'), QLatin1Char(' ')) +
            QStringLiteral(" · ") + QString::fromStdString(run.toolId));
    for (QComboBox* list : {unfinished_, ended_}) {
        list->setPlaceholderText(QString());
        list->setEnabled(list->count() > 0);
    }
    button(Button::Resume)->setEnabled(!unfinishedPaths_.empty());
    button(Button::EndedCertificate)->setEnabled(!endedRuns_.empty());
    button(Button::EndedSign)->setEnabled(!endedRuns_.empty());
}

verify::Reference StationPane::currentReference() const {
    return instrumentNow();
}

void StationPane::newRun() {
    // The fields keep what they held: the next tool differs in a few of them.
    run_.reset();
    finishAnnounced_ = false;
    notHeld_.clear();
    showing_.reset();
    silentSince_.reset();
    field(Field::OverdueReason)->clear();
    confirmed_.clear();
    warning_->clear();
    button(Button::Start)->setText(text(k::kVerifyStart));
    title_->setText(baseTitle_);
    prompt_->clear();
    last_->clear();
    slip_->hide();
    table_->setRowCount(0);
    field(Field::Reason)->clear();
    button(Button::Certificate)->hide();
    button(Button::Sign)->hide();
    button(Button::NewRun)->hide();
    message_->clear();
    running_->hide();
    setup_->show();
    refreshProfiles();
    findUnfinished();
    field(Field::ToolId)->setFocus();
    field(Field::ToolId)->selectAll();
}

void StationPane::start() {
    message_->clear();
    const auto facts = session_.instrumentFacts(address_);
    if (!facts) {
        message_->setText(text(k::kVerifyNotReady));
        return;
    }
    const std::string home = paths_.home.toStdString();
    RunRequest request;
    Tool& tool = request.tool;
    tool.id = field(Field::ToolId)->text().trimmed().toStdString();
    tool.description = field(Field::Description)->text().trimmed().toStdString();
    tool.toolClass = field(Field::Class)->text().trimmed().toStdString();
    tool.unit = field(Field::Unit)->text().trimmed().toStdString();
    tool.direction = kDirections[direction_->currentIndex()];
    // The form has no type: an indicating tool is one its record says is.
    if (std::string ignored; const auto known = ToolFolder(home + "Tools").load(tool.id, ignored))
        tool.type = known->type;
    std::optional<double> maximum;
    if (!optionalNumber(field(Field::Maximum), maximum) ||
        !optionalNumber(field(Field::Lowest), tool.lowest)) {
        message_->setText(text(k::kVerifyNeedTool));
        return;
    }
    tool.maximum = maximum.value_or(0.0);
    if (!optionalNumber(field(Field::Temperature), request.temperature) ||
        !optionalNumber(field(Field::Humidity), request.humidity)) {
        message_->setText(text(k::kVerifyNeedNumbers));
        return;
    }
    request.profilesFolder = home + "Profiles";
    request.profileName = profiles_->currentText().toStdString();
    request.slips = SlipPolicy::Ask;
    request.operatorName = field(Field::Operator)->text().trimmed().toStdString();
    // A reference of the register has its own due date; the field shows it.
    const std::optional<RegisteredReference> asset = referenceAsset();
    if (asset)
        field(Field::Due)->setText(QString::fromStdString(asset->due));
    request.referenceDue = field(Field::Due)->text().trimmed().toStdString();
    const std::string overdueReason = field(Field::OverdueReason)->text().trimmed().toStdString();
    PlannedRun planned = planRun(request);
    const Profile& profile = planned.profile;
    using Problem = PlannedRun::Problem;
    switch (planned.problem) {
        case Problem::None:
            break;
        case Problem::ToolId:
        case Problem::ToolLimits:
        case Problem::PlainText:
            message_->setText(text(k::kVerifyNeedTool));
            return;
        case Problem::Profile:
            message_->setText(text(k::kVerifyCannot).arg(QString::fromStdString(planned.detail)));
            return;
        case Problem::Conditions:
            message_->setText(text(k::kVerifyNeedConditions)
                                  .arg(number(profile.temperatureMin),
                                       number(profile.temperatureMax),
                                       number(profile.humidityMax)));
            return;
        case Problem::DueDate:
            message_->setText(text(k::kVerifyNeedDueDate));
            return;
    }
    if (!fitsIniLine(overdueReason)) {
        message_->setText(text(k::kVerifyNeedTool));
        return;
    }
    const RunCautions cautions =
        fitRun(planned, facts->unit, facts->decimals, facts->measuringMode, std::time(nullptr));
    if (cautions.overdue && overdueReason.empty()) {
        message_->setText(
            text(k::kVerifyOverdue).arg(QString::fromStdString(planned.plan.referenceDue)));
        field(Field::OverdueReason)->setFocus();
        return;
    }
    if (!cautions.fitProblem.empty()) {
        message_->setText(text(k::kVerifyCannot).arg(QString::fromStdString(cautions.fitProblem)));
        return;
    }
    // A point the reference's certificate does not cover is measured only on a supervisor's word.
    std::optional<double> uncovered;
    for (size_t point = 0; asset && point < planned.plan.points.size(); ++point) {
        const double torque = planned.plan.tool.maximum * planned.plan.points[point] / 100.0;
        if (torque < asset->lowest && !uncovered)
            uncovered = torque;
    }
    if (uncovered && overdueReason.empty()) {
        message_->setText(text(k::kVerifyUncovered)
                              .arg(number(*uncovered), number(asset->lowest),
                                   QString::fromStdString(asset->asset)));
        field(Field::OverdueReason)->setFocus();
        return;
    }
    if (asset) {
        planned.plan.referenceAsset = asset->asset;
        planned.plan.referenceCertificate = asset->certificate;
        planned.plan.referenceUncertainty = asset->uncertainty;
    }
    // A reference that cannot tell a good tool from a bad one is used only on a supervisor's word.
    const std::vector<ReferenceCheck> failedChecks = failedReferenceChecks(planned.plan);
    if (!failedChecks.empty() && overdueReason.empty()) {
        const ReferenceCheck& check = failedChecks.front();
        const QString unit = QString::fromStdString(planned.plan.tool.unit);
        message_->setText(
            check.kind == ReferenceCheck::Kind::Uncertainty
                ? text(k::kVerifyQuarterUncertainty).arg(number(check.value), number(check.limit))
                : text(k::kVerifyQuarterStep)
                      .arg(number(check.value), unit, number(std::round(check.limit * 1e4) / 1e4),
                           number(check.torque)));
        field(Field::OverdueReason)->setFocus();
        return;
    }
    planned.plan.condition = condition_->currentIndex() == 1 ? RunPlan::kAsLeft : RunPlan::kAsFound;

    QStringList warnings;
    if (planned.ambientOutside)
        warnings << text(k::kVerifyAmbient)
                        .arg(number(profile.temperatureMin), number(profile.temperatureMax),
                             number(profile.humidityMax));
    if (cautions.polled)
        warnings << text(k::kVerifyPolled);
    const QString warning = warnings.join(QLatin1Char('\n'));
    if (!warning.isEmpty() && warning != confirmed_) {
        // Shown in the station, not in a dialog: the other stations go on meanwhile.
        warning_->setText(warning);
        confirmed_ = warning;
        button(Button::Start)->setText(text(k::kVerifyConfirmStart));
        return;
    }

    const RunPlan& plan = planned.plan;
    const BenchConfig config(paths_.configFile);
    TestTrace trace = config.lastTrace();
    trace.operatorName = plan.operatorName;
    config.rememberTrace(trace);
    // The due date of an instrument that is no asset is kept by its name: instruments of one
    // model report the same identification.
    if (!asset && !instrumentNow().name.empty())
        config.setCalibrationDue(instrumentNow().name, plan.referenceDue);
    std::vector<std::string> notes;
    if (const std::string unnamed = takeToolIdentity(home, planned.plan); !unnamed.empty())
        notes.push_back("warning " + unnamed);
    if (planned.ambientOutside)
        notes.push_back("confirmed " + ambientText(planned));
    if (cautions.polled)
        notes.push_back(polledNote(std::string(regmap::measuringModeName(facts->measuringMode))));
    if (cautions.overdue)
        notes.push_back(overdueNote(plan.referenceDue, overdueReason));
    if (uncovered)
        notes.push_back(uncoveredNote(*uncovered, asset->asset, asset->lowest, overdueReason));
    for (const ReferenceCheck& check : failedChecks)
        notes.push_back(checkNote(check, plan.tool.unit, overdueReason));
    if (const std::string overdueTool = overdueToolNote(home, plan.tool.id, QDate::currentDate());
        !overdueTool.empty())
        notes.push_back(overdueTool);
    std::string toolError;
    std::string error;
    const std::optional<MeasuredContributions> reused =
        takeValidContributions(home, profile, planned.plan, QDate::currentDate(), error);
    std::unique_ptr<VerificationRun> run =
        beginRun(plan, instrumentNow(), paths_.dataFolder.toStdString(), home + "Tools", notes,
                 std::time(nullptr), static_cast<RunListener&>(*this), toolError, error);
    if (!run) {
        message_->setText(text(k::kVerifyFailed).arg(QString::fromStdString(error)));
        return;
    }
    if (reused)
        run->takeContributions(reused->contributions, contributionsOrigin(*reused));
    begin(std::move(run));
    if (reused)
        message_->setText(
            message_->text() + QLatin1Char('\n') +
            text(k::kVerifyContributionsTaken).arg(QString::fromStdString(reused->date)));
    if (!toolError.empty())
        message_->setText(message_->text() + QLatin1Char('\n') + QString::fromStdString(toolError));
}

void StationPane::resume() {
    const int index = unfinished_->currentIndex();
    if (index < 0 || static_cast<size_t>(index) >= unfinishedPaths_.size())
        return;
    std::string error;
    std::optional<HeldRun> held =
        holdToResume(unfinishedPaths_[static_cast<size_t>(index)].toStdString(), error);
    if (held)
        error = resumeRefusal(*held, instrumentNow());
    if (!error.empty()) {
        message_->setText(text(k::kVerifyFailed).arg(QString::fromStdString(error)));
        return;
    }
    auto run =
        std::make_unique<VerificationRun>(std::move(held->file), held->stored.plan,
                                          held->stored.reference, static_cast<RunListener&>(*this));
    run->resume(held->stored);
    begin(std::move(run));
}

void StationPane::begin(std::unique_ptr<VerificationRun> run) {
    run_ = std::move(run);
    title_->setText(title_->text() + QStringLiteral(" · ") +
                    QString::fromStdString(run_->plan().tool.id));
    setup_->hide();
    running_->show();
    message_->setText(text(k::kVerifyRunFile).arg(QString::fromStdString(run_->path())));
    run_->start();
    if (session_.waitingForLine())
        run_->lineLost();
}

std::optional<RegisteredReference> StationPane::referenceAsset() const {
    const std::string name = instrumentNow().name;
    std::string error;
    return name.empty() ? std::nullopt
                        : LabRegister(paths_.home.toStdString()).reference(name, error);
}

verify::Reference StationPane::instrumentNow() const {
    Reference now;
    now.port = session_.state().port;
    now.address = address_;
    const std::map<int, std::string> names = BenchConfig(paths_.configFile).deviceNames(now.port);
    if (const auto named = names.find(address_); named != names.end())
        now.name = named->second;
    if (const auto facts = session_.instrumentFacts(address_)) {
        now.identification = facts->identification;
        now.range = facts->range;
        now.decimals = facts->decimals;
        now.mode = std::string(regmap::measuringModeName(facts->measuringMode));
        now.unit = facts->unit;
    }
    return now;
}

}  // namespace vornex
