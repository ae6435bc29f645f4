#include "verifywin/CVerifyStation.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <ctime>
#include <functional>

#include "files/HomeOutputs.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "link/NumberText.h"
#include "link/RegisterMap.h"
#include "record/AcquisitionSession.h"
#include "record/BenchConfig.h"
#include "report/Certificate.h"
#include "report/ReportTexts.h"
#include "verify/IniLines.h"
#include "verify/Profile.h"
#include "verify/RunSetup.h"
#include "verify/ToolRecord.h"

namespace vornex {

namespace {

using namespace vornex::verify;
namespace k = langkey;

constexpr const char* kDirections[] = {"clockwise", "counterclockwise", "both"};

// The labels of the fields before the run, in the order of Field; the reason to abort is the run's.
constexpr const char* kFieldLabels[] = {
    k::kVerifyToolId,   k::kVerifyDescription, k::kVerifyClass,        k::kVerifyLowest,
    k::kVerifyMaximum,  k::kVerifyUnit,        k::kVerifyOperator,     k::kVerifyTemperature,
    k::kVerifyHumidity, k::kVerifyDue,         k::kVerifyOverdueReason};

// A list that asks for its items afresh each time it is opened.
class RefreshedCombo : public QComboBox {
public:
    RefreshedCombo(std::function<void()> refresh, QWidget* parent)
        : QComboBox(parent), refresh_(std::move(refresh)) {}
    void showPopup() override {
        refresh_();
        QComboBox::showPopup();
    }

private:
    std::function<void()> refresh_;
};

// Where a certificate goes unless the user says otherwise: the documents folder, or the home
// folder itself, never among the bench's own files.
QString certificateFolder(const QString& home) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir() &&
        homeOutputRefusal(home.toStdString(), (documents + QStringLiteral("/x.pdf")).toStdString())
            .empty())
        return documents;
    return home;
}

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

CVerifyStation::CVerifyStation(AcquisitionSession& session, uint8_t address, const AppPaths& paths,
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
    message_->setWordWrap(true);
    layout->addWidget(message_);
    layout->addStretch();
    running_->hide();
    // Three stations side by side fit a 1920-wide screen; more scroll rather than squeeze.
    setMinimumWidth(comfortableWidth(languageFile_, font()));
    findUnfinished();
}

CVerifyStation::~CVerifyStation() = default;

QString CVerifyStation::text(const char* key) const {
    return GetLangString(languageFile_, QString::fromLatin1(key));
}

void CVerifyStation::buildSetup(QWidget* page) {
    auto* form = new QFormLayout(page);
    for (int i = 0; i < static_cast<int>(Field::Reason); ++i) {
        fields_[i] = new QLineEdit(page);
        form->addRow(text(kFieldLabels[i]), fields_[i]);
        if (i == static_cast<int>(Field::Unit)) {
            direction_ = new QComboBox(page);
            for (const char* key : {k::kVerifyClockwise, k::kVerifyCounter, k::kVerifyBoth})
                direction_->addItem(text(key));
            form->addRow(text(k::kVerifyDirection), direction_);
            // Profiles added to the folder meanwhile are there when the list is opened.
            profiles_ = new RefreshedCombo([this] { refreshProfiles(); }, page);
            form->addRow(text(k::kVerifyProfile), profiles_);
        }
    }
    field(Field::Class)->setText(QStringLiteral("A"));
    field(Field::Operator)
        ->setText(QString::fromStdString(BenchConfig(paths_.configFile).lastTrace().operatorName));
    if (const auto facts = session_.instrumentFacts(address_)) {
        field(Field::Unit)->setPlaceholderText(QString::fromStdString(facts->unit));
        field(Field::Due)
            ->setText(QString::fromStdString(
                BenchConfig(paths_.configFile).calibrationDue(facts->identification)));
    }
    writeBuiltInProfiles((paths_.home + QStringLiteral("Profiles")).toStdString());
    refreshProfiles();
    connect(field(Field::ToolId), &QLineEdit::editingFinished, this, &CVerifyStation::fillFromTool);

    warning_ = new QLabel(page);
    warning_->setWordWrap(true);
    warning_->setStyleSheet(QStringLiteral("color: #c00000"));
    form->addRow(warning_);
    buttons_[static_cast<int>(Button::Start)] = new QPushButton(text(k::kVerifyStart), page);
    form->addRow(button(Button::Start));
    connect(button(Button::Start), &QPushButton::clicked, this, &CVerifyStation::start);
    unfinished_ = new QComboBox(page);
    buttons_[static_cast<int>(Button::Resume)] = new QPushButton(text(k::kVerifyResume), page);
    auto* resumeRow = new QHBoxLayout;
    resumeRow->addWidget(unfinished_, 1);
    resumeRow->addWidget(button(Button::Resume));
    form->addRow(text(k::kVerifyUnfinished), resumeRow);
    connect(button(Button::Resume), &QPushButton::clicked, this, &CVerifyStation::resume);
    // A certificate lost or never made is made again from any ended run of this instrument.
    ended_ = new QComboBox(page);
    buttons_[static_cast<int>(Button::EndedCertificate)] =
        new QPushButton(text(k::kVerifyCertificate), page);
    auto* endedRow = new QHBoxLayout;
    endedRow->addWidget(ended_, 1);
    endedRow->addWidget(button(Button::EndedCertificate));
    form->addRow(text(k::kVerifyEnded), endedRow);
    connect(button(Button::EndedCertificate), &QPushButton::clicked, this, [this] {
        const int index = ended_->currentIndex();
        if (index < 0 || static_cast<size_t>(index) >= endedRuns_.size())
            return;
        const FoundRun& run = endedRuns_[static_cast<size_t>(index)];
        askForCertificate(
            QString::fromStdString(run.path), QString::fromStdString(run.toolId),
            QString::fromStdString(run.started).replace(QLatin1Char('T'), QLatin1Char(' ')));
    });
}

void CVerifyStation::refreshProfiles() {
    const QString chosen = profiles_->currentText();
    QStringList names;
    for (const Profile& p : builtInProfiles())
        names << QString::fromStdString(p.name);
    for (const QFileInfo& info :
         QDir(paths_.home + QStringLiteral("Profiles"))
             .entryInfoList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name)) {
        if (!names.contains(info.completeBaseName()))
            names << info.completeBaseName();
    }
    profiles_->clear();
    profiles_->addItems(names);
    profiles_->setCurrentIndex(std::max(0, static_cast<int>(names.indexOf(chosen))));
}

int CVerifyStation::comfortableWidth(const QString& languageFile, const QFont& font) {
    const QFontMetrics metrics(font);
    const auto width = [&](const char* key) {
        return metrics.horizontalAdvance(GetLangString(languageFile, QString::fromLatin1(key)));
    };
    int label = 0;
    for (const char* key : kFieldLabels)
        label = std::max(label, width(key));
    for (const char* key :
         {k::kVerifyDirection, k::kVerifyProfile, k::kVerifyUnfinished, k::kVerifyEnded})
        label = std::max(label, width(key));
    // A field shows a run file's name or a profile's name whole, beside its button.
    const int field = metrics.horizontalAdvance(QStringLiteral("ISO 6789-1 conformance")) +
                      std::max(width(k::kVerifyCertificate), width(k::kVerifyResume)) +
                      metrics.height() * 3;
    // The readings: a row's name and four columns each as wide as the widest heading.
    const ReportTexts t = reportTexts(languageFile);
    const QString unit = QStringLiteral("kgf.cm");
    int column = 0;
    for (const QString& heading :
         {t.certSetting.arg(unit), t.certReading.arg(unit), t.certDeviation, t.verdict})
        column = std::max(column, metrics.horizontalAdvance(heading));
    const int readings =
        metrics.horizontalAdvance(QStringLiteral("100 % · 10")) + 4 * column + metrics.height() * 6;
    return std::max(label + field, readings) + metrics.height() * 2;
}

void CVerifyStation::buildRun(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    prompt_ = new QLabel(page);
    prompt_->setWordWrap(true);
    QFont large = prompt_->font();
    large.setPointSizeF(large.pointSizeF() * 1.8);
    large.setBold(true);
    prompt_->setFont(large);
    prompt_->setMinimumHeight(prompt_->fontMetrics().height() * 3);
    layout->addWidget(prompt_);
    last_ = new QLabel(page);
    QFont lastFont = last_->font();
    lastFont.setPointSizeF(lastFont.pointSizeF() * 1.3);
    last_->setFont(lastFont);
    layout->addWidget(last_);

    slip_ = new QWidget(page);
    auto* slipRow = new QHBoxLayout(slip_);
    slipRow->setContentsMargins(0, 0, 0, 0);
    slipRow->addStretch();
    buttons_[static_cast<int>(Button::SlipCount)] =
        new QPushButton(text(k::kVerifySlipCount), slip_);
    buttons_[static_cast<int>(Button::SlipRepeat)] =
        new QPushButton(text(k::kVerifySlipRepeat), slip_);
    slipRow->addWidget(button(Button::SlipCount));
    slipRow->addWidget(button(Button::SlipRepeat));
    connect(button(Button::SlipCount), &QPushButton::clicked, this,
            [this] { run_->answerSlip(true); });
    connect(button(Button::SlipRepeat), &QPushButton::clicked, this,
            [this] { run_->answerSlip(false); });
    layout->addWidget(slip_);
    slip_->hide();

    table_ = new QTableWidget(0, 4, page);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    layout->addWidget(table_, 1);

    auto* abortRow = new QHBoxLayout;
    fields_[static_cast<int>(Field::Reason)] = new QLineEdit(page);
    buttons_[static_cast<int>(Button::Abort)] = new QPushButton(text(k::kVerifyAbort), page);
    button(Button::Abort)->setEnabled(false);
    abortRow->addWidget(new QLabel(text(k::kVerifyReason), page));
    abortRow->addWidget(field(Field::Reason), 1);
    abortRow->addWidget(button(Button::Abort));
    layout->addLayout(abortRow);
    connect(field(Field::Reason), &QLineEdit::textChanged, this, [this](const QString& reason) {
        button(Button::Abort)
            ->setEnabled(run_ && !run_->finished() && fitsIniLine(reason.toStdString()));
    });
    connect(button(Button::Abort), &QPushButton::clicked, this,
            [this] { run_->abandon(field(Field::Reason)->text().toStdString()); });
    buttons_[static_cast<int>(Button::Certificate)] =
        new QPushButton(text(k::kVerifyCertificate), page);
    button(Button::Certificate)->hide();
    layout->addWidget(button(Button::Certificate));
    connect(button(Button::Certificate), &QPushButton::clicked, this, [this] {
        if (run_)
            askForCertificate(QString::fromStdString(run_->path()),
                              QString::fromStdString(run_->plan().tool.id), QString());
    });
    buttons_[static_cast<int>(Button::NewRun)] = new QPushButton(text(k::kVerifyNewRun), page);
    button(Button::NewRun)->hide();
    layout->addWidget(button(Button::NewRun));
    connect(button(Button::NewRun), &QPushButton::clicked, this, &CVerifyStation::newRun);
}

void CVerifyStation::fillFromTool() {
    const std::string id = field(Field::ToolId)->text().trimmed().toStdString();
    if (!ToolStore::validId(id))
        return;
    std::string error;
    const std::optional<Tool> tool =
        ToolStore((paths_.home + QStringLiteral("Tools")).toStdString()).load(id, error);
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

void CVerifyStation::findUnfinished() {
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
    search_.start((paths_.dataFolder + QStringLiteral("Verify")).toStdString(), currentReference(),
                  [this](const FoundRuns& found) { foundRuns(found); });
}

void CVerifyStation::foundRuns(const FoundRuns& found) {
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
}

verify::Reference CVerifyStation::currentReference() const {
    return instrumentNow();
}

void CVerifyStation::newRun() {
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
    button(Button::NewRun)->hide();
    message_->clear();
    running_->hide();
    setup_->show();
    refreshProfiles();
    findUnfinished();
    field(Field::ToolId)->setFocus();
    field(Field::ToolId)->selectAll();
}

void CVerifyStation::start() {
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
    config.setCalibrationDue(facts->identification, plan.referenceDue);
    std::vector<std::string> notes;
    if (planned.ambientOutside)
        notes.push_back("confirmed " + ambientText(planned));
    if (cautions.polled)
        notes.push_back(polledNote(std::string(regmap::measuringModeName(facts->measuringMode))));
    if (cautions.overdue)
        notes.push_back(overdueNote(plan.referenceDue, overdueReason));
    std::string toolError;
    std::string error;
    std::unique_ptr<VerificationRun> run =
        beginRun(plan, instrumentNow(), paths_.dataFolder.toStdString(), home + "Tools", notes,
                 std::time(nullptr), static_cast<RunListener&>(*this), toolError, error);
    if (!run) {
        message_->setText(text(k::kVerifyFailed).arg(QString::fromStdString(error)));
        return;
    }
    begin(std::move(run));
    if (!toolError.empty())
        message_->setText(message_->text() + QLatin1Char('\n') + QString::fromStdString(toolError));
}

void CVerifyStation::resume() {
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

void CVerifyStation::begin(std::unique_ptr<VerificationRun> run) {
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

verify::Reference CVerifyStation::instrumentNow() const {
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

void CVerifyStation::feed() {
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

void CVerifyStation::lineLost() {
    if (run_)
        run_->lineLost();
}

void CVerifyStation::lineBack() {
    if (run_)
        run_->lineBack();
}

void CVerifyStation::changed() {
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
    } else if (step.kind == Step::Kind::Preload) {
        prompt = text(k::kVerifyPromptPreload).arg(step.number).arg(plan.preloads);
    } else {
        prompt = text(k::kVerifyPromptReading)
                     .arg(shown(plan.setting(step.point)), unit)
                     .arg(step.number)
                     .arg(plan.readings);
    }
    prompt_->setText(prompt);
    prompt_->setStyleSheet(QStringLiteral("color: %1").arg(colour));
    slip_->setVisible(run.slipAsked().has_value() && !run.finished());
    button(Button::Abort)
        ->setEnabled(!run.finished() && !field(Field::Reason)->text().trimmed().isEmpty());
    field(Field::Reason)->setEnabled(!run.finished());
    button(Button::Certificate)->setVisible(run.ended());
    button(Button::NewRun)->setVisible(run.finished());
    showLast();
    showReadings();
    if ((run.ended() || run.abandoned()) && !finishAnnounced_) {
        finishAnnounced_ = true;
        emit runFinished(QString::fromStdString(run.path()));
    }
}

void CVerifyStation::said(const std::string& line) {
    // A pull the reference did not hold is no reading: the operator is told to apply it again.
    static const std::string notHeld = "not held ";
    if (line.rfind(notHeld, 0) == 0)
        notHeld_ = line.substr(line.rfind(' ') + 1);
    else if (line.rfind("reading ", 0) == 0 || line.rfind("slip ", 0) == 0)
        notHeld_.clear();
}

void CVerifyStation::warned(const std::string&) {
    const Step step = run_->step();
    const RunPlan& plan = run_->plan();
    message_->setText(
        text(k::kVerifyBelowThreshold)
            .arg(number(plan.points[step.point]),
                 QString::fromStdString(formatFixed(plan.setting(step.point), plan.decimals)),
                 QString::fromStdString(plan.tool.unit)));
}

void CVerifyStation::showLast() {
    if (!notHeld_.empty()) {
        last_->setText(text(k::kVerifyNotHeld)
                           .arg(QString::fromStdString(notHeld_),
                                QString::fromStdString(run_->plan().tool.unit)));
        last_->setStyleSheet(QStringLiteral("color: #c06000"));
        return;
    }
    const auto& taken = run_->last();
    if (!taken)
        return;
    const RunPlan& plan = run_->plan();
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

void CVerifyStation::showReadings() {
    const RunPlan& plan = run_->plan();
    const ReportTexts t = reportTexts(languageFile_);
    const QString unit = QString::fromStdString(plan.tool.unit);
    table_->setHorizontalHeaderLabels(
        {t.certSetting.arg(unit), t.certReading.arg(unit), t.certDeviation, t.verdict});
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

QFileDialog* CVerifyStation::certificateDialog(const QString& runPath) const {
    const auto it = certificateDialogs_.find(runPath);
    return it == certificateDialogs_.end() ? nullptr : it->second.data();
}

void CVerifyStation::askForCertificate(const QString& runPath, const QString& toolId,
                                       const QString& started) {
    if (QFileDialog* open = certificateDialog(runPath)) {
        open->raise();
        open->activateWindow();
        return;
    }
    // Not modal: the other stations are answered while the name is chosen. Its title says whose
    // it is, and it opens over its own station.
    QString whose = baseTitle_ + QStringLiteral(" · ") + toolId;
    if (!started.isEmpty())
        whose += QStringLiteral(" · ") + started;
    const QString name = QFileInfo(runPath).completeBaseName() + QStringLiteral(".pdf");
    auto* dialog =
        new QFileDialog(this, text(k::kVerifyCertTitle).arg(whose),
                        QDir(certificateFolder(paths_.home)).filePath(name), text(k::kFilterPdf));
    // Qt's own dialog: a platform's would open where it likes, under one title for every station.
    // Chosen first: choosing it makes the dialog's widgets anew, in the mode to open a file.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::NonModal);
    QRect place(QPoint(), dialog->sizeHint());
    place.moveCenter(mapToGlobal(rect().center()));
    if (const QScreen* screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        place.moveLeft(std::max(room.left(), std::min(place.left(), room.right() - place.width())));
        place.moveTop(std::max(room.top(), std::min(place.top(), room.bottom() - place.height())));
    }
    dialog->move(place.topLeft());
    connect(dialog, &QFileDialog::fileSelected, this,
            [this, runPath](const QString& path) { saveCertificate(runPath, path); });
    certificateDialogs_[runPath] = dialog;
    dialog->show();
}

bool CVerifyStation::saveCertificate(const QString& path) {
    if (!run_)
        return false;
    return saveCertificate(QString::fromStdString(run_->path()), path);
}

bool CVerifyStation::saveCertificate(const QString& runPath, const QString& path) {
    // Never over the bench's own files: the next run could not read them.
    if (const std::string refused =
            homeOutputRefusal(paths_.home.toStdString(), path.toStdString());
        !refused.empty()) {
        message_->setText(text(k::kVerifyCertFailed).arg(QString::fromStdString(refused)));
        return false;
    }
    const BenchConfig config(paths_.configFile);
    const std::map<int, std::string> names = config.deviceNames(session_.state().port);
    const auto named = names.find(address_);
    const CertificateFacts facts{config.bench(),
                                 named != names.end() ? named->second : std::string()};
    const FileResult written = writeCertificatePdf(runPath.toStdString(), facts,
                                                   reportTexts(languageFile_), path.toStdString());
    message_->setText(written
                          ? text(k::kVerifyCertSaved).arg(path)
                          : text(k::kVerifyCertFailed).arg(QString::fromStdString(written.text)));
    return static_cast<bool>(written);
}

}  // namespace vornex
