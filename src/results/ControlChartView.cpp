#include "results/ControlChartView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

#include "config/BenchConfig.h"
#include "judge/LiveResults.h"
#include "judge/PeakStatistics.h"
#include "results/ControlChartPlot.h"
#include "spc/ChartConstants.h"

namespace vornex {

ControlChartView::ControlChartView(QWidget* parent)
    : QWidget(parent, Qt::Window),
      what_(new QLabel),
      instrumentLabel_(new QLabel),
      instrument_(new QComboBox),
      subgroupLabel_(new QLabel),
      subgroup_(new QSpinBox),
      chartLabel_(new QLabel),
      chart_(new QComboBox),
      rulesLabel_(new QLabel),
      plot_(new ControlChartPlot),
      message_(new QLabel),
      breaks_(new QListWidget),
      capability_(new QLabel) {
    subgroup_->setRange(spc::kMinSubgroup, spc::kMaxSubgroup);
    subgroup_->setValue(5);
    chart_->addItems({QString(), QString()});
    auto* settings = new QHBoxLayout;
    what_->hide();
    for (QWidget* w :
         std::initializer_list<QWidget*>{what_, instrumentLabel_, instrument_, subgroupLabel_,
                                         subgroup_, chartLabel_, chart_, rulesLabel_})
        settings->addWidget(w);
    for (int rule = 1; rule <= spc::kRuleCount; ++rule) {
        auto* box = new QCheckBox(QString::number(rule));
        box->setChecked(true);
        rules_[static_cast<size_t>(rule - 1)] = box;
        settings->addWidget(box);
        connect(box, &QCheckBox::toggled, this, [this] {
            keepSettings();
            chart();
        });
    }
    settings->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(settings);
    layout->addWidget(plot_, 3);
    message_->setWordWrap(true);
    layout->addWidget(message_);
    QFont bold = capability_->font();
    bold.setBold(true);
    capability_->setFont(bold);
    layout->addWidget(capability_);
    // A long history lists hundreds of thousands of breaks: measured once, not line by line.
    breaks_->setUniformItemSizes(true);
    layout->addWidget(breaks_, 1);
    connect(instrument_, &QComboBox::currentIndexChanged, this, [this] { chart(); });
    connect(subgroup_, &QSpinBox::valueChanged, this, [this] {
        keepSettings();
        chart();
    });
    connect(chart_, &QComboBox::currentIndexChanged, this, [this] {
        keepSettings();
        chart();
    });
    setTexts(spcTexts(QString()));
    resize(900, 680);
}

void ControlChartView::setTexts(const SpcTexts& t) {
    texts_ = t;
    setWindowTitle(t.title);
    instrumentLabel_->setText(t.instrument);
    subgroupLabel_->setText(t.subgroup);
    chartLabel_->setText(t.chart);
    chart_->setItemText(0, t.chartRange);
    chart_->setItemText(1, t.chartSd);
    rulesLabel_->setText(t.rules);
    for (size_t i = 0; i < rules_.size(); ++i)
        rules_[i]->setToolTip(t.rule[i]);
    chart();
}

void ControlChartView::setConfigFile(const QString& configFile) {
    configFile_ = configFile;
    const ControlChartSettings kept = BenchConfig(configFile_).controlChart();
    reading_ = true;
    subgroup_->setValue(kept.subgroup);
    chart_->setCurrentIndex(kept.bySd ? 1 : 0);
    const spc::RuleSet on = spc::parseRules(kept.rules).value_or(spc::allRules());
    for (int rule = 1; rule <= spc::kRuleCount; ++rule)
        ruleBox(rule)->setChecked(on.test(static_cast<size_t>(rule - 1)));
    reading_ = false;
    chart();
}

void ControlChartView::keepSettings() {
    if (reading_ || configFile_.isEmpty())
        return;
    ControlChartSettings settings;
    settings.subgroup = subgroup_->value();
    settings.bySd = chart_->currentIndex() == 1;
    QStringList on;
    for (int rule = 1; rule <= spc::kRuleCount; ++rule) {
        if (ruleBox(rule)->isChecked())
            on << QString::number(rule);
    }
    settings.rules = on.join(QLatin1Char(',')).toStdString();
    BenchConfig(configFile_).setControlChart(settings);
}

void ControlChartView::showResults(const LiveResults* results) {
    results_ = results;
    pulls_.reset();
    what_->hide();
    instrumentLabel_->show();
    instrument_->show();
    const int chosen = instrument_->currentData().toInt();
    const QSignalBlocker quiet(instrument_);
    instrument_->clear();
    if (results_ != nullptr) {
        for (int slave : results_->slaves())
            instrument_->addItem(QString::number(slave), slave);
    }
    instrument_->setCurrentIndex(std::max(0, instrument_->findData(chosen)));
    if (isVisible())
        chart();
}

void ControlChartView::showPulls(ChartedPulls pulls) {
    pulls_ = std::move(pulls);
    what_->setText(pulls_->what);
    what_->show();
    instrumentLabel_->hide();
    instrument_->hide();
    chart();
}

void ControlChartView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    chart();
}

spc::SpcRequest ControlChartView::request() const {
    spc::SpcRequest r;
    r.subgroupSize = subgroup_->value();
    r.chart = chart_->currentIndex() == 1 ? spc::Chart::XbarS : spc::Chart::XbarR;
    r.rules.reset();
    for (int rule = 1; rule <= spc::kRuleCount; ++rule)
        r.rules.set(static_cast<size_t>(rule - 1), ruleBox(rule)->isChecked());
    return r;
}

// The chart is worked out again from the judge's pulls each time: the view keeps no copy of them.
void ControlChartView::chart() {
    breaks_->clear();
    analysis_ = spc::SpcAnalysis();
    const judge::InstrumentJudge* judge =
        !pulls_ && results_ != nullptr && instrument_->count() > 0
            ? results_->judgeOf(instrument_->currentData().toInt())
            : nullptr;
    spc::SpcRequest r = request();
    int decimals = 2;
    const std::vector<double>* magnitudes = nullptr;
    std::optional<judge::Band> band;
    if (pulls_) {
        magnitudes = &pulls_->magnitudes;
        decimals = pulls_->decimals;
        band = pulls_->band;
    } else if (judge != nullptr) {
        magnitudes = &judge->magnitudes();
        decimals = judge->settings().decimals;
        band = judge->settings().band;
    }
    if (magnitudes != nullptr) {
        r.resolution = std::pow(10.0, -decimals);
        if (band)
            r.tolerance = spc::Tolerance{band->low, band->high, band->target};
        analysis_ = spc::analyse(*magnitudes, r);
    }
    plot_->show(analysis_, decimals);
    if (analysis_.subgroups.size() < 2) {
        message_->setText(texts_.tooFew.arg(r.subgroupSize));
        capability_->clear();
        return;
    }
    message_->setText(analysis_.leftOut > 0 ? texts_.leftOut.arg(analysis_.leftOut) : QString());
    const spc::Capability& c = analysis_.capability;
    const auto figure = [](const std::optional<double>& v) {
        return QString::fromStdString(judge::figureText(v, 2));
    };
    capability_->setText(
        texts_.capability.arg(figure(c.cp), figure(c.cpk), figure(c.pp), figure(c.ppk)));
    for (const spc::ListedBreak& b : spc::listedBreaks(analysis_)) {
        if (b.rule == 0)
            breaks_->addItem(texts_.breakSpread.arg(b.subgroup + 1)
                                 .arg(r.chart == spc::Chart::XbarS ? texts_.sd : texts_.range));
        else
            breaks_->addItem(texts_.breakRule.arg(b.subgroup + 1)
                                 .arg(b.rule)
                                 .arg(texts_.rule[static_cast<size_t>(b.rule - 1)]));
    }
    if (breaks_->count() == 0)
        breaks_->addItem(texts_.noBreaks);
}

}  // namespace vornex
