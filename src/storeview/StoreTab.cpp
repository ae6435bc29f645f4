#include "storeview/StoreTab.h"

#include <sys/stat.h>

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <map>

#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "i18n/ProfileFile.h"
#include "record/CompanionFile.h"
#include "store/PgConnection.h"
#include "store/ResultQuery.h"

namespace vornex {

namespace {

// A search waits this long for a server that does not answer.
constexpr int kConnectSeconds = 5;
// Where a row keeps the store's own word for its kind.
constexpr int kKindRole = Qt::UserRole + 1;

enum Column {
    kStartColumn,
    kBenchColumn,
    kOperatorColumn,
    kToolColumn,
    kNameColumn,
    kKindColumn,
    kResultColumn,
    kColumns
};

const QString kSearchSection = QStringLiteral("StoreSearch");
constexpr int kMaxField = 256;

// A name the companion holds that can be a file's name; anything else keeps the UUID.
bool fileNameFor(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) &&
           std::none_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20; }) &&
           QFile::encodeName(name).size() + 5 <= 255;
}

// A date field's bound: nothing when empty; a text that is no date marks the search `bad`.
std::optional<int64_t> fieldDayStart(const QString& text, int days, bool& bad) {
    if (text.trimmed().isEmpty())
        return std::nullopt;
    const std::optional<int64_t> start = store::dayStart(text.trimmed().toStdString(), days);
    bad = bad || !start;
    return start;
}

}  // namespace

StoreTab::StoreTab(const QString& languageFile, std::string conninfo, QString copiesFolder,
                   QString configFile, QWidget* parent)
    : QWidget(parent),
      languageFile_(languageFile),
      conninfo_(std::move(conninfo)),
      copiesFolder_(std::move(copiesFolder)),
      configFile_(std::move(configFile)),
      tool_(new QLineEdit(this)),
      bench_(new QLineEdit(this)),
      operator_(new QLineEdit(this)),
      since_(new QLineEdit(this)),
      until_(new QLineEdit(this)),
      verdict_(new QComboBox(this)),
      found_(new QTableWidget(0, kColumns, this)),
      message_(new QLabel(this)),
      open_(new QPushButton(text(langkey::kStoreOpen, "Open"), this)),
      report_(new QPushButton(text(langkey::kStoreReport, "Report"), this)) {
    setObjectName(QStringLiteral("storeTab"));
    tool_->setObjectName(QStringLiteral("storeTool"));
    bench_->setObjectName(QStringLiteral("storeBench"));
    operator_->setObjectName(QStringLiteral("storeOperator"));
    since_->setObjectName(QStringLiteral("storeSince"));
    until_->setObjectName(QStringLiteral("storeUntil"));
    verdict_->setObjectName(QStringLiteral("storeVerdict"));
    found_->setObjectName(QStringLiteral("storeFound"));
    message_->setObjectName(QStringLiteral("storeMessage"));
    open_->setObjectName(QStringLiteral("storeOpen"));
    report_->setObjectName(QStringLiteral("storeReport"));
    verdict_->addItem(text(langkey::kStoreAny, "any"), QString());
    for (const char* word : {"low", "high", "fail"})
        verdict_->addItem(shown(word), QString::fromLatin1(word));

    auto* form = new QFormLayout;
    form->addRow(text(langkey::kStoreTool, "Tool:"), tool_);
    form->addRow(text(langkey::kStoreBench, "Bench:"), bench_);
    form->addRow(text(langkey::kStoreOperator, "Operator:"), operator_);
    form->addRow(text(langkey::kStoreSince, "From (YYYY-MM-DD):"), since_);
    form->addRow(text(langkey::kStoreUntil, "To (YYYY-MM-DD):"), until_);
    form->addRow(text(langkey::kStoreVerdict, "Verdict:"), verdict_);
    auto* searchButton = new QPushButton(text(langkey::kStoreSearch, "Search"), this);
    searchButton->setObjectName(QStringLiteral("storeSearch"));

    found_->setHorizontalHeaderLabels(
        {text(langkey::kStoreColStart, "Start"), text(langkey::kStoreColBench, "Bench"),
         text(langkey::kStoreColOperator, "Operator"), text(langkey::kStoreColTool, "Tool"),
         text(langkey::kStoreColName, "Test"), text(langkey::kStoreColKind, "Kind"),
         text(langkey::kStoreColResult, "Result")});
    found_->setSelectionBehavior(QAbstractItemView::SelectRows);
    found_->setSelectionMode(QAbstractItemView::SingleSelection);
    found_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    found_->horizontalHeader()->setStretchLastSection(true);
    found_->verticalHeader()->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(searchButton);
    buttons->addStretch(1);
    buttons->addWidget(open_);
    buttons->addWidget(report_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(found_, 1);
    layout->addWidget(message_);
    layout->addLayout(buttons);

    connect(searchButton, &QPushButton::clicked, this, &StoreTab::search);
    connect(open_, &QPushButton::clicked, this, [this] { fetch(false); });
    connect(report_, &QPushButton::clicked, this, [this] { fetch(true); });
    connect(found_, &QTableWidget::itemSelectionChanged, this, &StoreTab::chosenChanged);
    connect(found_, &QTableWidget::cellDoubleClicked, this, [this] { fetch(false); });
    const bool configured = !conninfo_.empty();
    for (QWidget* w : {static_cast<QWidget*>(searchButton), static_cast<QWidget*>(found_)})
        w->setEnabled(configured);
    if (!configured) {
        message_->setText(text(langkey::kStoreNotConfigured,
                               "No store is configured: set [Store] Uri= in config.ini."));
    }
    restoreSearch();
    chosenChanged();
}

void StoreTab::restoreSearch() {
    if (configFile_.isEmpty())
        return;
    const ProfileFile config(configFile_);
    const auto kept = [&config](const char* key) {
        return config.read(kSearchSection, QString::fromLatin1(key), QString(), kMaxField);
    };
    tool_->setText(kept("Tool"));
    bench_->setText(kept("Bench"));
    operator_->setText(kept("Operator"));
    since_->setText(kept("Since"));
    until_->setText(kept("Until"));
    verdict_->setCurrentIndex(std::max(0, verdict_->findData(kept("Verdict"))));
}

// Kept as typed, a date the search refused included, so that it can be mended next time.
void StoreTab::keepSearch() const {
    if (configFile_.isEmpty())
        return;
    const ProfileFile config(configFile_);
    const std::pair<const char*, QString> fields[] = {
        {"Tool", tool_->text()},         {"Bench", bench_->text()},
        {"Operator", operator_->text()}, {"Since", since_->text()},
        {"Until", until_->text()},       {"Verdict", verdict_->currentData().toString()}};
    for (const auto& [key, value] : fields)
        config.write(kSearchSection, QString::fromLatin1(key), value.trimmed());
}

QString StoreTab::text(const char* key, const char* fallback) const {
    return langStringOr(languageFile_, QString::fromLatin1(key), QString::fromUtf8(fallback));
}

// The store's words for kinds and results, as the user's language says them.
QString StoreTab::shown(const std::string& word) const {
    static const std::map<std::string, const char*> keys{
        {"test", langkey::kStoreKindTest},   {"run", langkey::kStoreKindRun},
        {"pass", langkey::kVerdictPass},     {"low", langkey::kVerdictLow},
        {"high", langkey::kVerdictHigh},     {"none", langkey::kVerdictNone},
        {"fail", langkey::kStoreResultFail}, {"abandoned", langkey::kStoreResultAbandoned}};
    const auto key = keys.find(word);
    return key == keys.end() ? QString::fromStdString(word) : text(key->second, word.c_str());
}

void StoreTab::search() {
    store::FindFilter filter;
    bool badDate = false;
    filter.tool = tool_->text().trimmed().toStdString();
    filter.bench = bench_->text().trimmed().toStdString();
    filter.operatorName = operator_->text().trimmed().toStdString();
    filter.since = fieldDayStart(since_->text(), 0, badDate);
    filter.until = fieldDayStart(until_->text(), 1, badDate);
    filter.verdict = verdict_->currentData().toString().toStdString();
    keepSearch();
    found_->setRowCount(0);
    if (badDate) {
        message_->setText(text(langkey::kStoreBadDate, "Dates are written YYYY-MM-DD."));
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    store::PgConnection connection(conninfo_, kConnectSeconds);
    std::string error = connection.ok() ? std::string() : connection.error();
    const std::vector<store::FoundResult> found =
        error.empty() ? store::findResults(connection, filter, error)
                      : std::vector<store::FoundResult>();
    QGuiApplication::restoreOverrideCursor();
    if (!error.empty()) {
        message_->setText(text(langkey::kStoreFailed, "The store cannot be searched: %1")
                              .arg(QString::fromStdString(error)));
        return;
    }
    found_->setRowCount(static_cast<int>(found.size()));
    for (int row = 0; row < static_cast<int>(found.size()); ++row) {
        const store::FoundResult& f = found[static_cast<size_t>(row)];
        const QString start = f.started ? QDateTime::fromSecsSinceEpoch(*f.started)
                                              .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                        : QString();
        const QString cells[kColumns] = {start,
                                         QString::fromStdString(f.bench),
                                         QString::fromStdString(f.operatorName),
                                         QString::fromStdString(f.tool),
                                         QString::fromStdString(f.name),
                                         shown(f.kind),
                                         shown(f.result)};
        for (int column = 0; column < kColumns; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setData(Qt::UserRole, QString::fromStdString(f.uuid));
            item->setData(kKindRole, QString::fromStdString(f.kind));
            item->setToolTip(QString::fromStdString(f.uuid));
            found_->setItem(row, column, item);
        }
    }
    for (int column = 0; column < kResultColumn; ++column)
        found_->resizeColumnToContents(column);
    message_->setText(text(langkey::kStoreFound, "%1 found").arg(found.size()));
    if (!found.empty())
        found_->selectRow(0);
}

void StoreTab::chosenChanged() {
    const int row = found_->currentRow();
    const bool test = row >= 0 && found_->item(row, kKindColumn) &&
                      found_->item(row, kKindColumn)->data(kKindRole) == QLatin1String("test");
    open_->setEnabled(test);
    report_->setEnabled(test);
}

void StoreTab::fetch(bool report) {
    const int row = found_->currentRow();
    if (row < 0 || !open_->isEnabled())
        return;
    std::string error;
    const QString path = namedCopy(found_->item(row, 0)->data(Qt::UserRole).toString(), error);
    if (path.isEmpty()) {
        message_->setText(text(langkey::kStoreFailed, "The store cannot be searched: %1")
                              .arg(QString::fromStdString(error)));
        return;
    }
    emit fetched(path, report);
}

// The window's title, the report and the printed page name a test by its file: the copy takes the
// test's name, in a folder of its UUID that keeps two tests of one name apart.
QString StoreTab::namedCopy(const QString& uuid, std::string& error) const {
    const QString folder = copiesFolder_ + uuid + QLatin1Char('/');
    QDir().mkpath(folder);
    const std::string fetched =
        QFile::encodeName(folder + uuid + QStringLiteral(".pdat")).toStdString();
    store::PgConnection connection(conninfo_, kConnectSeconds);
    if (!connection.ok()) {
        error = connection.error();
        return QString();
    }
    if (!store::fetchStoredFile(connection, uuid.toStdString(), fetched, error))
        return QString();
    const std::optional<Companion> companion = readCompanion(companionPath(fetched)).companion;
    const QString name = companion ? QString::fromStdString(companion->testName) : QString();
    std::string path = fetched;
    if (fileNameFor(name)) {
        path = QFile::encodeName(folder + name + QStringLiteral(".pdat")).toStdString();
        std::error_code failed;
        std::filesystem::rename(fetched, path, failed);
        if (!failed)
            std::filesystem::rename(companionPath(fetched), companionPath(path), failed);
        if (failed) {
            error = "cannot name the copy " + path + ": " + failed.message();
            return QString();
        }
    }
    // A copy of what the store holds: opened to be seen, never recorded into.
    ::chmod(path.c_str(), 0444);
    return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace vornex
