#include "panel/CControlDlg.h"

#include <QComboBox>
#include <QLineEdit>

#include "config/BenchConfig.h"
#include "controls/CListCtrlEx.h"
#include "controls/DialogTexts.h"
#include "controls/MessageBox.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "panel/CDialogAddDev.h"
#include "session/AcquisitionSession.h"
#include "session/qt/SessionSignals.h"
#include "text/NumberText.h"

// The device table: adding, removing and editing its rows, and keeping them in config.ini.
namespace vornex {

int CControlDlg::askAddress() {
    int proposed = 1;
    while (proposed <= CDialogAddDev::kMaxAddress && hasAddress(proposed, -1))
        ++proposed;
    CDialogAddDev dialog(languageFile_, proposed <= CDialogAddDev::kMaxAddress ? proposed : 0,
                         this);
    return dialog.exec() == QDialog::Accepted ? dialog.address() : 0;
}

void CControlDlg::onAdd() {
    const int address = askAddress();
    if (address < 1 || address > CDialogAddDev::kMaxAddress)
        return;
    if (hasAddress(address, -1)) {
        showLangMessage(this, languageFile_, langkey::kMessageAddressExists);
        return;
    }
    if (appendRow(address))
        saveDevices();
}

bool CControlDlg::appendRow(int address) {
    if (session_.addDevice(static_cast<uint8_t>(address)) != TableEdit::Done)
        return false;
    const QString text = QString::number(address);
    devices_->InsertItem(devices_->GetItemCount(), text);
    // The first entry of an empty combo box becomes current and so the displayed instrument.
    displayList_->addItem(text);
    showState(live_.state());
    return true;
}

void CControlDlg::saveDevices() {
    if (namesPort_.isEmpty())
        return;
    std::vector<int> addresses;
    for (const InstrumentState& instrument : session_.state().instruments)
        addresses.push_back(instrument.address);
    if (!BenchConfig(configFile_).setDeviceList(namesPort_.toStdString(), addresses))
        showLangMessage(this, languageFile_, langkey::kMessageDevicesNotSaved);
}

// A port with a list kept replaces the rows by it; one without keeps the rows there are, as the
// list the user starts it with.
void CControlDlg::restoreDevices() {
    if (namesPort_.isEmpty() || live_.state().line != LineState::None)
        return;
    const std::optional<std::vector<int>> kept =
        BenchConfig(configFile_).deviceList(namesPort_.toStdString());
    if (!kept)
        return;
    while (devices_->GetItemCount() > 0 && removeRow(devices_->GetItemCount() - 1)) {
    }
    for (const int address : *kept)
        appendRow(address);
}

void CControlDlg::onDelete() {
    const QList<QTableWidgetItem*> selected = devices_->selectedItems();
    if (selected.isEmpty())
        return;
    deleteRow(selected.first()->row());
}

void CControlDlg::deleteRow(int row) {
    if (removeRow(row))
        saveDevices();
}

bool CControlDlg::removeRow(int row) {
    if (row < 0 || row >= devices_->GetItemCount())
        return false;
    if (session_.removeDevice(static_cast<size_t>(row)) != TableEdit::Done)
        return false;
    devices_->DeleteItem(row);
    const bool wasShown = displayList_->currentIndex() == row;
    {
        const QSignalBlocker quiet(displayList_);
        displayList_->removeItem(row);
        if (wasShown)
            displayList_->setCurrentIndex(displayList_->count() > 0 ? 0 : -1);
    }
    onDisplaySelection();
    showState(live_.state());
    return true;
}

void CControlDlg::onAddressEdited(int row, const QString& text) {
    const std::vector<InstrumentState>& instruments = session_.state().instruments;
    if (row < 0 || static_cast<size_t>(row) >= instruments.size())
        return;
    const uint8_t old = instruments[static_cast<size_t>(row)].address;
    long typed = 0;
    const int address = parseLong(text.toStdString(), 1, CDialogAddDev::kMaxAddress, typed)
                            ? static_cast<int>(typed)
                            : 0;
    // The editor reports every commit; the same address again is no new instrument.
    if (address == old) {
        devices_->SetItemText(row, kAddressColumn, QString::number(old));
        return;
    }
    const char* refusal = nullptr;
    if (address < 1 || address > CDialogAddDev::kMaxAddress)
        refusal = langkey::kMessageAddressError;
    else if (hasAddress(address, row))
        refusal = langkey::kMessageAddressExists;
    if (refusal != nullptr ||
        session_.changeAddress(static_cast<size_t>(row), static_cast<uint8_t>(address)) !=
            TableEdit::Done) {
        devices_->SetItemText(row, kAddressColumn, QString::number(old));
        if (refusal != nullptr)
            showLangMessage(this, languageFile_, refusal);
        return;
    }
    devices_->SetItemText(row, kAddressColumn, QString::number(address));
    displayList_->setItemText(row, QString::number(address));
    onDisplaySelection();
    showState(live_.state());
    saveDevices();
}

void CControlDlg::onNameEdited(int row, const QString& text) {
    const std::vector<InstrumentState>& instruments = session_.state().instruments;
    if (row < 0 || static_cast<size_t>(row) >= instruments.size())
        return;
    const int address = instruments[static_cast<size_t>(row)].address;
    const std::string name = text.trimmed().toStdString();
    if (!BenchConfig(configFile_).setDeviceName(namesPort_.toStdString(), address, name))
        showLangMessage(this, languageFile_, langkey::kMessageNameNotSaved);
    loadNames(true);
    showState(live_.state());
}

void CControlDlg::loadNames(bool always) {
    const QString port = ports_->currentText();
    if (!always && port == namesPort_)
        return;
    const bool otherPort = port != namesPort_;
    namesPort_ = port;
    names_ = port.isEmpty() ? std::map<int, std::string>()
                            : BenchConfig(configFile_).deviceNames(port.toStdString());
    session_.setInstrumentNames(names_);
    if (otherPort)
        restoreDevices();
}

bool CControlDlg::hasAddress(int address, int exceptRow) const {
    const std::vector<InstrumentState>& instruments = session_.state().instruments;
    for (size_t i = 0; i < instruments.size(); ++i) {
        if (static_cast<int>(i) != exceptRow && instruments[i].address == address)
            return true;
    }
    return false;
}

}  // namespace vornex
