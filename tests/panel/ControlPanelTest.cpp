#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <filesystem>
#include <memory>

#include "Files.h"
#include "LineFixture.h"
#include "MessageRecorder.h"
#include "Modal.h"
#include "SilentGateway.h"
#include "TempDir.h"
#include "Wait.h"
#include "config/BenchConfig.h"
#include "controls/CComboItem.h"
#include "controls/CDigiStatic.h"
#include "controls/CEditItem.h"
#include "controls/CListCtrlEx.h"
#include "link/NetworkPort.h"
#include "panel/CControlDlg.h"
#include "panel/CDialogAddDev.h"
#include "record/HeadlessGraph.h"
#include "register/LabRegister.h"
#include "session/AcquisitionSession.h"
#include "session/qt/SessionSignals.h"
#include "sim/NetworkGateway.h"
#include "sim/SimulatedLine.h"

namespace vornex {
namespace {

using Button = CControlDlg::Button;
using test::waitUntil;

// A panel whose port list is whatever the test says, beside a line with instruments 1 and 2
// (live values 12.5 and 40) and nothing at address 9.
class ControlPanelTest : public ::testing::Test {
protected:
    ControlPanelTest()
        : line_(test::lineOf({test::instrument(1, 12.5f, 2), test::instrument(2, 40.0f, 2)})) {}

    void SetUp() override {
        std::string error;
        ASSERT_TRUE(line_.startPty("", error)) << error;
        ports_->push_back(line_.portPath());
        panel_ = std::make_unique<CControlDlg>(
            live_, [ports = ports_] { return *ports; }, config_);
        panel_->show();
        panel_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(panel_.get()));
    }

    void add(const QString& typed) {
        test::whenModal([typed](QDialog* dialog) { test::typeAndEnter(dialog, typed); });
        panel_->onAdd();
    }

    QStringList rows() const {
        QStringList ids;
        for (int row = 0; row < panel_->deviceList()->GetItemCount(); ++row)
            ids << panel_->deviceList()->GetItemText(row, 0);
        return ids;
    }

    QStringList displayEntries() const {
        QStringList entries;
        for (int i = 0; i < panel_->displayList()->count(); ++i)
            entries << panel_->displayList()->itemText(i);
        return entries;
    }

    // Opens the in-place editor of a row's cell (its ID unless told), types (after selecting all)
    // and presses Enter.
    void editRow(int row, const QString& typed, int column = 0) {
        CListCtrlEx* list = panel_->deviceList();
        // The add dialog took the activation; the editor needs the focus of an active window.
        panel_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(panel_.get()));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row, column)).center());
        // A name is typed into the drop-down of the register's references, any other cell into an
        // edit.
        QWidget* editor = list->editor();
        if (auto* combo = qobject_cast<CComboItem*>(editor)) {
            offered_ = QStringList();
            for (int i = 0; i < combo->count(); ++i)
                offered_ << combo->itemText(i);
            combo->lineEdit()->selectAll();
        } else if (auto* edit = qobject_cast<CEditItem*>(editor)) {
            edit->selectAll();
        }
        ASSERT_NE(editor, nullptr);
        if (typed.isEmpty())
            QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, typed);
        QTest::keyClick(editor, Qt::Key_Return);
        ASSERT_TRUE(waitUntil([&] { return list->editor() == nullptr; }));
    }

    bool enabled(Button which) const { return panel_->button(which)->isEnabled(); }
    bool idleButtons() const {
        return enabled(Button::Connect) && !enabled(Button::Disconnect) && enabled(Button::Add) &&
               enabled(Button::Delete) && panel_->portList()->isEnabled();
    }

    sim::SimulatedLine line_;
    test::TempDir home_;
    const QString config_ = home_.qFile("config.ini");
    std::shared_ptr<std::vector<std::string>> ports_ = std::make_shared<std::vector<std::string>>();
    test::MessageRecorder messages_;
    QStringList offered_;  // by the last name editor
    std::unique_ptr<CControlDlg> panel_;
    // Ends before the panel that hears from it.
    HeadlessGraph graph_;
    AcquisitionSession session_{"/nonexistent/", graph_};
    SessionSignals live_{session_};
};

TEST_F(ControlPanelTest, AddTakesOnlyNewAddressesFromOneToThirtyAndTheFirstBecomesDisplayed) {
    for (const QString typed : {"0", "", "31", "300"})
        add(typed);
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_TRUE(messages_.messages.empty()) << "out-of-range addresses are dropped silently";

    add("30");
    add("5");
    add("5");
    EXPECT_EQ(rows(), QStringList({"30", "5"}));
    EXPECT_EQ(displayEntries(), QStringList({"30", "5"}));
    ASSERT_EQ(session_.deviceCount(), 2u);
    EXPECT_EQ(session_.state().instruments[1].address, 5);
    ASSERT_EQ(messages_.messages.size(), 1u) << "the duplicate is refused with a message";
    EXPECT_EQ(panel_->displayList()->currentText(), "30");
    EXPECT_EQ(session_.displayedAddress(), 30);
}

// Enter alone takes the address proposed: the lowest one not in the list, none when all are.
TEST_F(ControlPanelTest, AddProposesTheLowestFreeAddress) {
    const auto addProposed = [this] {
        QString proposed;
        test::whenModal([&proposed](QDialog* dialog) {
            auto* edit = dialog->findChild<QLineEdit*>();
            proposed = edit->text();
            QTest::keyClick(edit, Qt::Key_Return);
        });
        panel_->onAdd();
        return proposed;
    };
    add("1");
    add("3");
    EXPECT_EQ(addProposed(), "2");
    EXPECT_EQ(addProposed(), "4");
    EXPECT_EQ(rows(), QStringList({"1", "3", "2", "4"}));
    for (int address = 5; address <= CDialogAddDev::kMaxAddress; ++address)
        add(QString::number(address));
    EXPECT_EQ(addProposed(), "");
    EXPECT_EQ(session_.deviceCount(), 30u);
    EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(ControlPanelTest, DeletingTheDisplayedEntryShowsTheFirstAndTheDeleteKeyKeepsAllInStep) {
    for (const QString typed : {"1", "2", "3"})
        add(typed);
    panel_->displayList()->setCurrentIndex(1);
    EXPECT_EQ(session_.displayedAddress(), 2);

    panel_->deviceList()->selectRow(1);
    panel_->onDelete();
    EXPECT_EQ(rows(), QStringList({"1", "3"}));
    EXPECT_EQ(displayEntries(), QStringList({"1", "3"}));
    EXPECT_EQ(session_.displayedAddress(), 1);

    panel_->deviceList()->setFocus();
    panel_->deviceList()->selectRow(0);
    QTest::keyClick(panel_->deviceList(), Qt::Key_Delete);
    EXPECT_EQ(rows(), QStringList({"3"}));
    EXPECT_EQ(displayEntries(), QStringList({"3"}));
    ASSERT_EQ(session_.deviceCount(), 1u);
    EXPECT_EQ(session_.state().instruments[0].address, 3);
    EXPECT_EQ(session_.displayedAddress(), 3);

    panel_->deviceList()->selectRow(0);
    panel_->onDelete();
    EXPECT_EQ(session_.deviceCount(), 0u);
    EXPECT_EQ(session_.displayedAddress(), 0);
}

TEST_F(ControlPanelTest, AnAddressEditedInPlaceReachesTableAndDisplayListUnlessItIsRefused) {
    add("1");
    add("2");
    editRow(0, "12");
    EXPECT_EQ(rows(), QStringList({"12", "2"}));
    EXPECT_EQ(displayEntries(), QStringList({"12", "2"}));
    EXPECT_EQ(session_.state().instruments[0].address, 12);
    EXPECT_EQ(session_.displayedAddress(), 12);

    editRow(1, "12");
    editRow(1, "31");
    EXPECT_EQ(rows(), QStringList({"12", "2"}));
    EXPECT_EQ(session_.state().instruments[1].address, 2);
    EXPECT_EQ(messages_.messages.size(), 2u);
}

// The device list and its names are kept per port and come back with the port, after a restart
// too; a port never given a list keeps the rows there are.
TEST_F(ControlPanelTest, TheDeviceListAndItsNamesAreKeptPerPortAndShownAgainAfterARestart) {
    add("1");
    add("2");
    // A name is chosen among the register's reference assets, or typed.
    RegisteredReference asset;
    asset.asset = "REF-7";
    asset.due = "2099-01-01";
    std::string error;
    ASSERT_TRUE(LabRegister(home_.path() + "/").enter(asset, error)) << error;
    editRow(0, "REF-7", 1);
    EXPECT_EQ(offered_, QStringList({"REF-7"}));
    EXPECT_EQ(BenchConfig(config_).deviceNames(line_.portPath()),
              (std::map<int, std::string>{{1, "REF-7"}}));
    editRow(0, "", 1);
    editRow(1, "Station 3 / SN 4711", 1);
    const auto name = [](CControlDlg& panel, int row) {
        return panel.deviceList()->GetItemText(row, 1);
    };
    EXPECT_EQ(name(*panel_, 1), "Station 3 / SN 4711");
    EXPECT_EQ(name(*panel_, 0), "");
    EXPECT_EQ(BenchConfig(config_).deviceNames(line_.portPath()),
              (std::map<int, std::string>{{2, "Station 3 / SN 4711"}}));
    // Another port names its addresses apart and keeps a list of its own.
    ports_->push_back("/dev/vornex-test-other");
    panel_->refreshPorts();
    panel_->portList()->setCurrentIndex(1);
    EXPECT_EQ(rows(), QStringList({"1", "2"}));
    EXPECT_EQ(name(*panel_, 1), "");
    panel_->deviceList()->selectRow(0);
    panel_->onDelete();
    add("7");
    panel_->portList()->setCurrentIndex(0);
    EXPECT_EQ(rows(), QStringList({"1", "2"}));
    EXPECT_EQ(displayEntries(), QStringList({"1", "2"}));
    EXPECT_EQ(name(*panel_, 1), "Station 3 / SN 4711");
    editRow(0, "4");
    EXPECT_EQ(BenchConfig(config_).deviceList(line_.portPath()), std::vector({4, 2}));
    EXPECT_EQ(BenchConfig(config_).deviceList("/dev/vornex-test-other"), std::vector({2, 7}));

    HeadlessGraph graph;
    AcquisitionSession session("/nonexistent/", graph);
    SessionSignals live(session);
    CControlDlg restarted(
        live, [ports = ports_] { return *ports; }, config_);
    ASSERT_EQ(restarted.deviceList()->GetItemCount(), 2);
    EXPECT_EQ(restarted.deviceList()->GetItemText(0, 0), "4");
    EXPECT_EQ(restarted.displayList()->currentText(), "4");
    EXPECT_EQ(name(restarted, 1), "Station 3 / SN 4711");
    restarted.portList()->setCurrentIndex(1);
    ASSERT_EQ(session.deviceCount(), 2u);
    EXPECT_EQ(session.state().instruments[1].address, 7);
    EXPECT_TRUE(messages_.messages.empty());
}

// The simulated line's pty is made anew at every start: its names and list are kept under one
// name for it, and no section names the pty's passing path.
TEST_F(ControlPanelTest, TheSimulatedLineKeepsItsListAndNamesAcrossItsChangingPaths) {
    const auto start = [this](const char* folder) {
        std::filesystem::create_directory(home_.file(folder));
        const std::string path = home_.file(folder) + "/line";
        ports_->assign({path});
        return path;
    };
    start("vornex-sim-Ab12Cd");
    panel_->refreshPorts();
    add("3");
    editRow(0, "Bench left", 1);

    ports_->clear();
    panel_->refreshPorts();
    HeadlessGraph graph;
    AcquisitionSession session("/nonexistent/", graph);
    SessionSignals live(session);
    start("vornex-sim-Zz98Yx");
    CControlDlg restarted(
        live, [ports = ports_] { return *ports; }, config_);
    ASSERT_EQ(restarted.deviceList()->GetItemCount(), 1);
    EXPECT_EQ(restarted.deviceList()->GetItemText(0, 0), "3");
    EXPECT_EQ(restarted.deviceList()->GetItemText(0, 1), "Bench left");
    const QString written = QString::fromUtf8(test::readFile(config_));
    EXPECT_TRUE(written.contains("[Names:simulated]")) << written.toStdString();
    EXPECT_TRUE(written.contains("[Devices:simulated]")) << written.toStdString();
    EXPECT_FALSE(written.contains("vornex-sim-")) << written.toStdString();
}

TEST_F(ControlPanelTest, ConnectDoesNothingWithoutPorts) {
    ports_->clear();
    panel_->refreshPorts();
    panel_->onConnect();
    EXPECT_FALSE(panel_->connected());
    EXPECT_TRUE(idleButtons());
    ASSERT_EQ(messages_.messages.size(), 1u);
    EXPECT_EQ(messages_.messages[0].text, QString::fromUtf8("本机没有串口....."));
    EXPECT_EQ(messages_.messages[0].caption, "Vornex");
}

TEST_F(ControlPanelTest, PollsWhileConnectedAndShowsTheDisplayedValueAndEachPresence) {
    for (const QString typed : {"1", "2", "9"})
        add(typed);
    panel_->onConnect();
    ASSERT_TRUE(panel_->connected());
    ASSERT_TRUE(waitUntil([&] { return panel_->valueDisplay()->text() == "12.50"; }))
        << panel_->valueDisplay()->text().toStdString();
    EXPECT_EQ(panel_->unitDisplay()->text(), "N.m");
    ASSERT_TRUE(waitUntil([&] { return panel_->deviceList()->GetItemText(2, 2) == "--"; }));
    EXPECT_EQ(panel_->deviceList()->GetItemText(0, 2), "OK");

    panel_->displayList()->setCurrentIndex(1);
    ASSERT_TRUE(waitUntil([&] { return panel_->valueDisplay()->text() == "40.00"; }));

    // A second panel's Connect on the held port is refused.
    std::unique_ptr<CControlDlg> second;
    HeadlessGraph secondGraph;
    AcquisitionSession secondSession("/nonexistent/", secondGraph);
    SessionSignals secondLive(secondSession);
    second = std::make_unique<CControlDlg>(secondLive, [ports = ports_] { return *ports; });
    second->onConnect();
    ASSERT_EQ(messages_.messages.size(), 1u);
    EXPECT_EQ(messages_.messages[0].text, QString::fromUtf8(CControlDlg::kPortBusyText));
    EXPECT_EQ(messages_.messages[0].caption, QString::fromUtf8(CControlDlg::kPortBusyCaption));
    EXPECT_FALSE(second->connected());
}

// The fast pass is off until the box is clicked, kept in config.ini and held while linked; an
// instrument that refuses it says so in its row.
TEST_F(ControlPanelTest, TheFastPassBoxIsKeptAndARefusalIsToldInTheRow) {
    QCheckBox* box = panel_->fastPassBox();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    EXPECT_TRUE(session_.fastPass());
    EXPECT_TRUE(BenchConfig(config_).fastPass());
    add("1");
    add("2");
    line_.faults().setMergeRefused(2, true);
    QTest::mouseClick(panel_->button(Button::Connect), Qt::LeftButton);
    EXPECT_FALSE(box->isEnabled());
    CListCtrlEx* list = panel_->deviceList();
    ASSERT_TRUE(waitUntil([&] {
        return list->item(1, 2)->toolTip() == "slave 2: fast pass refused, four requests";
    }));
    EXPECT_EQ(list->item(0, 2)->toolTip(), "");
    QTest::mouseClick(panel_->button(Button::Disconnect), Qt::LeftButton);
    EXPECT_TRUE(waitUntil([&] { return box->isEnabled(); }));
}

TEST_F(ControlPanelTest, HotPlugKeepsTheSelectedPortAndRemovalOfTheConnectedOneIsWaitedFor) {
    ports_->insert(ports_->begin(), "/dev/vornex-test-other");
    panel_->refreshPorts();
    panel_->portList()->setCurrentIndex(1);
    ports_->push_back("/dev/vornex-test-new");
    panel_->refreshPorts();
    EXPECT_EQ(panel_->portText().toStdString(), line_.portPath());

    add("1");
    panel_->onConnect();
    ASSERT_TRUE(panel_->connected());
    const std::string held = line_.portPath();
    ports_->erase(ports_->begin() + 1);
    line_.unplug();
    panel_->refreshPorts();
    EXPECT_FALSE(panel_->connected());
    // The session waits for the line, and no message box stands in its way; the port list keeps
    // showing that port even though it is gone from the list.
    ASSERT_TRUE(session_.waitingForLine());
    ASSERT_TRUE(waitUntil([&] { return !session_.pollingActive(); }));
    EXPECT_TRUE(messages_.messages.empty());
    EXPECT_EQ(panel_->portText().toStdString(), held);
    QTest::mouseClick(panel_->button(Button::Disconnect), Qt::LeftButton);
    EXPECT_FALSE(session_.waitingForLine());
    EXPECT_EQ(panel_->portText(), "/dev/vornex-test-other");
}

// A gateway's address typed into the port list is polled and, once connected to, kept in
// config.ini; its closed sockets, and then its silence, are a lost line that is waited for, and a
// host that does not resolve is named and not kept.
TEST_F(ControlPanelTest, ATypedGatewayIsKeptPolledAndWaitedForWhenItsSocketsClose) {
    sim::NetworkGateway gateway(line_, sim::NetworkGateway::Framing::RtuOverTcp, 0);
    std::string error;
    ASSERT_TRUE(gateway.open(error)) << error;
    const QString address = QString::fromStdString(gateway.address());
    QLineEdit* typing = panel_->portList()->lineEdit();
    for (const QString& typed : {QString("rtu+tcp://no-port"), address}) {
        typing->selectAll();
        QTest::keyClicks(typing, typed);
        QTest::keyClick(typing, Qt::Key_Return);
    }
    EXPECT_EQ(panel_->portText(), address);
    EXPECT_TRUE(BenchConfig(config_).typedPorts().empty());

    add("1");
    panel_->onConnect();
    EXPECT_EQ(BenchConfig(config_).typedPorts(), std::vector({address.toStdString()}));
    ASSERT_TRUE(waitUntil([&] { return panel_->valueDisplay()->text() == "12.50"; }));
    gateway.close();
    ASSERT_TRUE(waitUntil([&] {
        session_.watchLine();
        return session_.waitingForLine();
    }));
    {
        // Its cable pulled, the gateway's address swallows connects: waited through as well.
        test::SilentGateway silent(NetworkPort::parse(gateway.address())->port);
        ASSERT_TRUE(silent.ready);
        EXPECT_FALSE(waitUntil(
            [&] {
                session_.watchLine();
                return !session_.waitingForLine();
            },
            2000));
        EXPECT_TRUE(session_.waitingForLine());
    }
    ASSERT_TRUE(gateway.open(error)) << error;
    ASSERT_TRUE(waitUntil([&] {
        session_.watchLine();
        return !session_.waitingForLine() && panel_->valueDisplay()->text() == "12.50";
    }));
    panel_->onDisconnect();
    ASSERT_TRUE(waitUntil([&] { return idleButtons(); }));
    typing->selectAll();
    QTest::keyClicks(typing, "tcp://no-such-gateway.invalid");
    panel_->onConnect();
    ASSERT_EQ(messages_.messages.size(), 1u);
    EXPECT_TRUE(messages_.messages[0].text.contains("tcp://no-such-gateway.invalid"));
    // Only the address connected to is kept, and no slot is written empty.
    EXPECT_EQ(BenchConfig(config_).typedPorts(), std::vector({address.toStdString()}));
    const QString written = QString::fromUtf8(test::readFile(config_));
    EXPECT_FALSE(
        written.contains(QRegularExpression("^[0-9]+=\\s*$", QRegularExpression::MultilineOption)))
        << written.toStdString();

    // An address connected to that config.ini does not take stays listed until the end, and
    // says so.
    std::filesystem::remove(config_.toStdString());
    std::filesystem::create_directory(config_.toStdString());
    typing->selectAll();
    QTest::keyClicks(typing, address);
    QTest::keyClick(typing, Qt::Key_Return);
    panel_->onConnect();
    ASSERT_TRUE(panel_->connected());
    ASSERT_EQ(messages_.messages.size(), 2u);
    EXPECT_EQ(panel_->portText(), address);
}

// After Disconnect or a lost port column S is blank; an ID edit that keeps the address asks the
// instrument nothing new.
TEST_F(ControlPanelTest, WhatIsShownIsCurrent) {
    add("1");
    add("2");
    CListCtrlEx* list = panel_->deviceList();
    auto presence = [&](int row) { return list->GetItemText(row, 2); };
    auto connectAndWait = [&] {
        panel_->onConnect();
        ASSERT_TRUE(panel_->connected());
        ASSERT_TRUE(waitUntil([&] {
            return presence(0) == "OK" && presence(1) == "OK" &&
                   panel_->valueDisplay()->text() == "12.50";
        }));
    };
    connectAndWait();

    line_.log().clear();
    editRow(0, "1");
    ASSERT_TRUE(waitUntil([&] { return line_.log().countFor(1) >= 8; }));
    for (const sim::Transaction& t : line_.log().entries())
        EXPECT_NE(t.function, 17) << t.toLine();
    EXPECT_EQ(presence(0), "OK");

    panel_->onDisconnect();
    ASSERT_TRUE(waitUntil([&] { return idleButtons(); }));
    EXPECT_TRUE(waitUntil([&] { return presence(0).isEmpty() && presence(1).isEmpty(); }))
        << presence(0).toStdString() << " " << presence(1).toStdString();

    connectAndWait();
    ports_->clear();
    line_.unplug();
    panel_->refreshPorts();
    ASSERT_TRUE(waitUntil([&] { return session_.waitingForLine() && !session_.pollingActive(); }));
    EXPECT_TRUE(waitUntil([&] { return presence(0).isEmpty(); })) << presence(0).toStdString();
}

}  // namespace
}  // namespace vornex
