#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <set>

#include "GraphInput.h"
#include "MessageRecorder.h"
#include "Modal.h"
#include "RecordFiles.h"
#include "TempDir.h"
#include "Wait.h"
#include "app/CVornexApp.h"
#include "app/SimPullDialog.h"
#include "app/SimulateMenu.h"
#include "app/SimulatedInstruments.h"
#include "frame/CDlgTestCreate.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "frame/LanguageSwitch.h"
#include "frame/WindowStatus.h"
#include "graph/CHeaderToolBar.h"
#include "graph/CVornexView.h"
#include "graph/ToolbarState.h"
#include "panel/CControlDlg.h"
#include "record/TestFile.h"
#include "sim/SimulatedLine.h"

namespace vornex {
namespace {

using test::waitUntil;

// The program started as `vornex --simulate` in a home folder of its own, its window shown.
class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(app.init({"vornex", "--simulate", "--home", home.qPath()}, error))
            << error.toStdString();
        app.mainFrame()->show();
    }

    test::TempDir home;
    test::MessageRecorder messages;
    CVornexApp app;
};

// The program as a user drives it: simulated line, three instruments, one test recorded, closed,
// found on disk.
TEST_F(EndToEndTest, RecordsThreeInstrumentsIntoTodaysTest) {
    CMainFrame& frame = *app.mainFrame();
    CControlDlg& panel = *frame.controlPanel();
    ASSERT_EQ(panel.portText(), app.simulatedPort()) << "the simulated line comes first";

    for (const char* address : {"1", "2", "3"}) {
        test::whenModal([address](QDialog* dialog) { test::typeAndEnter(dialog, address); });
        QTest::mouseClick(panel.button(CControlDlg::Button::Add), Qt::LeftButton);
    }
    QTest::mouseClick(panel.button(CControlDlg::Button::Connect), Qt::LeftButton);
    ASSERT_TRUE(panel.connected());

    test::whenModal([](QDialog* dialog) {
        auto* create = qobject_cast<CDlgTestCreate*>(dialog);
        create->nameEdit()->setText("e2e");
        create->addButton()->click();
    });
    frame.action(command::kTestNew)->trigger();
    const QString testPath = QString::fromStdString(frame.session().testPath());
    QTest::mouseClick(frame.toolBar()->button(ToolBarButton::Start), Qt::LeftButton);
    ASSERT_TRUE(frame.view()->recording());

    CXGraph& graph = frame.view()->graph();
    const auto shown = [&](int series) { return test::shownPoints(graph, series).size(); };
    ASSERT_TRUE(
        waitUntil([&] { return shown(0) >= 10 && shown(1) >= 10 && shown(2) >= 10; }, 60000));
    QTest::mouseClick(frame.toolBar()->button(ToolBarButton::Stop), Qt::LeftButton);
    frame.action(command::kTestClose)->trigger();
    // Close test left the append to the writer thread; this one waits for it.
    ASSERT_TRUE(frame.session().flush());

    std::set<int> slaves;
    const std::vector<CurvePoint> records = test::readRecords(testPath.toStdString());
    for (const CurvePoint& p : records)
        slaves.insert(p.slave);
    EXPECT_EQ(slaves, (std::set<int>{1, 2, 3}));
    EXPECT_GE(records.size(), 27u);
    EXPECT_TRUE(testPath.startsWith(frame.paths().dataFolder));
    EXPECT_TRUE(messages.messages.empty());
}

// The line is lost mid-recording: the recording stops and is wanted back, so the toolbar keeps
// Stop, the status bar says the line is lost and no message box stands in the way. Plugged in
// again, the line is found and recorded on into the same test by itself, the port list shows it and
// the status bar says when it came back. Then the day folder turns into a file: at the end the
// window says how many points are unwritten and saves them where the user picks.
TEST_F(EndToEndTest, LostLineResumesByItselfAndUnwrittenPointsAreOfferedForSaving) {
    CMainFrame& frame = *app.mainFrame();
    CControlDlg& panel = *frame.controlPanel();
    CHeaderToolBar& toolBar = *frame.toolBar();
    AcquisitionSession& session = frame.session();
    const auto* problem = frame.findChild<QLabel*>(QStringLiteral("statusProblem"));
    ASSERT_NE(problem, nullptr);
    session.addDevice(1);
    QTest::mouseClick(panel.button(CControlDlg::Button::Connect), Qt::LeftButton);
    ASSERT_EQ(session.newTest("lost"), TestSession::AddResult::Added);
    const std::string path = session.testPath();
    QTest::mouseClick(toolBar.button(ToolBarButton::Start), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return session.samplesTaken() >= 3; }));

    app.simulated()->line().unplug();
    ASSERT_TRUE(waitUntil([&] { return session.waitingForLine(); }));
    EXPECT_EQ(toolBar.state(), ToolbarState::Recording);
    const QRegularExpression lost(QString::fromUtf8("^线路于 \\d\\d:\\d\\d:\\d\\d 中断$"));
    EXPECT_TRUE(lost.match(problem->text()).hasMatch()) << problem->text().toStdString();
    EXPECT_TRUE(panel.button(CControlDlg::Button::Disconnect)->isEnabled());
    std::string lineError;
    ASSERT_TRUE(app.simulated()->line().startPty(app.simulatedPort().toStdString(), lineError))
        << lineError;
    ASSERT_TRUE(waitUntil([&] { return panel.connected() && session.recording(); }));
    EXPECT_EQ(session.testPath(), path);
    EXPECT_EQ(panel.portText(), app.simulatedPort());
    const QRegularExpression back(
        QString::fromUtf8("^线路于 \\d\\d:\\d\\d:\\d\\d 恢复，\\d+ 秒无读数$"));
    EXPECT_TRUE(back.match(problem->text()).hasMatch()) << problem->text().toStdString();
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(toolBar.state(), ToolbarState::Recording);
    const uint64_t taken = session.samplesTaken();
    ASSERT_TRUE(waitUntil([&] { return session.samplesTaken() >= taken + 3; }));
    ASSERT_TRUE(session.flush());
    const size_t filed = TestFile(path).count().counts.total();
    const QString day = QFileInfo(QString::fromStdString(path)).path();
    ASSERT_TRUE(QDir(day).removeRecursively());
    QFile blocker(day);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ASSERT_TRUE(waitUntil([&] { return session.queuedPoints() >= 3; }));

    const QString saved = home.qFile("saved.pdat");
    test::whenModal([saved](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(files, nullptr);
        files->selectFile(saved);
        dialog->accept();
    });
    messages.answers.push_back(0);
    frame.close();
    const size_t savedCount = test::readRecords(saved.toStdString()).size();
    EXPECT_GE(savedCount, 3u);
    EXPECT_EQ(session.samplesTaken(), filed + savedCount);
    bool told = false;
    for (const MessageRecord& m : messages.messages) {
        told |= m.text.contains(QString::number(savedCount)) &&
                m.text.contains(QString::fromStdString(path));
    }
    EXPECT_TRUE(told);
}

// A new user tries a pull by hand: with the wrench cycles off the instrument rests at zero, and
// Simulate > Pull makes the one pull asked for, on the instrument chosen, as its curve shows. The
// menu sits before Help and speaks the window's language, and Help keeps its own title. Unplug
// and plug in the line from the same menu: the window waits for it and then polls again.
TEST_F(EndToEndTest, SimulateMenuPullsOnTheInstrumentChosenAndUnplugsTheLine) {
    CMainFrame& frame = *app.mainFrame();
    SimulateMenu& simulate = *app.simulateMenu();
    frame.language().choose(command::kLanguageEnUS);
    const QList<QAction*> bar = frame.menuBar()->actions();
    ASSERT_GE(bar.size(), 2);
    EXPECT_EQ(bar[bar.size() - 2]->text(), QStringLiteral("&Simulate"));
    EXPECT_EQ(bar.back()->text(), QStringLiteral("&Help"));

    simulate.cyclesAction()->trigger();
    AcquisitionSession& session = frame.session();
    session.addDevice(1);
    session.addDevice(2);
    QTest::mouseClick(frame.controlPanel()->button(CControlDlg::Button::Connect), Qt::LeftButton);
    ASSERT_EQ(session.newTest("pulls"), TestSession::AddResult::Added);
    QTest::mouseClick(frame.toolBar()->button(ToolBarButton::Start), Qt::LeftButton);
    CXGraph& graph = frame.view()->graph();
    const auto highest = [&](int series) {
        double top = 0.0;
        for (const auto& point : test::shownPoints(graph, series))
            top = std::max(top, point.second);
        return top;
    };
    ASSERT_TRUE(waitUntil([&] { return test::shownPoints(graph, 1).size() >= 5; }, 30000));
    EXPECT_LT(highest(1), 1.0) << "without its cycles the instrument rests";

    test::whenModal([](QDialog* dialog) {
        auto* pull = qobject_cast<SimPullDialog*>(dialog);
        ASSERT_NE(pull, nullptr);
        pull->instrumentBox()->setCurrentIndex(pull->instrumentBox()->findText("2"));
        pull->peakBox()->selectAll();
        QTest::keyClicks(pull->peakBox(), "150");
        // The instrument tracks its torque: a slow pull stays near its top for long enough that
        // a poll delayed by a loaded machine still sees it.
        pull->riseBox()->setValue(1500);
        dialog->accept();
    });
    simulate.pullAction()->trigger();
    ASSERT_TRUE(waitUntil([&] { return highest(1) >= 140.0; }, 30000)) << highest(1);
    EXPECT_LE(highest(1), 150.5);
    EXPECT_LT(highest(0), 1.0) << "the other instrument was not pulled";

    simulate.unplugAction()->trigger();
    ASSERT_TRUE(waitUntil([&] { return session.waitingForLine(); }));
    simulate.unplugAction()->trigger();
    ASSERT_TRUE(waitUntil([&] { return session.recording() && !session.waitingForLine(); }));
    EXPECT_TRUE(messages.messages.empty());
    QTest::mouseClick(frame.toolBar()->button(ToolBarButton::Stop), Qt::LeftButton);
}

// `vornex FILE.pdat`, as a file manager opens a test file: the window starts with it in the
// graph, or names a file it cannot read.
TEST(OpenFromCommandLine, ShowsTheTestOrSaysItCannotBeRead) {
    test::TempDir home;
    const QString file = home.qFile("bench.pdat");
    const CurvePoint points[] = {{0.0, 1.5, 4, {}}, {0.5, 2.5, 4, {}}};
    ASSERT_TRUE(TestFile(file.toStdString()).append(points, 2).ok());
    for (const QString& named : {file, home.qFile("missing.pdat")}) {
        test::MessageRecorder messages;
        CVornexApp app;
        QString error;
        ASSERT_TRUE(app.init({"vornex", "--home", home.qPath(), named}, error))
            << error.toStdString();
        const bool readable = named == file;
        EXPECT_EQ(app.mainFrame()->status().loadedFile(), readable ? "bench.pdat" : "");
        EXPECT_EQ(test::shownPoints(app.mainFrame()->view()->graph(), 3).size(),
                  readable ? 2u : 0u);
        EXPECT_EQ(messages.messages.size(), readable ? 0u : 1u);
    }
}

}  // namespace
}  // namespace vornex
