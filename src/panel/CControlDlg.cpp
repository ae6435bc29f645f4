#include "panel/CControlDlg.h"

#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <algorithm>
#include <chrono>

#include "controls/CDigiStatic.h"
#include "controls/CListCtrlEx.h"
#include "controls/DialogTexts.h"
#include "controls/Icons.h"
#include "controls/MessageBox.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "link/HotplugWatcher.h"
#include "link/NumberText.h"
#include "link/PortAccess.h"
#include "panel/CDialogAddDev.h"
#include "record/AcquisitionSession.h"

namespace vornex {

namespace {

constexpr int kAddressColumn = 0;
constexpr int kPresenceColumn = 2;

}  // namespace

// "?" and "--" are symbols in every language; the words come from the language file, in English
// for a panel that was given none.
QString CControlDlg::presenceMark(PresenceState state) const {
    switch (state) {
        case PresenceState::Unidentified:
            return QStringLiteral("?");
        case PresenceState::Identified:
            return langStringOr(languageFile_, QString::fromLatin1(langkey::kStateOk),
                                QStringLiteral("OK"));
        case PresenceState::Absent:
            return QStringLiteral("--");
        case PresenceState::CommunicationError:
            return langStringOr(languageFile_, QString::fromLatin1(langkey::kStateError),
                                QStringLiteral("ERR"));
    }
    return QStringLiteral("?");
}

CControlDlg::CControlDlg(AcquisitionSession& session, PortSource ports, QWidget* parent)
    : QWidget(parent),
      session_(session),
      portSource_(std::move(ports)),
      value_(new CDigiStatic(QStringLiteral("500.00"), this)),
      unit_(new CDigiStatic(QStringLiteral("kgf.cm"), this)),
      displayList_(new QComboBox(this)),
      devices_(new CListCtrlEx(this)),
      ports_(new QComboBox(this)),
      connect_(numberedButton(QStringLiteral("连 接"), 1009, this)),
      disconnect_(numberedButton(QStringLiteral("断 开"), 1010, this)),
      add_(numberedButton(QStringLiteral("添加"), 1012, this)),
      delete_(numberedButton(QStringLiteral("删除"), 1014, this)),
      watcher_(new HotplugWatcher(this)) {
    setProperty(kDialogNumberProperty, kDialogNumber);
    setFixedWidth(kWidth);
    setControlId(value_, 1000);
    setControlId(unit_, 1004);
    setControlId(displayList_, 1016);
    setControlId(devices_, 1011);
    setControlId(ports_, 1007);

    value_->ModifyDigiStyle(0, DIGI_14SEG_DIGITS | DIGI_SOFT_OUTLINE);
    connect_->setIcon(vornexIcon(321));
    disconnect_->setIcon(vornexIcon(322));
    buildLayout();

    connect(connect_, &QPushButton::clicked, this, &CControlDlg::onConnect);
    connect(disconnect_, &QPushButton::clicked, this, &CControlDlg::onDisconnect);
    connect(add_, &QPushButton::clicked, this, &CControlDlg::onAdd);
    connect(delete_, &QPushButton::clicked, this, &CControlDlg::onDelete);
    connect(devices_, &CListCtrlEx::itemEdited, this,
            [this](int row, int column, const QString& text) {
                if (column == kAddressColumn)
                    onAddressEdited(row, text);
            });
    // The Delete key acts as the Delete button, so the list and the table never part ways.
    connect(devices_, &CListCtrlEx::deleteRequested, this, [this](int row) {
        if (delete_->isEnabled())
            deleteRow(row);
    });
    connect(displayList_, &QComboBox::currentIndexChanged, this, &CControlDlg::onDisplaySelection);
    connect(ports_, &QComboBox::currentIndexChanged, this,
            [this](int index) { portTable_.select(index); });
    connect(watcher_, &HotplugWatcher::portsChanged, this, &CControlDlg::refreshPorts);

    portTable_.fill(portSource_());
    fillPorts();
    // Columns are sized from the list's width in the 230-pixel column.
    const int width = kWidth - 40;
    devices_->InsertColumn(0, QStringLiteral("ID"), Qt::AlignCenter, width / 4);
    devices_->InsertColumn(1, QStringLiteral("Dev"), Qt::AlignCenter, (2 * width) / 4);
    devices_->InsertColumn(2, QStringLiteral("S"), Qt::AlignCenter, width / 4);
    updateButtons();
    session_.addObserver(*this);
    if (!watcher_->watching()) {
        // Shown once the window is up, not while it is being built.
        QMetaObject::invokeMethod(
            this,
            [this] {
                ShowMessage(this, QString::fromUtf8(kNoNotificationsText),
                            QString::fromUtf8(kNoNotificationsCaption), MessageIcon::Critical);
            },
            Qt::QueuedConnection);
    }
}

void CControlDlg::applyLanguage(const QString& languageFile) {
    languageFile_ = languageFile;
    SetDialogTexts(languageFile, this, kDialogNumber);
    const char* headers[] = {langkey::kPanelColId, langkey::kPanelColDev, langkey::kPanelColState};
    for (int column = 0; column < 3; ++column) {
        devices_->model()->setHeaderData(
            column, Qt::Horizontal,
            GetLangString(languageFile, QString::fromLatin1(headers[column])));
    }
    if (connected())
        showPresence();
}

QString CControlDlg::portText() const {
    return ports_->currentText();
}

QPushButton* CControlDlg::button(Button which) const {
    switch (which) {
        case Button::Connect:
            return connect_;
        case Button::Disconnect:
            return disconnect_;
        case Button::Add:
            return add_;
        case Button::Delete:
            return delete_;
    }
    return nullptr;
}

void CControlDlg::onConnect() {
    if (portTable_.empty()) {
        ShowMessage(this, QString::fromUtf8(kNoPortText), QString::fromUtf8(kNoPortCaption),
                    MessageIcon::None);
        return;
    }
    const std::string port = portTable_.selected();
    switch (session_.connect(port)) {
        case ConnectResult::Connected:
            state_ = LinkState::Connected;
            connectedPort_ = port;
            showPresence();
            updateButtons();
            return;
        case ConnectResult::CannotOpen:
            if (portAccessDenied(port)) {
                showLangMessage(this, languageFile_, langkey::kMessagePortDenied);
                return;
            }
            [[fallthrough]];
        case ConnectResult::InUse:
            ShowMessage(this, QString::fromUtf8(kPortBusyText), QString::fromUtf8(kPortBusyCaption),
                        MessageIcon::Warning);
            return;
        case ConnectResult::StillStopping:
            // Connect is disabled until the thread has ended; a click that slipped through waits
            // for the end notice, which enables it again.
            updateButtons();
            return;
    }
}

void CControlDlg::onDisconnect() {
    session_.disconnect();
    state_ = LinkState::Disconnected;
    connectedPort_.clear();
    showNotPolled();
    updateButtons();
}

void CControlDlg::showPresence() {
    for (int row = 0; row < devices_->GetItemCount(); ++row) {
        devices_->SetItemText(row, kPresenceColumn,
                              presenceMark(session_.device(static_cast<size_t>(row)).presence()));
    }
}

// Column S is left blank and the value display shows dashes: the last states and reading are
// no longer current.
void CControlDlg::showNotPolled() {
    for (int row = 0; row < devices_->GetItemCount(); ++row)
        devices_->SetItemText(row, kPresenceColumn, QString());
    value_->SetText(QString::fromLatin1(kNoValueText));
}

int CControlDlg::askAddress() {
    CDialogAddDev dialog(languageFile_, this);
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
    if (session_.addDevice(static_cast<uint8_t>(address)) != TableEdit::Done)
        return;
    const QString text = QString::number(address);
    const int row = devices_->InsertItem(devices_->GetItemCount(), text);
    devices_->SetItemText(row, kPresenceColumn, presenceMark(PresenceState::Unidentified));
    // The first entry of an empty combo box becomes current and so the displayed instrument.
    displayList_->addItem(text);
}

void CControlDlg::onDelete() {
    const QList<QTableWidgetItem*> selected = devices_->selectedItems();
    if (selected.isEmpty())
        return;
    deleteRow(selected.first()->row());
}

void CControlDlg::deleteRow(int row) {
    if (row < 0 || row >= devices_->GetItemCount())
        return;
    if (session_.removeDevice(static_cast<size_t>(row)) != TableEdit::Done)
        return;
    devices_->DeleteItem(row);
    const bool wasShown = displayList_->currentIndex() == row;
    {
        const QSignalBlocker quiet(displayList_);
        displayList_->removeItem(row);
        if (wasShown)
            displayList_->setCurrentIndex(displayList_->count() > 0 ? 0 : -1);
    }
    onDisplaySelection();
}

void CControlDlg::onAddressEdited(int row, const QString& text) {
    if (row < 0 || static_cast<size_t>(row) >= session_.deviceCount())
        return;
    const uint8_t old = session_.device(static_cast<size_t>(row)).address();
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
    devices_->SetItemText(row, kPresenceColumn, presenceMark(PresenceState::Unidentified));
    displayList_->setItemText(row, QString::number(address));
    onDisplaySelection();
}

bool CControlDlg::hasAddress(int address, int exceptRow) const {
    for (size_t i = 0; i < session_.deviceCount(); ++i) {
        if (static_cast<int>(i) != exceptRow && session_.device(i).address() == address)
            return true;
    }
    return false;
}

void CControlDlg::onDisplaySelection() {
    session_.setDisplayedAddress(displayList_->count() > 0 ? displayList_->currentText().toInt()
                                                           : 0);
}

void CControlDlg::fillPorts() {
    const QSignalBlocker quiet(ports_);
    ports_->clear();
    for (const std::string& port : portTable_.entries())
        ports_->addItem(QString::fromStdString(port));
    ports_->setCurrentIndex(portTable_.selectedIndex());
}

void CControlDlg::refreshPorts() {
    portTable_.refresh(portSource_());
    fillPorts();
    const auto& entries = portTable_.entries();
    if (state_ == LinkState::Connected &&
        std::find(entries.begin(), entries.end(), connectedPort_) == entries.end()) {
        session_.portRemoved();
        loseLink();
    }
}

// The connected port went away and polling ends after its pass: the port controls come back,
// and Disconnect while the session waits for the line. The status bar says so: no message box
// stands in the way of the line coming back. Add and Delete stay as they were until the next
// Connect and Disconnect.
void CControlDlg::loseLink() {
    if (state_ != LinkState::Connected)
        return;
    state_ = LinkState::PortLost;
    connectedPort_.clear();
    showNotPolled();
    updateButtons();
}

void CControlDlg::lineBack(std::time_t, double, const std::string& port) {
    state_ = LinkState::Connected;
    connectedPort_ = port;
    portTable_.refresh(portSource_());
    portTable_.select(port);
    fillPorts();
    showPresence();
    updateButtons();
}

// Close test ended the wait for a lost line.
void CControlDlg::linkDisconnected() {
    if (state_ == LinkState::PortLost)
        state_ = LinkState::Disconnected;
    updateButtons();
}

void CControlDlg::updateButtons() {
    // While an acquisition thread is still ending, neither a new link nor a table change may start.
    const bool idle = !session_.pollingActive();
    switch (state_) {
        case LinkState::Connected:
            connect_->setEnabled(false);
            disconnect_->setEnabled(true);
            ports_->setEnabled(false);
            add_->setEnabled(false);
            delete_->setEnabled(false);
            break;
        case LinkState::Disconnected:
            connect_->setEnabled(idle);
            disconnect_->setEnabled(false);
            ports_->setEnabled(true);
            add_->setEnabled(idle);
            delete_->setEnabled(idle);
            break;
        case LinkState::PortLost:
            connect_->setEnabled(idle);
            disconnect_->setEnabled(session_.waitingForLine());
            ports_->setEnabled(true);
            add_->setEnabled(false);
            delete_->setEnabled(false);
            break;
    }
}

void CControlDlg::displayChanged(const std::string& valueText, const std::string& unitText) {
    QMetaObject::invokeMethod(
        this,
        [this, value = QString::fromStdString(valueText), unit = QString::fromStdString(unitText)] {
            value_->SetText(value);
            unit_->SetText(unit);
        },
        Qt::QueuedConnection);
}

void CControlDlg::presenceChanged(size_t index, uint8_t address, PresenceState state) {
    QMetaObject::invokeMethod(
        this,
        [this, index, address, state] {
            const int row = static_cast<int>(index);
            // The row may have been edited or removed since the thread saw it.
            if (row < devices_->GetItemCount() &&
                devices_->GetItemText(row, kAddressColumn) == QString::number(address)) {
                devices_->SetItemText(row, kPresenceColumn, presenceMark(state));
            }
        },
        Qt::QueuedConnection);
}

void CControlDlg::stoppedOnEmptyTable() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            state_ = LinkState::Disconnected;
            connectedPort_.clear();
            updateButtons();
        },
        Qt::QueuedConnection);
}

void CControlDlg::portLost(const std::string&) {
    QMetaObject::invokeMethod(
        this, [this] { loseLink(); }, Qt::QueuedConnection);
}

void CControlDlg::pollingEnded() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            // The thread sets its stop event right after this notice.
            session_.waitPollingEnded(std::chrono::milliseconds(500));
            // Notices of the last pass came before this one and may have shown live states.
            if (state_ != LinkState::Connected)
                showNotPolled();
            updateButtons();
        },
        Qt::QueuedConnection);
}

}  // namespace vornex
