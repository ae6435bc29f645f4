#include "verifywin/StationPane.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <iterator>

#include "config/BenchConfig.h"
#include "files/IniLines.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "i18n/SignKeys.h"
#include "report/Certificate.h"
#include "report/ReportTexts.h"
#include "session/AcquisitionSession.h"
#include "text/NumberText.h"
#include "verify/Profile.h"
#include "verify/ToolFolder.h"

// The station's two pages, the fields before a run and the run's own view, and its width.
namespace vornex {

namespace {

using namespace vornex::verify;
namespace k = langkey;

// The labels of the fields before the run, in the order of Field; the reason to abort is the run's.
constexpr const char* kFieldLabels[] = {
    k::kVerifyToolId,   k::kVerifyDescription, k::kVerifyClass,        k::kVerifyLowest,
    k::kVerifyMaximum,  k::kVerifyUnit,        k::kVerifyOperator,     k::kVerifyTemperature,
    k::kVerifyHumidity, k::kVerifyDue,         k::kVerifyOverdueReason};

// The object names of the fields, in the order of Field, and of the buttons, in the order of
// Button: how the station's widgets are found from outside, as the Store tab's are.
constexpr const char* kFieldNames[] = {
    "toolId",      "description", "class", "lowest",        "maximum", "unit",      "operator",
    "temperature", "humidity",    "due",   "overdueReason", "reason",  "indication"};
constexpr const char* kButtonNames[] = {"start", "resume",      "slipCount", "slipRepeat",
                                        "abort", "certificate", "newRun",    "endedCertificate",
                                        "sign",  "endedSign",   "indicate"};

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

}  // namespace

void StationPane::buildSetup(QWidget* page) {
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
            profiles_->setObjectName(QStringLiteral("profiles"));
            form->addRow(text(k::kVerifyProfile), profiles_);
            condition_ = new QComboBox(page);
            condition_->setObjectName(QStringLiteral("condition"));
            for (const char* key : {k::kCertAsFound, k::kCertAsLeft})
                condition_->addItem(text(key));
            form->addRow(text(k::kVerifyCondition), condition_);
        }
    }
    field(Field::Class)->setText(QStringLiteral("A"));
    field(Field::Operator)
        ->setText(QString::fromStdString(BenchConfig(paths_.configFile).lastTrace().operatorName));
    if (const auto facts = session_.instrumentFacts(address_)) {
        field(Field::Unit)->setPlaceholderText(QString::fromStdString(facts->unit));
        const std::optional<RegisteredReference> asset = referenceAsset();
        const std::string name = instrumentNow().name;
        field(Field::Due)
            ->setText(QString::fromStdString(
                asset          ? asset->due
                : name.empty() ? std::string()
                               : BenchConfig(paths_.configFile).calibrationDue(name)));
        // The asset's due date is the register's, not the station's to change.
        field(Field::Due)->setReadOnly(asset.has_value());
    }
    writeBuiltInProfiles((paths_.home + QStringLiteral("Profiles")).toStdString());
    refreshProfiles();
    connect(field(Field::ToolId), &QLineEdit::editingFinished, this, &StationPane::fillFromTool);

    warning_ = new QLabel(page);
    warning_->setWordWrap(true);
    warning_->setStyleSheet(QStringLiteral("color: #c00000"));
    form->addRow(warning_);
    buttons_[static_cast<int>(Button::Start)] = new QPushButton(text(k::kVerifyStart), page);
    form->addRow(button(Button::Start));
    connect(button(Button::Start), &QPushButton::clicked, this, &StationPane::start);
    unfinished_ = new QComboBox(page);
    unfinished_->setObjectName(QStringLiteral("unfinished"));
    buttons_[static_cast<int>(Button::Resume)] = new QPushButton(text(k::kVerifyResume), page);
    auto* resumeRow = new QHBoxLayout;
    resumeRow->addWidget(unfinished_, 1);
    resumeRow->addWidget(button(Button::Resume));
    form->addRow(text(k::kVerifyUnfinished), resumeRow);
    connect(button(Button::Resume), &QPushButton::clicked, this, &StationPane::resume);
    // A certificate lost or never made is made again from any ended run of this instrument.
    ended_ = new QComboBox(page);
    ended_->setObjectName(QStringLiteral("endedRuns"));
    buttons_[static_cast<int>(Button::EndedCertificate)] =
        new QPushButton(text(k::kVerifyCertificate), page);
    buttons_[static_cast<int>(Button::EndedSign)] = new QPushButton(text(k::kSignCommand), page);
    auto* endedRow = new QHBoxLayout;
    endedRow->addWidget(ended_, 1);
    endedRow->addWidget(button(Button::EndedCertificate));
    endedRow->addWidget(button(Button::EndedSign));
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
    connect(button(Button::EndedSign), &QPushButton::clicked, this, [this] {
        const int index = ended_->currentIndex();
        if (index >= 0 && static_cast<size_t>(index) < endedRuns_.size())
            askToSign(QString::fromStdString(endedRuns_[static_cast<size_t>(index)].path));
    });
}

void StationPane::refreshProfiles() {
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

int StationPane::comfortableWidth(const QString& languageFile, const QFont& font) {
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

void StationPane::buildRun(QWidget* page) {
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
    last_->setWordWrap(true);
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

    indication_ = new QWidget(page);
    auto* indicationRow = new QHBoxLayout(indication_);
    indicationRow->setContentsMargins(0, 0, 0, 0);
    fields_[static_cast<int>(Field::Indication)] = new QLineEdit(indication_);
    buttons_[static_cast<int>(Button::Indicate)] =
        new QPushButton(text(k::kVerifyIndicate), indication_);
    indicationRow->addWidget(field(Field::Indication), 1);
    indicationRow->addWidget(button(Button::Indicate));
    connect(button(Button::Indicate), &QPushButton::clicked, this, &StationPane::indicate);
    connect(field(Field::Indication), &QLineEdit::returnPressed, this, &StationPane::indicate);
    layout->addWidget(indication_);
    indication_->hide();

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
    buttons_[static_cast<int>(Button::Sign)] = new QPushButton(text(k::kSignCommand), page);
    button(Button::Sign)->hide();
    auto* endRow = new QHBoxLayout;
    endRow->addWidget(button(Button::Certificate));
    endRow->addWidget(button(Button::Sign));
    layout->addLayout(endRow);
    connect(button(Button::Sign), &QPushButton::clicked, this, [this] {
        if (run_)
            askToSign(QString::fromStdString(run_->path()));
    });
    connect(button(Button::Certificate), &QPushButton::clicked, this, [this] {
        if (run_)
            askForCertificate(QString::fromStdString(run_->path()),
                              QString::fromStdString(run_->plan().tool.id), QString());
    });
    buttons_[static_cast<int>(Button::NewRun)] = new QPushButton(text(k::kVerifyNewRun), page);
    button(Button::NewRun)->hide();
    layout->addWidget(button(Button::NewRun));
    connect(button(Button::NewRun), &QPushButton::clicked, this, &StationPane::newRun);

    // The setup page is built first: every field and button of the station is there now.
    for (size_t i = 0; i < std::size(kFieldNames); ++i)
        fields_[i]->setObjectName(QLatin1String(kFieldNames[i]));
    for (size_t i = 0; i < std::size(kButtonNames); ++i)
        buttons_[i]->setObjectName(QLatin1String(kButtonNames[i]));
    prompt_->setObjectName(QStringLiteral("prompt"));
    table_->setObjectName(QStringLiteral("readings"));
}

}  // namespace vornex
