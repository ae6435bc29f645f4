#include "panel/CControlDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "config/BenchConfig.h"
#include "controls/CDigiStatic.h"
#include "controls/CListCtrlEx.h"
#include "controls/DialogTexts.h"
#include "controls/Icons.h"
#include "controls/MessageBox.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "link/HotplugWatcher.h"
#include "link/NetworkPort.h"
#include "link/PortAccess.h"
#include "link/PortDiscovery.h"
#include "register/LabRegister.h"
#include "session/AcquisitionSession.h"
#include "session/qt/SessionSignals.h"

namespace vornex {

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

CControlDlg::CControlDlg(SessionSignals& live, PortSource ports, QString configFile,
                         QWidget* parent)
    : QWidget(parent),
      live_(live),
      session_(live.session()),
      portSource_(std::move(ports)),
      configFile_(std::move(configFile)),
      value_(new CDigiStatic(QString::fromLatin1(kNoValueText), this)),
      unit_(new CDigiStatic(QString(), this)),
      displayList_(new QComboBox(this)),
      devices_(new CListCtrlEx(this)),
      ports_(new QComboBox(this)),
      fastPass_(new QCheckBox(QStringLiteral("Fast pass"), this)),
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
                else if (column == kNameColumn)
                    onNameEdited(row, text);
            });
    // The Delete key acts as the Delete button, so the list and the table never part ways.
    connect(devices_, &CListCtrlEx::deleteRequested, this, [this](int row) {
        if (delete_->isEnabled())
            deleteRow(row);
    });
    connect(displayList_, &QComboBox::currentIndexChanged, this, &CControlDlg::onDisplaySelection);
    // Off unless config.ini says otherwise; a panel without one starts off.
    fastPass_->setChecked(!configFile_.isEmpty() && BenchConfig(configFile_).fastPass());
    session_.setFastPass(fastPass_->isChecked());
    connect(fastPass_, &QCheckBox::toggled, this, &CControlDlg::onFastPassToggled);
    connect(ports_, &QComboBox::currentIndexChanged, this, [this](int index) {
        portTable_.select(index);
        showState(live_.state());
    });
    connect(watcher_, &HotplugWatcher::portsChanged, this, &CControlDlg::refreshPorts);
    // A gateway's address is typed into the list: tcp://HOST[:PORT] or rtu+tcp://HOST:PORT.
    ports_->setEditable(true);
    ports_->setInsertPolicy(QComboBox::NoInsert);
    connect(ports_->lineEdit(), &QLineEdit::returnPressed, this, &CControlDlg::takeTypedPort);

    portTable_.fill(availablePorts());
    // Columns are sized from the list's width in the 230-pixel column.
    const int width = kWidth - 40;
    devices_->InsertColumn(0, QStringLiteral("ID"), Qt::AlignCenter, width / 4);
    devices_->InsertColumn(1, QStringLiteral("Dev"), Qt::AlignCenter, (2 * width) / 4);
    devices_->InsertColumn(2, QStringLiteral("S"), Qt::AlignCenter, width / 4);
    devices_->SetEditableColumns({kNameColumn});
    // An instrument named as an asset of the lab's register is that reference: its due date and
    // uncertainty are the asset's. Any other name is free text.
    devices_->SetColumnPredicate([](int column) { return column == kNameColumn ? 2 : 0; });
    devices_->SetChoiceSource([this] { return referenceAssets(); });
    connect(&live_, &SessionSignals::changed, this, &CControlDlg::showState);
    showState(live_.state());
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
    fastPass_->setText(langStringOr(languageFile, QString::fromLatin1(langkey::kPanelFastPass),
                                    QStringLiteral("Fast pass")));
    showState(live_.state());
}

void CControlDlg::onFastPassToggled(bool on) {
    session_.setFastPass(on);
    if (!configFile_.isEmpty() && !BenchConfig(configFile_).setFastPass(on))
        showLangMessage(this, languageFile_, langkey::kMessageFastPassNotSaved);
}

bool CControlDlg::connected() const {
    return live_.state().linked();
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
    takeTypedPort();
    const std::string port = portTable_.selected();
    switch (session_.connect(port)) {
        case OpenResult::Opened:
            if (std::find(typedNow_.begin(), typedNow_.end(), port) != typedNow_.end() &&
                !BenchConfig(configFile_).rememberTypedPort(port))
                showLangMessage(this, languageFile_, langkey::kMessagePortNotSaved);
            return;
        case OpenResult::CannotOpen:
            if (portAccessDenied(port)) {
                showLangMessage(this, languageFile_, langkey::kMessagePortDenied);
                return;
            }
            [[fallthrough]];
        case OpenResult::InUse:
        case OpenResult::NoAnswer:
            ShowMessage(this, QString::fromUtf8(kPortBusyText), QString::fromUtf8(kPortBusyCaption),
                        MessageIcon::Warning);
            return;
        case OpenResult::UnknownHost:
            showLangMessage(this, languageFile_, langkey::kMessageHostUnknown, MessageIcon::Warning,
                            QString::fromStdString(port));
            return;
        case OpenResult::Refused:
            showLangMessage(this, languageFile_, langkey::kMessageConnectRefused,
                            MessageIcon::Warning, QString::fromStdString(port));
            return;
        case OpenResult::StillStopping:
            // Connect is disabled until the thread has ended; a click that slipped through waits
            // for the state that enables it again.
            return;
    }
}

std::vector<std::string> CControlDlg::availablePorts() const {
    std::vector<std::string> typed = typedNow_;
    for (const std::string& port : BenchConfig(configFile_).typedPorts()) {
        if (std::find(typed.begin(), typed.end(), port) == typed.end())
            typed.push_back(port);
    }
    return mergePorts(portSource_(), typed);
}

// Only a gateway's address is taken; any other text gives way to the selected entry again. It is
// listed from now on, and kept in config.ini once a connection to it has been accepted.
void CControlDlg::takeTypedPort() {
    const std::string typed = ports_->currentText().trimmed().toStdString();
    if (typed != portTable_.selected() && NetworkPort::parse(typed)) {
        typedNow_.erase(std::remove(typedNow_.begin(), typedNow_.end(), typed), typedNow_.end());
        typedNow_.insert(typedNow_.begin(), typed);
        portTable_.refresh(availablePorts());
        portTable_.select(typed);
    }
    showState(live_.state());
    ports_->setEditText(QString::fromStdString(portTable_.selected()));
}

void CControlDlg::onDisconnect() {
    session_.disconnect();
}

void CControlDlg::onDisplaySelection() {
    session_.setDisplayedAddress(displayList_->count() > 0 ? displayList_->currentText().toInt()
                                                           : 0);
}

// While a link is held, the list shows its port alone selected, there or not, and cannot be
// changed: Connect is for another port only once the line is let go. The list is rebuilt only
// when its entries change, so that a state change does not close it under the user's hand.
void CControlDlg::showPorts(const SessionState& state) {
    QStringList entries;
    for (const std::string& port : portTable_.entries())
        entries << QString::fromStdString(port);
    int current = portTable_.selectedIndex();
    if (state.lineHeld()) {
        const QString held = QString::fromStdString(state.port);
        current = static_cast<int>(entries.indexOf(held));
        if (current >= 0) {
            portTable_.select(current);
        } else {
            entries.prepend(held);
            current = 0;
        }
    }
    const QSignalBlocker quiet(ports_);
    QStringList shown;
    for (int i = 0; i < ports_->count(); ++i)
        shown << ports_->itemText(i);
    if (shown != entries) {
        ports_->clear();
        ports_->addItems(entries);
    }
    if (ports_->currentIndex() != current)
        ports_->setCurrentIndex(current);
    ports_->setEnabled(!state.lineHeld());
}

// Column S says where each instrument stands only while its line is polled; the displays show the
// displayed instrument's reading only while it is fresh, dashes otherwise.
void CControlDlg::showInstruments(const SessionState& state) {
    const int rows = std::min(devices_->GetItemCount(), static_cast<int>(state.instruments.size()));
    for (int row = 0; row < rows; ++row) {
        const InstrumentState& instrument = state.instruments[static_cast<size_t>(row)];
        devices_->SetItemText(row, kPresenceColumn,
                              state.linked() ? presenceMark(instrument.presence) : QString());
        // The refusal is told once a link has met it, and stays with the row for the session.
        const QString fourRequests =
            instrument.fastPassRefused
                ? langStringOr(languageFile_, QString::fromLatin1(langkey::kPanelFastRefused),
                               QStringLiteral("slave %1: fast pass refused, four requests"))
                      .arg(instrument.address)
                : QString();
        for (int column = 0; column < devices_->columnCount(); ++column) {
            if (QTableWidgetItem* cell = devices_->item(row, column))
                cell->setToolTip(fourRequests);
        }
        const auto named = names_.find(instrument.address);
        devices_->SetItemText(
            row, kNameColumn,
            named != names_.end() ? QString::fromStdString(named->second) : QString());
    }
    const InstrumentState* shown = state.displayed();
    value_->SetText(shown != nullptr && shown->fresh ? QString::fromStdString(shown->valueText)
                                                     : QString::fromLatin1(kNoValueText));
    unit_->SetText(shown != nullptr ? QString::fromStdString(shown->unitText) : QString());
}

// While an acquisition thread still ends, neither a new link nor a table change may start.
void CControlDlg::showState(const SessionState& state) {
    const bool idle = state.line == LineState::None;
    connect_->setEnabled(idle);
    disconnect_->setEnabled(state.lineHeld());
    add_->setEnabled(idle);
    delete_->setEnabled(idle);
    // A link reads one way from its start to its end.
    fastPass_->setEnabled(idle);
    showPorts(state);
    loadNames(false);
    showInstruments(state);
}

// A port that left the list while linked is a lost line; the session waits for it.
void CControlDlg::refreshPorts() {
    portTable_.refresh(availablePorts());
    const SessionState& state = live_.state();
    const auto& entries = portTable_.entries();
    if (state.linked() && std::find(entries.begin(), entries.end(), state.port) == entries.end())
        session_.portRemoved();
    showState(live_.state());
}

QStringList CControlDlg::referenceAssets() const {
    QStringList assets;
    if (configFile_.isEmpty())
        return assets;
    std::vector<RegisteredReference> references;
    std::string error;
    const LabRegister lab((QFileInfo(configFile_).absolutePath() + QLatin1Char('/')).toStdString());
    // A register that cannot be read offers no choice; the name is typed as before.
    if (lab.references(references, error))
        for (const RegisteredReference& r : references)
            assets << QString::fromStdString(r.asset);
    return assets;
}

}  // namespace vornex
