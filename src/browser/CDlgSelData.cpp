#include "browser/CDlgSelData.h"

#include <algorithm>

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "controls/DialogTexts.h"
#include "controls/MessageBox.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "link/RegisterMap.h"
#include "record/TestFile.h"
#include "storeview/StoreTab.h"

namespace vornex {

CDlgSelData::CDlgSelData(const QString& languageFile, const QString& dataFolder, bool testOpen,
                         bool recording, QWidget* parent, QDate today)
    : QDialog(parent),
      languageFile_(languageFile),
      dataFolder_(dataFolder),
      testOpen_(testOpen),
      recording_(recording) {
    setProperty(kDialogNumberProperty, kDialogNumber);
    setWindowTitle(QStringLiteral("选择显示数据"));
    buildControls();
    date_->setDate(today);
    for (int s = 1; s <= 30; ++s)
        curves_->addItem(QStringLiteral("Slave_%1").arg(s));
    curves_->setCurrentIndex(0);
    SetDialogTexts(languageFile_, this, kDialogNumber);
    if (!testOpen_) {
        folderPath_ = dayFolder(today);
        QDir().mkpath(folderPath_);
        if (listFolder() > 0)
            chooseFile(0);
    }
    connect(date_, &QDateEdit::dateChanged, this, &CDlgSelData::onDateChanged);
    connect(files_, &QComboBox::activated, this, &CDlgSelData::onFileChosen);
    connect(curves_, &QComboBox::activated, this, &CDlgSelData::onCurveChosen);
}

void CDlgSelData::buildControls() {
    date_ = numberedControl(new QDateEdit(this), 1022, "date");
    date_->setCalendarPopup(true);
    date_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    files_ = numberedControl(new QComboBox(this), 1025, "files");
    files_->setMinimumContentsLength(16);
    curves_ = numberedControl(new QComboBox(this), 1030, "curves");
    points_ = numberedControl(new QLineEdit(this), 1028, "points");
    points_->setReadOnly(true);

    auto* grid = new QGridLayout;
    addLabelledField(grid, 0, 0, QStringLiteral("日 期:"), 1023, date_);
    addLabelledField(grid, 0, 2, QStringLiteral("数 据:"), 1024, files_);
    addLabelledField(grid, 1, 0, QStringLiteral("曲 线:"), 1029, curves_);
    addLabelledField(grid, 1, 2, QStringLiteral("点 数:"), 1027, points_);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto* ok = numberedButton(QStringLiteral("确定"), 1026, this, "ok");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CDlgSelData::onOk);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancelButton(this));

    settings_ = new QLabel(this);
    settings_->setObjectName(QStringLiteral("settings"));
    settings_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* files = new QWidget;
    auto* filesLayout = new QVBoxLayout(files);
    filesLayout->addLayout(grid);
    filesLayout->addWidget(settings_);
    filesLayout->addStretch(1);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabs"));
    tabs_->addTab(files, langStringOr(languageFile_, QString::fromLatin1(langkey::kStoreTabFiles),
                                      QStringLiteral("Files")));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);
    setMinimumWidth(460);
}

int CDlgSelData::exec() {
    if (testOpen_) {
        showLangMessage(this, languageFile_, langkey::kMessageCheckDataTestOpen);
        return Rejected;
    }
    return QDialog::exec();
}

QString CDlgSelData::dayFolder(const QDate& date) const {
    return dataFolder_ + date.toString(QStringLiteral("yyyyMMdd")) + QLatin1Char('/');
}

// Lists the folder's test files by name, so the order never depends on the file system.
int CDlgSelData::listFolder() {
    const QStringList names = QDir(folderPath_)
                                  .entryList({QStringLiteral("*.pdat")},
                                             QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    files_->addItems(names);
    return static_cast<int>(names.size());
}

void CDlgSelData::chooseFile(int index) {
    files_->setCurrentIndex(index);
    filePath_ = folderPath_ + files_->itemText(index);
    counts_ = TestFile(QFile::encodeName(filePath_).toStdString()).count().counts;
    points_->setText(QString::number(counts_.of(1)));
    curves_->setCurrentIndex(0);
    companion_ = readCompanion(companionPath(QFile::encodeName(filePath_).toStdString()));
    showSettings(1);
}

// The companion file's name and the settings the instrument ended with, or why they were refused;
// empty without a companion file.
void CDlgSelData::showSettings(int slave) {
    const auto refused = companion_.refused.find(slave);
    const std::string& refusal =
        refused != companion_.refused.end() ? refused->second : companion_.refusal;
    if (!refusal.empty()) {
        settings_->setText(
            langStringOr(languageFile_, QString::fromLatin1(langkey::kReportRefusedSettings),
                         QStringLiteral("settings refused, judged without settings: %1"))
                .arg(QString::fromStdString(refusal)));
        return;
    }
    if (!companion_.companion) {
        settings_->clear();
        return;
    }
    const QString name =
        QFileInfo(QString::fromStdString(companionPath(QFile::encodeName(filePath_).toStdString())))
            .fileName();
    const InstrumentSettings* last = companion_.companion->lastSettings(slave);
    if (last == nullptr) {
        settings_->setText(name);
        return;
    }
    const InstrumentSettings& s = *last;
    const std::string_view unit = regmap::unitName(s.unit);
    settings_->setText(
        QStringLiteral("%1: %2, %3 %4 (+%5 % / -%6 %)")
            .arg(name, QString::fromLatin1(unit.data(), static_cast<qsizetype>(unit.size())),
                 langStringOr(languageFile_, QString::fromLatin1(langkey::kReportTarget),
                              QStringLiteral("Target")),
                 QString::number(s.target, 'f', std::max(s.decimals, 0)),
                 QString::number(s.upper, 'f', 1), QString::number(s.lower, 'f', 1)));
}

void CDlgSelData::onDateChanged(const QDate& date) {
    folderPath_ = dayFolder(date);
    files_->clear();
    points_->setText(QStringLiteral("0"));
    companion_ = CompanionRead();
    settings_->clear();
    if (QFileInfo::exists(folderPath_) && listFolder() > 0)
        chooseFile(0);
}

void CDlgSelData::onFileChosen(int index) {
    if (index >= 0)
        chooseFile(index);
}

void CDlgSelData::onCurveChosen(int index) {
    if (index >= 0) {
        points_->setText(QString::number(counts_.of(index + 1)));
        showSettings(index + 1);
    }
}

void CDlgSelData::addStoreTab(const std::string& conninfo, const QString& copiesFolder,
                              const QString& configFile) {
    auto* store = new StoreTab(languageFile_, conninfo, copiesFolder, configFile);
    connect(store, &StoreTab::fetched, this, &CDlgSelData::onFetched);
    tabs_->addTab(store, langStringOr(languageFile_, QString::fromLatin1(langkey::kStoreTab),
                                      QStringLiteral("Store")));
}

void CDlgSelData::onFetched(const QString& path, bool report) {
    if (recording_) {
        showLangMessage(this, languageFile_, langkey::kMessageCheckDataRefused);
        return;
    }
    filePath_ = path;
    reportWanted_ = report;
    accept();
}

void CDlgSelData::onOk() {
    if (!recording_ && files_->count() > 0) {
        accept();
        return;
    }
    showLangMessage(this, languageFile_, langkey::kMessageCheckDataRefused);
    reject();
}

}  // namespace vornex
