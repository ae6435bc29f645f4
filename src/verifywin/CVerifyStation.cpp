#include "verifywin/CVerifyStation.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <ctime>

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
#include "verify/RunFit.h"
#include "verify/ToolRecord.h"

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

CVerifyStation::CVerifyStation(AcquisitionSession& session, uint8_t address, const AppPaths& paths,
                               const QString& languageFile, QWidget* parent)
    : QWidget(parent),
      session_(session),
      address_(address),
      paths_(paths),
      languageFile_(languageFile) {
    auto* layout = new QVBoxLayout(this);
    const std::map<int, std::string> names =
        BenchConfig(paths_.configFile).deviceNames(session_.state().port);
    const auto named = names.find(address_);
    title_ = new QLabel(slaveText(reportTexts(languageFile_), address_,
                                  named != names.end() ? named->second : std::string()),
                        this);
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
    findUnfinished();
}

CVerifyStation::~CVerifyStation() = default;

QString CVerifyStation::text(const char* key) const {
    return GetLangString(languageFile_, QString::fromLatin1(key));
}

void CVerifyStation::buildSetup(QWidget* page) {
    auto* form = new QFormLayout(page);
    // The fields before the run, in the order of Field; the reason to abort is the run's.
    const char* labels[] = {k::kVerifyToolId,   k::kVerifyDescription, k::kVerifyClass,
                            k::kVerifyLowest,   k::kVerifyMaximum,     k::kVerifyUnit,
                            k::kVerifyOperator, k::kVerifyTemperature, k::kVerifyHumidity,
                            k::kVerifyDue};
    for (int i = 0; i < static_cast<int>(Field::Reason); ++i) {
        fields_[i] = new QLineEdit(page);
        form->addRow(text(labels[i]), fields_[i]);
        if (i == static_cast<int>(Field::Unit)) {
            direction_ = new QComboBox(page);
            for (const char* key : {k::kVerifyClockwise, k::kVerifyCounter, k::kVerifyBoth})
                direction_->addItem(text(key));
            form->addRow(text(k::kVerifyDirection), direction_);
            profiles_ = new QComboBox(page);
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
    const std::string profileFolder = (paths_.home + QStringLiteral("Profiles")).toStdString();
    writeBuiltInProfiles(profileFolder);
    QStringList names;
    for (const Profile& p : builtInProfiles())
        names << QString::fromStdString(p.name);
    for (const QFileInfo& info :
         QDir(QString::fromStdString(profileFolder))
             .entryInfoList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name)) {
        if (!names.contains(info.completeBaseName()))
            names << info.completeBaseName();
    }
    profiles_->addItems(names);
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
    connect(button(Button::Certificate), &QPushButton::clicked, this,
            &CVerifyStation::askForCertificate);
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
    unfinished_->clear();
    unfinishedPaths_.clear();
    const auto facts = session_.instrumentFacts(address_);
    const std::string slave = "slave " + std::to_string(address_) + " ";
    QDirIterator files(paths_.dataFolder + QStringLiteral("Verify"), {QStringLiteral("*.txt")},
                       QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        std::string error;
        const std::optional<StoredRun> stored = readRunFile(path.toStdString(), error);
        if (!stored || stored->ended)
            continue;
        const bool same = facts && !stored->identification.empty()
                              ? stored->identification == facts->identification
                              : stored->instrument.rfind(slave, 0) == 0;
        if (!same)
            continue;
        unfinishedPaths_.push_back(path);
        unfinished_->addItem(QFileInfo(path).fileName());
    }
    unfinished_->setEnabled(!unfinishedPaths_.empty());
    button(Button::Resume)->setEnabled(!unfinishedPaths_.empty());
}

void CVerifyStation::start() {
    message_->clear();
    const auto facts = session_.instrumentFacts(address_);
    if (!facts) {
        message_->setText(text(k::kVerifyNotReady));
        return;
    }
    const std::string home = paths_.home.toStdString();
    RunPlan plan;
    Tool& tool = plan.tool;
    tool.id = field(Field::ToolId)->text().trimmed().toStdString();
    tool.description = field(Field::Description)->text().trimmed().toStdString();
    tool.toolClass = field(Field::Class)->text().trimmed().toStdString();
    tool.unit = field(Field::Unit)->text().trimmed().toStdString();
    tool.direction = kDirections[direction_->currentIndex()];
    std::optional<double> maximum;
    const bool numbers = optionalNumber(field(Field::Maximum), maximum) &&
                         optionalNumber(field(Field::Lowest), tool.lowest);
    tool.maximum = maximum.value_or(0.0);
    if (!numbers || !ToolStore::validId(tool.id) || !(tool.maximum > 0.0) ||
        (tool.lowest && (*tool.lowest < 0.0 || !(*tool.lowest < tool.maximum))) ||
        !fitsIniLine(tool.description) || !fitsIniLine(tool.toolClass)) {
        message_->setText(text(k::kVerifyNeedTool));
        return;
    }
    if (!optionalNumber(field(Field::Temperature), plan.temperature) ||
        !optionalNumber(field(Field::Humidity), plan.humidity)) {
        message_->setText(text(k::kVerifyNeedNumbers));
        return;
    }
    const ProfileRead read = loadProfile(home + "Profiles", profiles_->currentText().toStdString());
    if (!read.profile) {
        message_->setText(text(k::kVerifyCannot)
                              .arg(QString::fromStdString(
                                  "profile " + profiles_->currentText().toStdString() +
                                  (read.line ? " line " + std::to_string(read.line) : "") + ": " +
                                  read.problem)));
        return;
    }
    const Profile& profile = *read.profile;
    plan.profile = profile.name;
    plan.standard = profile.standard;
    plan.points = profile.points;
    plan.readings = profile.readings;
    plan.preloads = profile.preloads;
    plan.slips = SlipPolicy::Ask;
    plan.operatorName = field(Field::Operator)->text().trimmed().toStdString();
    plan.referenceDue = field(Field::Due)->text().trimmed().toStdString();
    if (!fitsIniLine(plan.operatorName) || !fitsIniLine(plan.referenceDue)) {
        message_->setText(text(k::kVerifyNeedTool));
        return;
    }
    if (const std::string problem = fitPlan(plan, profile.deviations, facts->unit, facts->decimals);
        !problem.empty()) {
        message_->setText(text(k::kVerifyCannot).arg(QString::fromStdString(problem)));
        return;
    }

    const bool ambientOutside =
        (plan.temperature && (*plan.temperature < profile.temperatureMin ||
                              *plan.temperature > profile.temperatureMax)) ||
        (plan.humidity && *plan.humidity > profile.humidityMax);
    const bool polled = facts->measuringMode != regmap::kMeasurePeak &&
                        facts->measuringMode != regmap::kMeasureFirstPeak;
    QStringList warnings;
    if (ambientOutside)
        warnings << text(k::kVerifyAmbient)
                        .arg(number(profile.temperatureMin), number(profile.temperatureMax),
                             number(profile.humidityMax));
    if (polled)
        warnings << text(k::kVerifyPolled);
    const QString warning = warnings.join(QLatin1Char('\n'));
    if (!warning.isEmpty() && warning != confirmed_) {
        // Shown in the station, not in a dialog: the other stations go on meanwhile.
        warning_->setText(warning);
        confirmed_ = warning;
        button(Button::Start)->setText(text(k::kVerifyConfirmStart));
        return;
    }

    std::string error;
    if (!ToolStore(home + "Tools").save(tool, error))
        message_->setText(
            QString::fromStdString("tool " + tool.id + " is not remembered: " + error));
    const BenchConfig config(paths_.configFile);
    TestTrace trace = config.lastTrace();
    trace.operatorName = plan.operatorName;
    config.rememberTrace(trace);
    config.setCalibrationDue(facts->identification, plan.referenceDue);
    const std::time_t now = std::time(nullptr);
    const std::string description =
        "slave " + std::to_string(address_) + " on " + session_.state().port + ", mode " +
        std::string(regmap::measuringModeName(facts->measuringMode)) + ", range " +
        formatFixed(facts->range, facts->decimals) + " " + facts->unit;
    std::optional<RunFile> file =
        RunFile::create(RunFile::pathFor(paths_.dataFolder.toStdString(), tool.id, now), plan,
                        description, facts->identification, now, error);
    if (!file) {
        message_->setText(text(k::kVerifyFailed).arg(QString::fromStdString(error)));
        return;
    }
    auto run =
        std::make_unique<VerificationRun>(std::move(*file), plan, static_cast<RunListener&>(*this));
    if (ambientOutside)
        run->note("ambient conditions outside the profile's limits, confirmed by the operator");
    if (polled)
        run->note("polled peaks in mode " +
                  std::string(regmap::measuringModeName(facts->measuringMode)) +
                  ", confirmed by the operator");
    begin(std::move(run));
}

void CVerifyStation::resume() {
    const int index = unfinished_->currentIndex();
    if (index < 0 || static_cast<size_t>(index) >= unfinishedPaths_.size())
        return;
    const std::string path = unfinishedPaths_[static_cast<size_t>(index)].toStdString();
    std::string error;
    const std::optional<StoredRun> stored = readRunFile(path, error);
    std::optional<RunFile> file = stored ? RunFile::reopen(path, error) : std::optional<RunFile>();
    if (!file) {
        message_->setText(text(k::kVerifyFailed).arg(QString::fromStdString(error)));
        return;
    }
    auto run = std::make_unique<VerificationRun>(std::move(*file), stored->plan,
                                                 static_cast<RunListener&>(*this));
    run->resume(*stored);
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

void CVerifyStation::feed(const std::vector<Sample>& samples) {
    if (run_)
        run_->feed(samples);
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
    showLast();
    showReadings();
    if ((run.ended() || run.abandoned()) && !finishAnnounced_) {
        finishAnnounced_ = true;
        emit runFinished(QString::fromStdString(run.path()));
    }
}

void CVerifyStation::showLast() {
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

void CVerifyStation::askForCertificate() {
    // Not modal: the other stations are answered while the name is chosen.
    auto* dialog = new QFileDialog(this, text(k::kVerifyCertificate),
                                   QString::fromStdString(run_->path())
                                       .replace(QStringLiteral(".txt"), QStringLiteral(".pdf")),
                                   text(k::kFilterPdf));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::NonModal);
    connect(dialog, &QFileDialog::fileSelected, this,
            [this](const QString& path) { saveCertificate(path); });
    dialog->show();
}

bool CVerifyStation::saveCertificate(const QString& path) {
    const BenchConfig config(paths_.configFile);
    const std::map<int, std::string> names = config.deviceNames(session_.state().port);
    const auto named = names.find(address_);
    const CertificateFacts facts{config.bench(),
                                 named != names.end() ? named->second : std::string()};
    const FileResult written =
        writeCertificatePdf(run_->path(), facts, reportTexts(languageFile_), path.toStdString());
    message_->setText(written
                          ? text(k::kVerifyCertSaved).arg(path)
                          : text(k::kVerifyCertFailed).arg(QString::fromStdString(written.text)));
    return static_cast<bool>(written);
}

}  // namespace vornex
