#pragma once

#include <QDialog>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

namespace vornex {

// Asks what pull to make on a simulated instrument: which one, its peak in the unit the
// instrument shows, how long it rises, and whether the tool clicks at the top or slips.
class SimPullDialog : public QDialog {
    Q_OBJECT

public:
    struct Pull {
        int address = 1;
        double peak = 20.0;
        int riseMs = 3000;  // a hand's pull: the last 20 % over 0.6 s, as a verification asks
        bool click = true;
    };

    SimPullDialog(const QString& languageFile, const std::vector<int>& addresses,
                  const Pull& offered, QWidget* parent = nullptr);

    Pull pull() const;
    QComboBox* instrumentBox() const { return instrument_; }
    QDoubleSpinBox* peakBox() const { return peak_; }
    QSpinBox* riseBox() const { return rise_; }
    QCheckBox* clickBox() const { return click_; }

private:
    QComboBox* instrument_;
    QDoubleSpinBox* peak_;
    QSpinBox* rise_;
    QCheckBox* click_;
};

}  // namespace vornex
