#include "results/ResultsPanel.h"

#include <QDoubleSpinBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "link/RegisterMap.h"
#include "report/SpcTexts.h"
#include "results/ControlChartView.h"
#include "results/WrappingHeader.h"

namespace vornex {

namespace {

QString figure(const std::optional<double>& value, int decimals) {
    return QString::fromStdString(judge::figureText(value, decimals));
}

}  // namespace

ResultsPanel::ResultsPanel(QWidget* parent)
    : QWidget(parent),
      title_(new QLabel),
      thresholdLabel_(new QLabel),
      threshold_(new QDoubleSpinBox),
      chartButton_(new QPushButton),
      table_(new QTableWidget(0, kColumns)),
      peaks_(new QLabel),
      chartView_(new ControlChartView(this)) {
    threshold_->setRange(0.0, 1e6);
    threshold_->setDecimals(3);
    threshold_->setMinimumWidth(110);
    auto* top = new QHBoxLayout;
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    top->addWidget(title_);
    top->addStretch();
    top->addWidget(thresholdLabel_);
    top->addWidget(threshold_);
    top->addWidget(chartButton_);
    connect(chartButton_, &QPushButton::clicked, this, [this] {
        chartView_->show();
        chartView_->raise();
        chartView_->activateWindow();
    });
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->verticalHeader()->hide();
    table_->setHorizontalHeader(new WrappingHeader(table_));
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addLayout(top);
    layout->addWidget(table_);
    peaks_->setWordWrap(true);
    layout->addWidget(peaks_);
    connect(threshold_, &QDoubleSpinBox::valueChanged, this, &ResultsPanel::thresholdChanged);
    setTexts(reportTexts(QString()));
    setSpcTexts(spcTexts(QString()));
}

void ResultsPanel::setSpcTexts(const SpcTexts& texts) {
    chartButton_->setText(texts.button);
    chartView_->setTexts(texts);
}

void ResultsPanel::setConfigFile(const QString& configFile) {
    chartView_->setConfigFile(configFile);
}

void ResultsPanel::setTexts(const ReportTexts& t) {
    texts_ = t;
    title_->setText(t.results);
    thresholdLabel_->setText(t.threshold);
    threshold_->setSpecialValueText(t.automatic);
    table_->setHorizontalHeaderLabels({t.slave, t.count, t.lastPeak, t.pass, t.low, t.high,
                                       t.incomplete, QStringLiteral("n"), t.mean, t.sd, t.min,
                                       t.max, QStringLiteral("Cp"), QStringLiteral("Cpk")});
    showPeakSources(sources_);
    fitColumns();
}

bool ResultsPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_->viewport() && event->type() == QEvent::Resize)
        fitColumns();
    return QWidget::eventFilter(watched, event);
}

// Each column as wide as its title's longest word and its widest cell, and what is left over
// shared among all of them.
void ResultsPanel::fitColumns() {
    QHeaderView* header = table_->horizontalHeader();
    const QAbstractItemView* view = table_;
    std::array<int, kColumns> needed{};
    int total = 0;
    for (int c = 0; c < kColumns; ++c) {
        needed[static_cast<size_t>(c)] =
            std::max(header->sectionSizeHint(c), view->sizeHintForColumn(c));
        total += needed[static_cast<size_t>(c)];
    }
    const int spare = std::max(0, table_->viewport()->width() - total);
    for (int c = 0; c < kColumns; ++c) {
        header->resizeSection(
            c, needed[static_cast<size_t>(c)] + spare * (c + 1) / kColumns - spare * c / kColumns);
    }
    header->updateGeometry();
}

void ResultsPanel::showPeakSources(const std::vector<std::pair<int, PeakSource>>& sources) {
    sources_ = sources;
    QStringList parts;
    for (const auto& [slave, source] : sources)
        parts << QStringLiteral("%1: %2").arg(QString::number(slave),
                                              peakSourceText(source, texts_));
    peaks_->setText(parts.isEmpty()
                        ? QString()
                        : texts_.peaks + QStringLiteral(" — ") + parts.join(QStringLiteral("; ")));
}

std::optional<double> ResultsPanel::threshold() const {
    return threshold_->value() > 0.0 ? std::optional(threshold_->value()) : std::nullopt;
}

void ResultsPanel::showResults(const LiveResults& results, bool recording) {
    const std::vector<int> slaves = results.slaves();
    table_->setRowCount(static_cast<int>(slaves.size()));
    for (size_t row = 0; row < slaves.size(); ++row)
        setRow(static_cast<int>(row), slaves[row], results, recording);
    fitColumns();
    chartView_->showResults(&results);
}

void ResultsPanel::setRow(int row, int slave, const LiveResults& results, bool recording) {
    const judge::InstrumentJudge& judge = *results.judgeOf(slave);
    const InstrumentSettings* settings = results.settingsOf(slave);
    const int d = judge.settings().decimals;
    const judge::Statistics s = judge.statistics();
    const auto& events = judge.events();
    const std::optional<judge::JudgedEvent> pending = judge.pending();
    const size_t cut = pending && !recording ? 1 : 0;
    const judge::JudgedEvent* last = cut ? &*pending : events.empty() ? nullptr : &events.back();
    QString name = QString::number(slave);
    if (settings != nullptr && settings->unit > 0 && settings->unit < regmap::kUnitCount) {
        const std::string_view unit = regmap::unitName(settings->unit);
        name += QStringLiteral(" (%1)").arg(
            QString::fromLatin1(unit.data(), static_cast<qsizetype>(unit.size())));
    }
    const QString cells[kColumns] = {
        name,
        QString::number(events.size() + cut),
        pending && recording ? texts_.open
        : last != nullptr    ? figure(last->event.peak, judge.timeline()[last->settings].decimals)
                             : QStringLiteral("-"),
        QString::number(judge.count(judge::Verdict::Pass)),
        QString::number(judge.count(judge::Verdict::Low)),
        QString::number(judge.count(judge::Verdict::High)),
        QString::number(judge.count(judge::Verdict::Incomplete) + cut),
        QString::number(s.n),
        figure(s.mean, d),
        figure(s.sd, d),
        figure(s.min, d),
        figure(s.max, d),
        figure(s.cp, 2),
        figure(s.cpk, 2),
    };
    const bool bad = last != nullptr && (last->verdict == judge::Verdict::Low ||
                                         last->verdict == judge::Verdict::High);
    for (int c = 0; c < kColumns; ++c) {
        QTableWidgetItem* item = table_->item(row, c);
        if (item == nullptr) {
            item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            table_->setItem(row, c, item);
        }
        item->setText(cells[c]);
        item->setBackground(bad ? QColor(235, 80, 80) : QColor(Qt::white));
        item->setForeground(bad ? QColor(Qt::white) : QColor(Qt::black));
    }
}

}  // namespace vornex
