#include "storeview/StoreTab.h"

#include <QComboBox>
#include <QDateTime>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

#include "config/PrivateProfile.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "i18n/SignKeys.h"
#include "i18n/StoreKeys.h"
#include "report/SpcTexts.h"
#include "results/ControlChartView.h"
#include "sign/Signatures.h"
#include "storeview/StoreTabWorker.h"

namespace vornex {

namespace {

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
      configured_(!conninfo.empty()),
      configFile_(std::move(configFile)),
      tool_(new QLineEdit(this)),
      bench_(new QLineEdit(this)),
      operator_(new QLineEdit(this)),
      since_(new QLineEdit(this)),
      until_(new QLineEdit(this)),
      verdict_(new QComboBox(this)),
      found_(new QTableWidget(0, kColumns, this)),
      notes_(new QPlainTextEdit(this)),
      message_(new QLabel(this)),
      open_(new QPushButton(text(langkey::kStoreOpen, "Open"), this)),
      report_(new QPushButton(text(langkey::kStoreReport, "Report"), this)),
      chart_(new QPushButton(text(langkey::kStoreChart, "Control chart of the tool..."), this)),
      worker_(std::make_unique<StoreTabWorker>(std::move(conninfo), std::move(copiesFolder))) {
    setObjectName(QStringLiteral("storeTab"));
    tool_->setObjectName(QStringLiteral("storeTool"));
    bench_->setObjectName(QStringLiteral("storeBench"));
    operator_->setObjectName(QStringLiteral("storeOperator"));
    since_->setObjectName(QStringLiteral("storeSince"));
    until_->setObjectName(QStringLiteral("storeUntil"));
    verdict_->setObjectName(QStringLiteral("storeVerdict"));
    found_->setObjectName(QStringLiteral("storeFound"));
    notes_->setObjectName(QStringLiteral("storeRecordNotes"));
    message_->setObjectName(QStringLiteral("storeMessage"));
    open_->setObjectName(QStringLiteral("storeOpen"));
    report_->setObjectName(QStringLiteral("storeReport"));
    chart_->setObjectName(QStringLiteral("storeChart"));
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
    notes_->setReadOnly(true);
    notes_->setLineWrapMode(QPlainTextEdit::NoWrap);
    notes_->setMaximumHeight(notes_->fontMetrics().lineSpacing() * 6);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(searchButton);
    buttons->addWidget(chart_);
    buttons->addStretch(1);
    buttons->addWidget(open_);
    buttons->addWidget(report_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(found_, 1);
    layout->addWidget(notes_);
    layout->addWidget(message_);
    layout->addLayout(buttons);

    connect(searchButton, &QPushButton::clicked, this, &StoreTab::search);
    connect(chart_, &QPushButton::clicked, this, &StoreTab::chartTool);
    connect(worker_.get(), &StoreTabWorker::historyRead, this, &StoreTab::showHistory,
            Qt::QueuedConnection);
    connect(open_, &QPushButton::clicked, this, [this] { fetch(false); });
    connect(report_, &QPushButton::clicked, this, [this] { fetch(true); });
    connect(found_, &QTableWidget::itemSelectionChanged, this, &StoreTab::chosenChanged);
    connect(found_, &QTableWidget::cellDoubleClicked, this, [this] { fetch(false); });
    connect(worker_.get(), &StoreTabWorker::searched, this, &StoreTab::showFound,
            Qt::QueuedConnection);
    connect(worker_.get(), &StoreTabWorker::fetched, this, &StoreTab::showFetched,
            Qt::QueuedConnection);
    connect(worker_.get(), &StoreTabWorker::reviewed, this, &StoreTab::showReviewed,
            Qt::QueuedConnection);
    for (QWidget* w : {static_cast<QWidget*>(searchButton), static_cast<QWidget*>(chart_),
                       static_cast<QWidget*>(found_)})
        w->setEnabled(configured_);
    if (!configured_) {
        message_->setText(text(langkey::kStoreNotConfigured,
                               "No store is configured: set [Store] Uri= in config.ini."));
    }
    restoreSearch();
    chosenChanged();
}

StoreTab::~StoreTab() = default;

void StoreTab::restoreSearch() {
    if (configFile_.isEmpty())
        return;
    const PrivateProfile config(configFile_);
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
    const PrivateProfile config(configFile_);
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
    // A search still under way is not shown, whether or not this one is asked.
    ++searchSerial_;
    if (badDate) {
        message_->setText(text(langkey::kStoreBadDate, "Dates are written YYYY-MM-DD."));
        return;
    }
    message_->setText(text(langkey::kStoreSearching, "Searching the store..."));
    worker_->search(searchSerial_, filter);
}

void StoreTab::showFound(uint64_t serial, const std::vector<store::FoundResult>& found,
                         const QString& error) {
    if (serial != searchSerial_)
        return;
    if (!error.isEmpty()) {
        showFailed(error);
        return;
    }
    found_->setRowCount(static_cast<int>(found.size()));
    for (int row = 0; row < static_cast<int>(found.size()); ++row) {
        const store::FoundResult& f = found[static_cast<size_t>(row)];
        const QString start = f.started ? QDateTime::fromSecsSinceEpoch(*f.started)
                                              .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                        : QString();
        const QString cells[kColumns] = {
            start,
            QString::fromStdString(f.bench),
            QString::fromStdString(f.operatorName),
            QString::fromStdString(f.tool),
            QString::fromStdString(f.name),
            shown(f.kind),
            f.amended ? text(langkey::kStoreAmended, "%1 (amended)").arg(shown(f.result))
                      : shown(f.result)};
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

// The chosen record's review is asked for at once: it is seen before the record is opened.
void StoreTab::chosenChanged() {
    const int row = found_->currentRow();
    const bool test = row >= 0 && found_->item(row, kKindColumn) &&
                      found_->item(row, kKindColumn)->data(kKindRole) == QLatin1String("test");
    open_->setEnabled(test);
    report_->setEnabled(test);
    notes_->clear();
    reviewed_ = row >= 0 && found_->item(row, 0)
                    ? found_->item(row, 0)->data(Qt::UserRole).toString()
                    : QString();
    if (!reviewed_.isEmpty())
        worker_->review(reviewed_);
}

void StoreTab::fetch(bool report) {
    const int row = found_->currentRow();
    if (row < 0 || !open_->isEnabled())
        return;
    worker_->fetch(found_->item(row, 0)->data(Qt::UserRole).toString(), report);
}

void StoreTab::showFetched(const QString& path, bool report, const QString& error) {
    if (path.isEmpty()) {
        showFailed(error);
        return;
    }
    emit fetched(path, report);
}

void StoreTab::showReviewed(const QString& uuid, const RecordReview& review) {
    if (uuid == reviewed_)
        showReview(review);
}

// As `store get` prints them, in the window's language.
void StoreTab::showReview(const RecordReview& review) {
    if (!review.error.isEmpty()) {
        notes_->setPlainText(
            text(langkey::kStoreReviewFailed, "Its amendments and signatures cannot be read: %1")
                .arg(review.error));
        return;
    }
    QStringList lines;
    for (const store::Amendment& a : review.amendments) {
        QString field = QString::fromStdString(a.field);
        for (const langkey::AmendableField& amendable : langkey::kAmendableFields)
            if (a.field == amendable.field)
                field = text(amendable.key, amendable.fallback);
        lines << text(langkey::kStoreAmendment,
                      "Amendment %1 to %2: %3 \"%4\" -> \"%5\" (%6) by %7 at %8")
                     .arg(QString::number(a.number), QString::fromStdString(a.original), field,
                          QString::fromStdString(a.oldValue), QString::fromStdString(a.newValue),
                          QString::fromStdString(a.reason), QString::fromStdString(a.by),
                          QString::fromStdString(sign::printedTime(a.at)));
    }
    static const std::map<std::string, std::pair<const char*, const char*>> signedKeys{
        {"performed", {langkey::kSignedPerformed, "Performed by %1, %2 (SHA-256 %3)"}},
        {"reviewed", {langkey::kSignedReviewed, "Reviewed by %1, %2 (SHA-256 %3)"}},
        {"approved", {langkey::kSignedApproved, "Approved by %1, %2 (SHA-256 %3)"}}};
    for (const store::StoredSignature& s : review.signatures) {
        const auto key = signedKeys.find(s.meaning);
        const QString hash = QString::fromStdString(s.sha256).left(16) + QChar(0x2026);
        lines << (key == signedKeys.end()
                      ? QString::fromStdString(store::signatureLine(s))
                      : text(key->second.first, key->second.second)
                            .arg(QString::fromStdString(s.name),
                                 QString::fromStdString(sign::printedTime(s.time)), hash));
    }
    notes_->setPlainText(lines.isEmpty()
                             ? text(langkey::kStoreNoReview, "No amendments and no signatures.")
                             : lines.join(QLatin1Char('\n')));
}

void StoreTab::showFailed(const QString& error) {
    message_->setText(text(langkey::kStoreFailed, "The store cannot be searched: %1").arg(error));
}

void StoreTab::chartTool() {
    const QString tool = tool_->text().trimmed();
    if (tool.isEmpty()) {
        message_->setText(
            text(langkey::kStoreChartNeedsTool, "Type the tool whose history is charted."));
        return;
    }
    message_->setText(
        text(langkey::kStoreChartReading, "Reading tool %1's history from the store...").arg(tool));
    worker_->history(tool);
}

void StoreTab::showHistory(const QString& tool, const store::ToolHistory& history,
                           const QString& error) {
    if (!error.isEmpty()) {
        showFailed(error);
        return;
    }
    if (history.magnitudes.empty()) {
        message_->setText(
            text(langkey::kStoreChartNone, "The store holds no complete pull of tool %1.")
                .arg(tool));
        return;
    }
    message_->clear();
    if (chartView_ == nullptr) {
        chartView_ = new ControlChartView(this);
        chartView_->setObjectName(QStringLiteral("storeChartView"));
        chartView_->setTexts(spcTexts(languageFile_));
        if (!configFile_.isEmpty())
            chartView_->setConfigFile(configFile_);
    }
    QString what = text(langkey::kStoreChartWhat, "Tool %1 in the store: %2 pulls in %3 tests")
                       .arg(tool)
                       .arg(history.magnitudes.size())
                       .arg(history.tests);
    if (history.otherUnits > 0)
        what = text(langkey::kStoreChartOtherUnits, "%1 (%2 pulls in another unit left out)")
                   .arg(what)
                   .arg(history.otherUnits);
    chartView_->showPulls({what, history.magnitudes, history.decimals, history.band});
    chartView_->show();
    chartView_->raise();
}

}  // namespace vornex
