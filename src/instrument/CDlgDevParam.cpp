#include "instrument/CDlgDevParam.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "controls/CNFEdit.h"
#include "controls/DialogTexts.h"
#include "controls/MessageBox.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "text/NumberText.h"

namespace vornex {

void CDlgDevParam::selectPort(const QString& port) {
    const int index = port_->findText(port);
    if (index >= 0)
        port_->setCurrentIndex(index);
}

CDlgDevParam::CDlgDevParam(const QString& languageFile, const QStringList& portNames,
                           QWidget* parent)
    : QDialog(parent), languageFile_(languageFile) {
    setProperty(kDialogNumberProperty, kDialogNumber);
    setWindowTitle(QStringLiteral("仪表参数"));
    buildControls();

    port_->addItems(portNames);
    if (port_->count() > 0)
        port_->setCurrentIndex(0);
    for (int s = 1; s <= 30; ++s)
        slave_->addItem(QStringLiteral("Slave_%1").arg(s));
    slave_->setCurrentIndex(0);
    for (int m = 0; m < regmap::kModeNumberCount; ++m)
        mode_->addItem(QStringLiteral("Mode_%1").arg(m));
    mode_->setCurrentIndex(0);
    for (unsigned u = params::kFirstUnit; u <= params::kLastUnit; ++u)
        unit_->addItem(QString::fromLatin1(regmap::unitName(u).data(),
                                           static_cast<int>(regmap::unitName(u).size())));
    unit_->setCurrentIndex(0);
    for (unsigned m = params::kFirstMeasuringMode; m <= params::kLastMeasuringMode; ++m) {
        const std::string_view name = regmap::measuringModeName(m);
        measure_->addItem(QString::fromLatin1(name.data(), static_cast<int>(name.size())));
    }
    measure_->setCurrentIndex(0);
    // The figures stay empty until read from an instrument: nobody read a default.

    SetDialogTexts(languageFile_, this, kDialogNumber);

    connect(connect_, &QPushButton::clicked, this, &CDlgDevParam::onConnect);
    // Only a choice made by the user acts on the instrument, not a selection set by a refresh.
    connect(mode_, &QComboBox::activated, this, &CDlgDevParam::onModeChosen);
    connect(unit_, &QComboBox::activated, this, &CDlgDevParam::onUnitChosen);
    connect(measure_, &QComboBox::activated, this, &CDlgDevParam::onMeasureChosen);
    connect(set_, &QPushButton::clicked, this, &CDlgDevParam::onSet);
    for (QComboBox* list : {mode_, unit_, measure_})
        list->installEventFilter(this);
    for (CNFEdit* field : {target_, upper_, lower_})
        connect(field, &CNFEdit::refused, status_, &QLabel::setText);
}

bool CDlgDevParam::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel &&
        (watched == mode_ || watched == unit_ || watched == measure_)) {
        event->ignore();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CDlgDevParam::buildControls() {
    port_ = numberedControl(new QComboBox(this), 1056, "port");
    slave_ = numberedControl(new QComboBox(this), 1041, "slave");
    connect_ = numberedButton(QStringLiteral("连接"), 1042, this, "connect");
    connect_->setAutoDefault(false);

    auto* top = new QHBoxLayout;
    top->addWidget(numberedLabel(QStringLiteral("端 口:"), 1055, this));
    top->addWidget(port_, 1);
    top->addWidget(numberedLabel(QStringLiteral("SlaveID:"), 1040, this));
    top->addWidget(slave_, 1);
    top->addWidget(connect_);

    auto* group = new QGroupBox(this);
    setControlId(group, -1);
    range_ = numberedControl(new QLineEdit(group), 1044, "range");
    range_->setReadOnly(true);
    range_->setAlignment(Qt::AlignCenter);
    mode_ = numberedControl(new QComboBox(group), 1048, "mode");
    measure_ = numberedControl(new QComboBox(group), 1061, "measure");
    unit_ = numberedControl(new QComboBox(group), 1050, "unit");
    target_ = numberedControl(new CNFEdit(group), 1046, "target");
    upper_ = numberedControl(new CNFEdit(group), 1054, "upper");
    lower_ = numberedControl(new CNFEdit(group), 1052, "lower");

    auto* grid = new QGridLayout(group);
    addLabelledField(grid, 0, 0, QStringLiteral("量 程:"), 1043, range_);
    addLabelledField(grid, 0, 2, QStringLiteral("模式序号:"), 1047, mode_);
    addLabelledField(grid, 1, 0, QStringLiteral("测 量:"), 1060, measure_);
    addLabelledField(grid, 1, 2, QStringLiteral("单 位:"), 1049, unit_);
    addLabelledField(grid, 2, 0, QStringLiteral("目标值:"), 1045, target_);
    addLabelledField(grid, 3, 0, QStringLiteral("上 限:"), 1053, upper_);
    addLabelledField(grid, 3, 2, QStringLiteral("下 限:"), 1051, lower_);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);

    set_ = numberedButton(QStringLiteral("设置"), 1057, this, "set");
    set_->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(set_);
    buttons->addWidget(cancelButton(this));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(group);
    layout->addWidget(status_);
    layout->addLayout(buttons);
    setMinimumWidth(470);
}

void CDlgDevParam::showConnectButton(bool connected) {
    connect_->setText(
        GetLangString(languageFile_, connected ? QString::fromLatin1(langkey::kParamConnected)
                                               : dialogControlKey(kDialogNumber, 1042)));
    port_->setEnabled(!connected);
    slave_->setEnabled(!connected);
}

void CDlgDevParam::onConnect() {
    status_->clear();
    connected_ = !connected_;
    if (!connected_) {
        showConnectButton(false);
        parameters_.disconnect();
        return;
    }
    if (refusePolledPort(this, languageFile_, port_->currentText(), polled_)) {
        connected_ = false;
        return;
    }
    showConnectButton(true);
    const auto result =
        parameters_.connect(port_->currentText().toStdString(), slave_->currentIndex() + 1);
    if (result != OpenResult::Opened) {
        connected_ = false;
        showConnectButton(false);
        if (result == OpenResult::NoAnswer)
            showLangMessage(this, languageFile_, langkey::kMessageModbusError);
        else
            showPortRefusal(this, languageFile_, port_->currentText(), polled_, result);
        return;
    }
    refresh();
}

// Every write is followed by a read of what the instrument now holds; the fields show that, and
// the message line says whether it is what was written.
void CDlgDevParam::afterWrite(InstrumentParameters::WriteResult result) {
    using Write = InstrumentParameters::WriteResult;
    status_->clear();
    refresh();
    const char* key = nullptr;
    switch (result) {
        case Write::Written:
            key = langkey::kMessageParamsWritten;
            break;
        case Write::Differs:
            key = langkey::kMessageParamsDiffer;
            break;
        case Write::Unconfirmed:
            key = langkey::kMessageParamsUnread;
            break;
        case Write::WriteFailed:
        case Write::NotRead:
            showLangMessage(this, languageFile_, langkey::kMessageModbusError);
            return;
        case Write::Refused:
        case Write::NotConnected:
            return;
    }
    status_->setText(GetLangString(languageFile_, QString::fromLatin1(key)));
}

void CDlgDevParam::onModeChosen(int index) {
    if (connected_)
        afterWrite(parameters_.changeMode(index));
}

void CDlgDevParam::onUnitChosen(int index) {
    if (connected_)
        afterWrite(parameters_.changeUnit(static_cast<unsigned>(index) + params::kFirstUnit));
}

void CDlgDevParam::onMeasureChosen(int index) {
    if (connected_)
        afterWrite(parameters_.changeMeasuringMode(static_cast<unsigned>(index) +
                                                   params::kFirstMeasuringMode));
}

QString CDlgDevParam::text(const char* key) const {
    return GetLangString(languageFile_, QString::fromLatin1(key));
}

void CDlgDevParam::onSet() {
    if (!connected_) {
        status_->setText(text(langkey::kMessageParamsNotLinked));
        return;
    }
    // After a write that failed the fields show no block of this instrument, so nothing typed
    // over them can be compared with what it holds: its settings are read and shown first.
    if (!parameters_.settingsKnown()) {
        status_->clear();
        if (!parameters_.readSettings()) {
            showLangMessage(this, languageFile_, langkey::kMessageModbusError);
            return;
        }
        refresh();
        status_->setText(text(langkey::kMessageParamsReread));
        return;
    }
    params::SetPlan plan;
    const TypedSettings typed{target_->text().toStdString(), upper_->text().toStdString(),
                              lower_->text().toStdString()};
    const auto result = parameters_.set(typed, &plan);
    if (result == InstrumentParameters::WriteResult::Refused) {
        showRefusal(plan);
        return;
    }
    afterWrite(result);
}

// The fixed refusal, and the targets the typed limits allow, in the unit shown.
void CDlgDevParam::showRefusal(const params::SetPlan& plan) {
    status_->clear();
    QString message = langStringOr(languageFile_, QString::fromLatin1(langkey::kMessageSetRefused),
                                   QString::fromUtf8(kRefusedText));
    const unsigned unit = parameters_.settings().unit;
    if (plan.check == params::SetCheck::OutOfWindow || plan.check == params::SetCheck::BadLimit) {
        const int precision = std::max(
            0, params::displayPrecision(regmap::decimalsForRange(parameters_.range()), unit));
        const std::string_view unitName = regmap::unitName(unit);
        message +=
            QStringLiteral("\n\n") +
            text(langkey::kMessageSetAllowed)
                .arg(QString::fromStdString(formatFixed(plan.lowestTarget, precision)),
                     QString::fromStdString(formatFixed(plan.highestTarget, precision)),
                     QString::fromLatin1(unitName.data(), static_cast<qsizetype>(unitName.size())));
    }
    ShowMessage(this, message,
                langStringOr(languageFile_, QString::fromLatin1(langkey::kMessageTip),
                             QString::fromUtf8(kRefusedCaption)));
}

void CDlgDevParam::refresh() {
    const ParameterFields f = parameters_.fields();
    measure_->setCurrentIndex(f.measureIndex);
    mode_->setCurrentIndex(f.modeIndex);
    unit_->setCurrentIndex(f.unitIndex);
    range_->setText(QString::fromStdString(f.range));
    target_->setText(QString::fromStdString(f.target));
    upper_->setText(QString::fromStdString(f.upper));
    lower_->setText(QString::fromStdString(f.lower));
}

}  // namespace vornex
