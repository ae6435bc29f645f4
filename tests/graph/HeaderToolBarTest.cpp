#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "TempDir.h"
#include "controls/DialogTexts.h"
#include "graph/CHeaderToolBar.h"
#include "graph/CXGraph.h"
#include "graph/GraphModeBinding.h"

namespace vornex {
namespace {

using Row = std::array<bool, kToolBarButtonCount>;

Row enabledRow(const CHeaderToolBar& bar) {
    Row row{};
    for (int i = 0; i < kToolBarButtonCount; ++i) {
        row[i] = bar.button(static_cast<ToolBarButton>(i))->isEnabled();
    }
    return row;
}

//                          Start  Stop   Zoom   Move   Measure Print
constexpr Row kAllOff = {false, false, false, false, false, false};
constexpr Row kLinked = {true, false, false, false, false, false};
constexpr Row kRecording = {false, true, false, false, false, false};
constexpr Row kStopped = {true, false, true, true, true, true};

TEST(HeaderToolBar, StripHoldsSixNumberedButtonsInOrderAllDisabledAtFirst) {
    CHeaderToolBar bar;
    EXPECT_EQ(bar.height(), CHeaderToolBar::kHeight);
    EXPECT_EQ(bar.property(kDialogNumberProperty).toInt(), 312);
    EXPECT_EQ(bar.state(), ToolbarState::Initial);
    EXPECT_EQ(enabledRow(bar), kAllOff);

    const char* texts[] = {"开 始", "停 止", "放 大", "移 动", "测 量", "打 印"};
    const int numbers[] = {1001, 1006, 1002, 1003, 1008, 1005};
    int previousRight = 0;
    for (int i = 0; i < kToolBarButtonCount; ++i) {
        QPushButton* button = bar.button(static_cast<ToolBarButton>(i));
        EXPECT_EQ(button->text(), QString::fromUtf8(texts[i]));
        EXPECT_EQ(button->property(kControlIdProperty).toInt(), numbers[i]);
        EXPECT_FALSE(button->icon().isNull()) << i;
        const QRect r = button->geometry();
        EXPECT_GT(r.left(), previousRight) << "buttons overlap or are out of order at " << i;
        EXPECT_GE(r.top(), 0);
        EXPECT_LE(r.bottom(), CHeaderToolBar::kHeight);
        previousRight = r.right();
    }
}

TEST(HeaderToolBar, LanguageFileRetitlesTheButtonsByTheirNumbers) {
    test::TempDir dir;
    const QString path = dir.qFile("English.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "[String]\r\nIDD312_1001=Start\r\nIDD312_1006=Stop\r\nIDD312_1002=Zoom\r\n"
        "IDD312_1003=Move\r\nIDD312_1008=Measure\r\nIDD312_1005=Print\r\n");
    file.close();

    CHeaderToolBar bar;
    SetDialogTexts(path, &bar, CHeaderToolBar::kDialogNumber);
    const char* texts[] = {"Start", "Stop", "Zoom", "Move", "Measure", "Print"};
    for (int i = 0; i < kToolBarButtonCount; ++i) {
        EXPECT_EQ(bar.button(static_cast<ToolBarButton>(i))->text(), texts[i]);
    }
}

TEST(HeaderToolBar, StatesFollowTheLinkTheRecordingAndTheTest) {
    CHeaderToolBar bar;
    bar.setLinked();  // Connect
    EXPECT_EQ(enabledRow(bar), kLinked);
    bar.setRecording();  // Start
    EXPECT_EQ(enabledRow(bar), kRecording);
    bar.setStopped();  // Stop
    EXPECT_EQ(enabledRow(bar), kStopped);

    // Disconnect during a recording disables Stop too; Close test then enables the rest again,
    // with no link open.
    bar.setRecording();
    bar.setUnlinked();
    EXPECT_EQ(enabledRow(bar), kAllOff);
    bar.setStopped();
    EXPECT_EQ(enabledRow(bar), kStopped);
    EXPECT_EQ(bar.state(), ToolbarState::Stopped);
}

TEST(HeaderToolBar, EachEnabledButtonReportsItsOwnPressAndDisabledOnesNone) {
    CHeaderToolBar bar;
    bar.show();
    QSignalSpy start(&bar, &CHeaderToolBar::startClicked);
    QSignalSpy stop(&bar, &CHeaderToolBar::stopClicked);
    QSignalSpy zoom(&bar, &CHeaderToolBar::zoomClicked);
    QSignalSpy move(&bar, &CHeaderToolBar::moveClicked);
    QSignalSpy measure(&bar, &CHeaderToolBar::measureClicked);
    QSignalSpy print(&bar, &CHeaderToolBar::printClicked);
    QSignalSpy* spies[] = {&start, &stop, &zoom, &move, &measure, &print};
    auto clickAll = [&bar] {
        for (int i = 0; i < kToolBarButtonCount; ++i) {
            QTest::mouseClick(bar.button(static_cast<ToolBarButton>(i)), Qt::LeftButton);
        }
    };

    clickAll();  // initial: nothing can be pressed
    for (QSignalSpy* spy : spies) {
        EXPECT_EQ(spy->count(), 0);
    }
    bar.setStopped();
    clickAll();
    EXPECT_EQ(start.count(), 1);
    EXPECT_EQ(stop.count(), 0);
    EXPECT_EQ(zoom.count(), 1);
    EXPECT_EQ(move.count(), 1);
    EXPECT_EQ(measure.count(), 1);
    EXPECT_EQ(print.count(), 1);
}

TEST(HeaderToolBar, ZoomMoveAndMeasureSwitchTheGraphsMouseMode) {
    CHeaderToolBar bar;
    CXGraph graph;
    bindGraphModes(bar, graph);
    bar.show();
    bar.setStopped();
    QTest::mouseClick(bar.button(ToolBarButton::Zoom), Qt::LeftButton);
    EXPECT_EQ(graph.mouseMode(), CXGraph::MouseMode::Zoom);
    QTest::mouseClick(bar.button(ToolBarButton::Move), Qt::LeftButton);
    EXPECT_EQ(graph.mouseMode(), CXGraph::MouseMode::Pan);
    QTest::mouseClick(bar.button(ToolBarButton::Measure), Qt::LeftButton);
    EXPECT_EQ(graph.mouseMode(), CXGraph::MouseMode::Cursor);
    graph.NoOp();
    EXPECT_EQ(graph.mouseMode(), CXGraph::MouseMode::None);
}

}  // namespace
}  // namespace vornex
