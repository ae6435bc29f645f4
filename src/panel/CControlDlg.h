#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <map>
#include <string>
#include <vector>

#include "link/PortTable.h"
#include "panel/PortSource.h"
#include "session/SessionState.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace vornex {

class AcquisitionSession;
class CDigiStatic;
class CListCtrlEx;
class HotplugWatcher;
class SessionSignals;

// The left column of the main window: the live value and unit of the displayed instrument on two
// LED displays, the instruments to poll (kept per port in config.ini and brought back when the
// port is chosen again) with the name the user gave each address on the port (kept in config.ini,
// edited in place), the port (a serial port, or a gateway's address typed
// in and kept in config.ini once connected to) and the buttons that open and close the
// polling link of a session, and whether that link reads each live block with one request (the
// fast pass, kept in config.ini). What it shows of the session (buttons, port, column S, the LED
// displays) is the session's state, as the session last published it.
class CControlDlg : public QWidget {
    Q_OBJECT

public:
    static constexpr int kDialogNumber = 320;
    static constexpr int kWidth = 230;
    static constexpr const char* kPortBusyText = "端口已被占用，无法连接！";
    static constexpr const char* kPortBusyCaption = "提示";
    // Connect with no serial port on the machine (captioned with the program's title), and
    // device notifications that cannot be set up.
    static constexpr const char* kNoPortText = "本机没有串口.....";
    static constexpr const char* kNoPortCaption = "Vornex";
    static constexpr const char* kNoNotificationsText = "注册USB设备通知失败";
    static constexpr const char* kNoNotificationsCaption = "错误";
    // The value display while no reading is current.
    static constexpr const char* kNoValueText = "-----";

    enum class Button { Connect, Disconnect, Add, Delete };

    // Column "S" of the device list: where each instrument stands, in the panel's language.
    QString presenceMark(PresenceState state) const;

    // The session's signals must outlive the panel. The names of the addresses and each port's
    // device list are kept in `configFile`.
    CControlDlg(SessionSignals& live, PortSource ports, QString configFile = QString(),
                QWidget* parent = nullptr);

    // Texts of the panel in a language; messages take their texts from the same file.
    void applyLanguage(const QString& languageFile);

    bool connected() const;
    QString portText() const;

    CDigiStatic* valueDisplay() const { return value_; }
    CDigiStatic* unitDisplay() const { return unit_; }
    QComboBox* displayList() const { return displayList_; }
    CListCtrlEx* deviceList() const { return devices_; }
    QComboBox* portList() const { return ports_; }
    QCheckBox* fastPassBox() const { return fastPass_; }
    QPushButton* button(Button which) const;

public slots:
    void onConnect();
    void onDisconnect();
    void onAdd();
    // Deletes the selected row of the device list.
    void onDelete();
    // Fills the port list again, keeping the selected port when it is still there.
    void refreshPorts();
    // Buttons, port list, column S and the displays as `state` says.
    void showState(const SessionState& state);

protected:
    // Runs the add-device dialog, proposing the lowest address not in the list; 0 when cancelled
    // or out of range.
    virtual int askAddress();

private:
    static constexpr int kAddressColumn = 0;
    static constexpr int kNameColumn = 1;
    static constexpr int kPresenceColumn = 2;

    void buildLayout();
    // Deletes a row and keeps the list that is left.
    void deleteRow(int row);
    // A row less, or one more at the end, in the session's table as in the lists; false when the
    // session refused it.
    bool removeRow(int row);
    bool appendRow(int address);
    // Keeps the device list of the port shown in config.ini, or says that it could not.
    void saveDevices();
    // The device list kept for the port shown, in place of the rows, while no line is held.
    void restoreDevices();
    // The source's ports, then the network ports typed in earlier.
    std::vector<std::string> availablePorts() const;
    // Takes the gateway address typed into the port list: remembered and selected.
    void takeTypedPort();
    // The fast pass for the next link, kept in config.ini.
    void onFastPassToggled(bool on);
    void onAddressEdited(int row, const QString& text);
    void onNameEdited(int row, const QString& text);
    // The register's reference assets, offered as names of the instruments on the line.
    QStringList referenceAssets() const;
    // The names of the port shown, read again when it is another port; the session hears them.
    // Another port brings its device list along.
    void loadNames(bool always);
    void onDisplaySelection();
    void showPorts(const SessionState& state);
    void showInstruments(const SessionState& state);
    bool hasAddress(int address, int exceptRow) const;

    SessionSignals& live_;
    AcquisitionSession& session_;
    PortSource portSource_;
    PortTable portTable_;
    QString languageFile_;
    QString configFile_;
    // The port whose names are shown, and those names by address.
    QString namesPort_;
    std::map<int, std::string> names_;
    // Gateways typed into the port list while the panel runs, the latest first; config.ini keeps
    // those connected to.
    std::vector<std::string> typedNow_;

    CDigiStatic* value_;
    CDigiStatic* unit_;
    QComboBox* displayList_;
    CListCtrlEx* devices_;
    QComboBox* ports_;
    QCheckBox* fastPass_;
    QPushButton* connect_;
    QPushButton* disconnect_;
    QPushButton* add_;
    QPushButton* delete_;
    HotplugWatcher* watcher_;
};

}  // namespace vornex
