#pragma once

#include <QWidget>
#include <array>
#include <optional>
#include <vector>

#include "judge/JudgeRules.h"

#include "report/SpcTexts.h"
#include "spc/ControlChart.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QSpinBox;

namespace vornex {

class ControlChartPlot;
class LiveResults;

// Pulls to chart that belong to no test shown: a tool's history as the store holds it, in time
// order, in one unit, with the newest pull's limits.
struct ChartedPulls {
    QString what;  // shown in place of the choice of instrument
    std::vector<double> magnitudes;
    int decimals = 2;
    std::optional<judge::Band> band;
};

// The control chart of one instrument of the results shown (or of pulls given), a window of its
// own beside the main one: its complete pulls in subgroups, the X-bar chart above the R or s chart,
// the breaks of the rules switched on listed with their rule, and the capability. Drawn again
// whenever the results change, while recording as for a loaded test; the subgroup size, the chart
// and the rules are the bench's, kept in its config.ini.
class ControlChartView : public QWidget {
    Q_OBJECT

public:
    explicit ControlChartView(QWidget* parent = nullptr);

    void setTexts(const SpcTexts& texts);
    // Where the settings are kept; read from it now.
    void setConfigFile(const QString& configFile);
    // The results it charts; they must outlive the view or be replaced before they go.
    void showResults(const LiveResults* results);
    // Charts `pulls` instead of the results' instruments.
    void showPulls(ChartedPulls pulls);

    QComboBox* instruments() const { return instrument_; }
    QSpinBox* subgroupBox() const { return subgroup_; }
    QComboBox* chartBox() const { return chart_; }
    QCheckBox* ruleBox(int rule) const { return rules_[static_cast<size_t>(rule - 1)]; }
    QListWidget* breaks() const { return breaks_; }
    QLabel* capability() const { return capability_; }
    QLabel* what() const { return what_; }
    QLabel* message() const { return message_; }
    const spc::SpcAnalysis& analysis() const { return analysis_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void chart();
    void keepSettings();
    spc::SpcRequest request() const;

    QLabel* what_;
    QLabel* instrumentLabel_;
    QComboBox* instrument_;
    QLabel* subgroupLabel_;
    QSpinBox* subgroup_;
    QLabel* chartLabel_;
    QComboBox* chart_;
    QLabel* rulesLabel_;
    std::array<QCheckBox*, spc::kRuleCount> rules_{};
    ControlChartPlot* plot_;
    QLabel* message_;
    QListWidget* breaks_;
    QLabel* capability_;
    SpcTexts texts_;
    QString configFile_;
    const LiveResults* results_ = nullptr;
    std::optional<ChartedPulls> pulls_;
    spc::SpcAnalysis analysis_;
    bool reading_ = false;  // the settings are being shown, not chosen
};

}  // namespace vornex
