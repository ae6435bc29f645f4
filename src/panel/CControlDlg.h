#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <string>

#include "link/PollObserver.h"
#include "link/Poller.h"
#include "panel/PortSource.h"

class QComboBox;
class QPushButton;

namespace vornex {

class CDigiStatic;
class CListCtrlEx;
class HotplugWatcher;

// The left column of the main window: the live value and unit of the displayed instrument on two
// LED displays, the instruments to poll, the serial port and the buttons that open and close the
// polling link. It owns the poller; the acquisition thread's news reach the widgets only as
// queued calls on the window's thread.
class CControlDlg : public QWidget, private PollObserver {
    Q_OBJECT

public:
    static constexpr int kDialogNumber = 320;
    static constexpr int kWidth = 230;
    static constexpr const char* kPortBusyText = "端口已被占用，无法连接！";
    static constexpr const char* kPortBusyCaption = "提示";

    enum class Button { Connect, Disconnect, Add, Delete };

    // Column "S" of the device list: where each instrument stands.
    static QString presenceMark(PresenceState state);

    CControlDlg(const RecordingSignal& recording, PortSource ports, QWidget* parent = nullptr);
    ~CControlDlg() override;

    // Texts of the panel in a language; messages take their texts from the same file.
    void applyLanguage(const QString& languageFile);

    // Ends polling and waits for the acquisition thread, e.g. before the window goes away.
    void stopPolling();

    Poller& poller() { return *poller_; }
    SampleQueue& samples() { return poller_->samples(); }
    bool connected() const { return state_ == LinkState::Connected; }
    QString portText() const;

    CDigiStatic* valueDisplay() const { return value_; }
    CDigiStatic* unitDisplay() const { return unit_; }
    QComboBox* displayList() const { return displayList_; }
    CListCtrlEx* deviceList() const { return devices_; }
    QComboBox* portList() const { return ports_; }
    QPushButton* button(Button which) const;

public slots:
    void onConnect();
    void onDisconnect();
    void onAdd();
    // Deletes the selected row of the device list.
    void onDelete();
    // Fills the port list again, keeping the selected port when it is still there.
    void refreshPorts();

signals:
    // The header toolbar follows the link: Start becomes possible, or nothing does.
    void linked();
    void unlinked();

protected:
    // Runs the add-device dialog; 0 when cancelled or out of range.
    virtual int askAddress();

private:
    enum class LinkState { Disconnected, Connected, PortLost };

    void buildLayout();
    void deleteRow(int row);
    void onAddressEdited(int row, const QString& text);
    void onDisplaySelection();
    void fillPorts();
    void loseLink();
    void updateButtons();
    bool hasAddress(int address, int exceptRow) const;
    void showLangMessage(const char* key);

    // PollObserver, on the acquisition thread.
    void displayChanged(const std::string& valueText, const std::string& unitText) override;
    void presenceChanged(size_t index, uint8_t address, PresenceState state) override;
    void passEnded(unsigned pass, const std::vector<RecordSnapshot>& records) override;
    void stoppedOnEmptyTable() override;
    void portLost(const std::string& reason) override;
    void pollingEnded() override;

    PortSource portSource_;
    QString languageFile_;
    LinkState state_ = LinkState::Disconnected;
    std::string connectedPort_;

    CDigiStatic* value_;
    CDigiStatic* unit_;
    QComboBox* displayList_;
    CListCtrlEx* devices_;
    QComboBox* ports_;
    QPushButton* connect_;
    QPushButton* disconnect_;
    QPushButton* add_;
    QPushButton* delete_;
    HotplugWatcher* watcher_;

    std::unique_ptr<Poller> poller_;
};

}  // namespace vornex
