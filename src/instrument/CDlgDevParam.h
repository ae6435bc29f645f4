#pragma once

#include <QDialog>
#include <QStringList>

#include "instrument/PortRefusal.h"
#include "instrument/core/InstrumentParameters.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vornex {

class CNFEdit;

// The instrument parameters window (dialog 328): connects on a link of its own to one instrument
// of the line and reads and writes its parameter set, measuring mode, unit, target and limits.
// It is given the port names the control panel offers and the current language file.
class CDlgDevParam : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDialogNumber = 328;
    // Texts of a refused Set where the language file has none.
    static constexpr const char* kRefusedText = "目标值或上下限设置错误！";
    static constexpr const char* kRefusedCaption = "提示";

    CDlgDevParam(const QString& languageFile, const QStringList& portNames,
                 QWidget* parent = nullptr);

    // Opens on `port` when the list holds it (the control panel's), else on the list's first.
    void selectPort(const QString& port);
    // Lets a refused Connect say when the port is held by this window's own polling.
    void setPolledPort(PolledPort polled) { polled_ = std::move(polled); }

    bool isConnected() const { return connected_; }

protected:
    // The mode, unit and measure lists take no wheel: a notch is no deliberate choice.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void onConnect();
    void onModeChosen(int index);
    void onUnitChosen(int index);
    void onMeasureChosen(int index);
    void onSet();
    void refresh();
    void showConnectButton(bool connected);
    void afterWrite(InstrumentParameters::WriteResult result);
    void showRefusal(const params::SetPlan& plan);
    QString text(const char* key) const;

    const QString languageFile_;
    PolledPort polled_;
    InstrumentParameters parameters_;
    bool connected_ = false;

    QComboBox* port_ = nullptr;
    QComboBox* slave_ = nullptr;
    QPushButton* connect_ = nullptr;
    QLineEdit* range_ = nullptr;
    QComboBox* mode_ = nullptr;
    QComboBox* measure_ = nullptr;
    QComboBox* unit_ = nullptr;
    CNFEdit* target_ = nullptr;
    CNFEdit* upper_ = nullptr;
    CNFEdit* lower_ = nullptr;
    QPushButton* set_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace vornex
