#include "storeview/StoreTab.h"

#include <sys/stat.h>

#include <QComboBox>
#include <QDate>
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
#include <map>

#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "store/PgConnection.h"
#include "store/ResultQuery.h"

namespace vornex {

namespace {

// A search waits this long for a server that does not answer.
constexpr int kConnectSeconds = 5;
// Where a row keeps the store's own word for its kind.
constexpr int kKindRole = Qt::UserRole + 1;

std::optional<int64_t> dayStart(const QString& text, int days, bool& bad) {
    if (text.trimmed().isEmpty())
        return std::nullopt;
    const QDate date = QDate::fromString(text.trimmed(), QStringLiteral("yyyy-MM-dd"));
    bad = bad || !date.isValid();
    if (!date.isValid())
        return std::nullopt;
    return date.addDays(days).startOfDay().toSecsSinceEpoch();
}

}  // namespace

StoreTab::StoreTab(const QString& languageFile, std::string conninfo, QString copiesFolder,
                   QWidget* parent)
    : QWidget(parent),
      languageFile_(languageFile),
      conninfo_(std::move(conninfo)),
      copiesFolder_(std::move(copiesFolder)),
      tool_(new QLineEdit(this)),
      bench_(new QLineEdit(this)),
      operator_(new QLineEdit(this)),
      since_(new QLineEdit(this)),
      until_(new QLineEdit(this)),
      verdict_(new QComboBox(this)),
      found_(new QTableWidget(0, 5, this)),
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
         text(langkey::kStoreColTool, "Tool"), text(langkey::kStoreColKind, "Kind"),
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
    chosenChanged();
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
    filter.since = dayStart(since_->text(), 0, badDate);
    filter.until = dayStart(until_->text(), 1, badDate);
    filter.verdict = verdict_->currentData().toString().toStdString();
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
        const QString cells[] = {start, QString::fromStdString(f.bench),
                                 QString::fromStdString(f.tool), shown(f.kind), shown(f.result)};
        for (int column = 0; column < 5; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setData(Qt::UserRole, QString::fromStdString(f.uuid));
            item->setData(kKindRole, QString::fromStdString(f.kind));
            item->setToolTip(QString::fromStdString(f.uuid));
            found_->setItem(row, column, item);
        }
    }
    for (int column = 0; column < 4; ++column)
        found_->resizeColumnToContents(column);
    message_->setText(text(langkey::kStoreFound, "%1 found").arg(found.size()));
    if (!found.empty())
        found_->selectRow(0);
}

void StoreTab::chosenChanged() {
    const int row = found_->currentRow();
    const bool test = row >= 0 && found_->item(row, 3) &&
                      found_->item(row, 3)->data(kKindRole) == QLatin1String("test");
    open_->setEnabled(test);
    report_->setEnabled(test);
}

void StoreTab::fetch(bool report) {
    const int row = found_->currentRow();
    if (row < 0 || !open_->isEnabled())
        return;
    const QString uuid = found_->item(row, 0)->data(Qt::UserRole).toString();
    QDir().mkpath(copiesFolder_);
    const QString path = copiesFolder_ + uuid + QStringLiteral(".pdat");
    store::PgConnection connection(conninfo_, kConnectSeconds);
    std::string error = connection.ok() ? std::string() : connection.error();
    if (error.empty())
        store::fetchStoredFile(connection, uuid.toStdString(), path.toStdString(), error);
    if (!error.empty()) {
        message_->setText(text(langkey::kStoreFailed, "The store cannot be searched: %1")
                              .arg(QString::fromStdString(error)));
        return;
    }
    // A copy of what the store holds: opened to be seen, never recorded into.
    ::chmod(QFile::encodeName(path).constData(), 0444);
    emit fetched(path, report);
}

}  // namespace vornex
