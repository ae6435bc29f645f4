#include "app/SimPullDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"

namespace vornex {

SimPullDialog::SimPullDialog(const QString& languageFile, const std::vector<int>& addresses,
                             const Pull& offered, QWidget* parent)
    : QDialog(parent),
      instrument_(new QComboBox(this)),
      peak_(new QDoubleSpinBox(this)),
      rise_(new QSpinBox(this)),
      click_(new QCheckBox(this)) {
    const auto text = [&languageFile](const char* key) {
        return GetLangString(languageFile, QString::fromLatin1(key));
    };
    setWindowTitle(text(langkey::kSimPullTitle));
    for (const int address : addresses) {
        instrument_->addItem(QString::number(address), address);
        if (address == offered.address)
            instrument_->setCurrentIndex(instrument_->count() - 1);
    }
    // The simulator takes peaks of either sign; a counter-clockwise pull is a negative one.
    peak_->setRange(-1e6, 1e6);
    peak_->setDecimals(2);
    peak_->setValue(offered.peak);
    rise_->setRange(1, 60000);
    rise_->setValue(offered.riseMs);
    click_->setText(text(langkey::kSimClick));
    click_->setChecked(offered.click);

    auto* form = new QFormLayout;
    form->addRow(text(langkey::kSimInstrument), instrument_);
    form->addRow(text(langkey::kSimPeak), peak_);
    form->addRow(text(langkey::kSimRise), rise_);
    form->addRow(click_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(text(langkey::kSimPullButton));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

SimPullDialog::Pull SimPullDialog::pull() const {
    return {instrument_->currentData().toInt(), peak_->value(), rise_->value(),
            click_->isChecked()};
}

}  // namespace vornex
