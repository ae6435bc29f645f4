#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <memory>
#include <vector>

#include "LineFixture.h"
#include "MessageRecorder.h"
#include "Modal.h"
#include "TempDir.h"
#include "Wait.h"
#include "controls/CDigiStatic.h"
#include "frame/CDlgTestCreate.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "frame/WindowStatus.h"
#include "graph/CHeaderToolBar.h"
#include "graph/CVornexView.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "panel/CControlDlg.h"
#include "sim/SimulatedLine.h"

namespace vornex {
namespace {

using test::waitUntil;

// What the user does next. Unplug and Replug pull the line and plug it in again, and the window
// hears of the port leaving or joining the list as from the system.
enum class Act { Add, Connect, Disconnect, New, Start, Stop, Close, Unplug, Replug, Silence };

// After the act, once the session's state says `line` and `test`: which buttons can be pressed —
// toolbar Start, Stop, Zoom, Move, Measure, Print, then panel Connect, Disconnect, Add, Delete and
// the port list ('1' on) —, whether the LED shows the reading, and whether the notice of the
// line's return is shown calm by now.
struct Step {
    Act act;
    LineState line;
    TestState test;
    const char* toolbar;
    const char* panel;
    bool reading;
    bool noticeCalm = false;
};

struct Sequence {
    const char* name;
    std::vector<Step> steps;
};

using L = LineState;
using T = TestState;

const Sequence kSequences[] = {
    {"ConnectWithAnEmptyListThenAdd",
     {{Act::Connect, L::None, T::None, "000000", "10111", false},
      {Act::Add, L::None, T::None, "000000", "10111", false}}},
    {"ReadingThenFailingReadsThenDisconnect",
     {{Act::Add, L::None, T::None, "000000", "10111", false},
      {Act::Connect, L::Polling, T::None, "000000", "01000", true},
      {Act::Silence, L::Polling, T::None, "000000", "01000", false},
      {Act::Disconnect, L::None, T::None, "000000", "10111", false}}},
    {"StoppedTestAcrossDisconnectAndConnect",
     {{Act::Add, L::None, T::None, "000000", "10111", false},
      {Act::Connect, L::Polling, T::None, "000000", "01000", true},
      {Act::New, L::Polling, T::Open, "100000", "01000", true},
      {Act::Start, L::Polling, T::Recording, "010000", "01000", true},
      {Act::Stop, L::Polling, T::Stopped, "101111", "01000", true},
      {Act::Disconnect, L::None, T::Stopped, "000000", "10111", false},
      {Act::Connect, L::Polling, T::Stopped, "101111", "01000", true}}},
    {"StartAndConnectDuringTheWaitThenTheLineComesBack",
     {{Act::Add, L::None, T::None, "000000", "10111", false},
      {Act::Connect, L::Polling, T::None, "000000", "01000", true},
      {Act::New, L::Polling, T::Open, "100000", "01000", true},
      {Act::Unplug, L::Waiting, T::Open, "100000", "01000", false},
      {Act::Start, L::Waiting, T::Recording, "010000", "01000", false},
      {Act::Connect, L::Waiting, T::Recording, "010000", "01000", false},
      {Act::Replug, L::Polling, T::Recording, "010000", "01000", true},
      {Act::Stop, L::Polling, T::Stopped, "101111", "01000", true, true}}},
    {"StopStartCloseAndNewDuringTheWait",
     {{Act::Add, L::None, T::None, "000000", "10111", false},
      {Act::Connect, L::Polling, T::None, "000000", "01000", true},
      {Act::New, L::Polling, T::Open, "100000", "01000", true},
      {Act::Start, L::Polling, T::Recording, "010000", "01000", true},
      {Act::Unplug, L::Waiting, T::Recording, "010000", "01000", false},
      {Act::Stop, L::Waiting, T::Stopped, "101111", "01000", false},
      {Act::Start, L::Waiting, T::Recording, "010000", "01000", false},
      {Act::Close, L::None, T::Closed, "001111", "10111", false},
      {Act::New, L::None, T::Open, "000000", "10111", false}}},
    {"LostLineThenDisconnect",
     {{Act::Add, L::None, T::None, "000000", "10111", false},
      {Act::Connect, L::Polling, T::None, "000000", "01000", true},
      {Act::Unplug, L::Waiting, T::None, "000000", "01000", false},
      {Act::Disconnect, L::None, T::None, "000000", "10111", false}}},
};

// The whole window on a fresh home folder, with instrument 1 (12.50 N.m) on a simulated line
// that the port list offers before another port.
class WindowStateTest : public ::testing::TestWithParam<Sequence> {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(line_.startPty(linkPath_, error)) << error;
        frame_ = std::make_unique<CMainFrame>(AppPaths::forHome(home_.qPath()), [this] {
            std::vector<std::string> ports;
            if (QFileInfo::exists(QString::fromStdString(linkPath_)))
                ports.push_back(linkPath_);
            ports.push_back(home_.file("ttyOTHER"));
            return ports;
        });
        frame_->show();
    }

    CControlDlg& panel() { return *frame_->controlPanel(); }
    const SessionState& state() { return frame_->session().state(); }

    void act(Act what) {
        switch (what) {
            case Act::Add:
                test::whenModal([](QDialog* dialog) { test::typeAndEnter(dialog, "1"); });
                panel().onAdd();
                return;
            case Act::Connect:
                QTest::mouseClick(panel().button(CControlDlg::Button::Connect), Qt::LeftButton);
                return;
            case Act::Disconnect:
                QTest::mouseClick(panel().button(CControlDlg::Button::Disconnect), Qt::LeftButton);
                return;
            case Act::New:
                test::whenModal([name = QString::number(++tests_)](QDialog* dialog) {
                    auto* create = qobject_cast<CDlgTestCreate*>(dialog);
                    create->nameEdit()->setText("test" + name);
                    create->addButton()->click();
                });
                frame_->action(command::kTestNew)->trigger();
                return;
            case Act::Start:
            case Act::Stop:
                QTest::mouseClick(
                    frame_->toolBar()->button(what == Act::Start ? ToolBarButton::Start
                                                                 : ToolBarButton::Stop),
                    Qt::LeftButton);
                return;
            case Act::Close:
                frame_->action(command::kTestClose)->trigger();
                return;
            case Act::Unplug:
                line_.unplug();
                panel().refreshPorts();
                return;
            case Act::Replug: {
                std::string error;
                ASSERT_TRUE(line_.startPty(linkPath_, error)) << error;
                panel().refreshPorts();
                return;
            }
            case Act::Silence:
                line_.faults().setSilent(1, true);
                return;
        }
    }

    QString enabling() {
        QString flags;
        for (int i = 0; i < kToolBarButtonCount; ++i)
            flags +=
                frame_->toolBar()->button(static_cast<ToolBarButton>(i))->isEnabled() ? '1' : '0';
        for (auto which : {CControlDlg::Button::Connect, CControlDlg::Button::Disconnect,
                           CControlDlg::Button::Add, CControlDlg::Button::Delete})
            flags += panel().button(which)->isEnabled() ? '1' : '0';
        return flags + (panel().portList()->isEnabled() ? '1' : '0');
    }

    // The line field of the status bar as the state says it, in the window's language.
    QRegularExpression expectedLineField() {
        const char* key = state().linked()             ? langkey::kStatusConnected
                          : state().line == L::Waiting ? langkey::kStatusWaiting
                                                       : langkey::kStatusDisconnected;
        QStringList parts =
            GetLangString(frame_->languageFile(), QString::fromLatin1(key)).split("%1");
        for (QString& part : parts)
            part = QRegularExpression::escape(part);
        return QRegularExpression('^' + parts.join(".+") + '$');
    }

    test::TempDir home_;
    const std::string linkPath_ = home_.file("ttySIM");
    sim::SimulatedLine line_{test::lineOf({test::instrument(1, 12.5f, 2)})};
    test::MessageRecorder messages_;
    std::unique_ptr<CMainFrame> frame_;
    int tests_ = 0;
};

TEST_P(WindowStateTest, EveryPaneAgreesWithTheSessionAfterEveryStep) {
    const auto* lineField = frame_->findChild<QLabel*>(QStringLiteral("statusLine"));
    ASSERT_NE(lineField, nullptr);
    CDigiStatic& led = *panel().valueDisplay();
    const QString yAxisUnit = QStringLiteral("N.m");
    int number = 0;
    for (const Step& step : GetParam().steps) {
        SCOPED_TRACE(testing::Message() << "step " << ++number);
        act(step.act);
        const QString reading = step.reading ? "12.50" : "-----";
        waitUntil([&] {
            return state().line == step.line && state().test == step.test &&
                   led.text() == reading &&
                   (step.act != Act::Silence ||
                    state().displayed()->presence == PresenceState::CommunicationError);
        });
        ASSERT_EQ(state().line, step.line);
        ASSERT_EQ(state().test, step.test);
        EXPECT_EQ(enabling(), QString::fromLatin1(step.toolbar) + step.panel);
        EXPECT_EQ(led.text(), reading);

        // The port held is the one shown, whether or not the port list still finds it.
        const QStringList fields = lineField->text().split(QStringLiteral(" | "));
        ASSERT_GE(fields.size(), 2) << lineField->text().toStdString();
        EXPECT_TRUE(expectedLineField().match(fields[1]).hasMatch())
            << lineField->text().toStdString();
        if (state().lineHeld()) {
            EXPECT_EQ(panel().portList()->currentText().toStdString(), state().port);
            EXPECT_TRUE(fields[0].endsWith(QString::fromStdString(state().port)));
        }
        if (step.reading || step.act == Act::Silence) {
            EXPECT_TRUE(frame_->view()->graph().yAxis->label().contains(yAxisUnit));
        }
        // The news of a lost line stands while the line is waited for, and not after.
        QStringList lostParts =
            GetLangString(frame_->languageFile(), QString::fromLatin1(langkey::kStatusLineLost))
                .split("%1");
        for (QString& part : lostParts)
            part = QRegularExpression::escape(part);
        const bool lostShown = QRegularExpression('^' + lostParts.join(".+") + '$')
                                   .match(frame_->status().problemText())
                                   .hasMatch();
        EXPECT_TRUE(lostShown ? state().line == L::Waiting : step.act != Act::Unplug)
            << frame_->status().problemText().toStdString();
        if (step.noticeCalm) {
            EXPECT_FALSE(frame_->status().problemText().isEmpty());
            EXPECT_FALSE(frame_->status().problemHighlighted());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sequences, WindowStateTest, ::testing::ValuesIn(kSequences),
                         [](const auto& sequence) { return std::string(sequence.param.name); });

}  // namespace
}  // namespace vornex
