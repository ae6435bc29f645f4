#pragma once

#include <QWidget>
#include <optional>
#include <utility>
#include <vector>

#include "judge/LiveResults.h"
#include "report/PeakSource.h"
#include "report/ReportTexts.h"

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace vornex {

class ControlChartView;
struct SpcTexts;

// The results table under the graph: per instrument the number of events, the last peak, the
// pass / low / high / incomplete counts and the statistics of the peaks. A row is red while its
// instrument's last peak is low or high. A threshold typed above the table replaces 5 % of each
// range. While recording, a pull still on is shown as open and not counted; otherwise it is
// listed as incomplete, as the report lists it. Under the table, where each instrument's peaks
// come from.
class ResultsPanel : public QWidget {
    Q_OBJECT

public:
    enum Column {
        Slave,
        Events,
        LastPeak,
        Pass,
        Low,
        High,
        Incomplete,
        N,
        Mean,
        Sd,
        Min,
        Max,
        Cp,
        Cpk
    };
    static constexpr int kColumns = Cpk + 1;

    explicit ResultsPanel(QWidget* parent = nullptr);

    // A few rows high: the graph above keeps most of the height.
    QSize sizeHint() const override { return {640, 170}; }

    void setTexts(const ReportTexts& texts);
    void setSpcTexts(const SpcTexts& texts);
    // Where the control chart keeps its settings.
    void setConfigFile(const QString& configFile);
    // The control chart follows the results shown: they must outlive the panel.
    void showResults(const LiveResults& results, bool recording);
    // By slave address, in the order to show.
    void showPeakSources(const std::vector<std::pair<int, PeakSource>>& sources);

    QTableWidget* table() const { return table_; }
    QLabel* peakSources() const { return peaks_; }
    QDoubleSpinBox* thresholdBox() const { return threshold_; }
    QPushButton* chartButton() const { return chartButton_; }
    ControlChartView* chartView() const { return chartView_; }
    // The threshold typed, nothing while it shows "auto" (0).
    std::optional<double> threshold() const;

signals:
    void thresholdChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setRow(int row, int slave, const LiveResults& results, bool recording);
    void fitColumns();

    QLabel* title_;
    QLabel* thresholdLabel_;
    QDoubleSpinBox* threshold_;
    QPushButton* chartButton_;
    QTableWidget* table_;
    QLabel* peaks_;
    ControlChartView* chartView_;
    ReportTexts texts_;
    std::vector<std::pair<int, PeakSource>> sources_;
};

}  // namespace vornex
