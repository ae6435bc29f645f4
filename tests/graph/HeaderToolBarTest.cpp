#include <gtest/gtest.h>

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "graph/CHeaderToolBar.h"
#include "graph/CXGraph.h"
#include "graph/GraphModeBinding.h"

namespace vornex {
namespace {

using Row = std::array<bool, kToolBarButtonCount>;

Row enabledRow(const CHeaderToolBar& bar) {
    Row row{};
    for (int i = 0; i < kToolBarButtonCount; ++i)
        row[static_cast<size_t>(i)] = bar.button(static_cast<ToolBarButton>(i))->isEnabled();
    return row;
}

//                          Start  Stop   Zoom   Move   Measure Print
constexpr Row kAllOff = {false, false, false, false, false, false};
constexpr Row kLinked = {true, false, false, false, false, false};
constexpr Row kRecording = {false, true, false, false, false, false};
constexpr Row kStopped = {true, false, true, true, true, true};

TEST(HeaderToolBar, StatesFollowTheLinkTheRecordingAndTheTest) {
    CHeaderToolBar bar;
    EXPECT_EQ(enabledRow(bar), kAllOff);
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

TEST(HeaderToolBar, EnabledButtonsReportTheirPressesAndSwitchTheGraphsMouseMode) {
    CHeaderToolBar bar;
    CXGraph graph;
    bindGraphModes(bar, graph);
    bar.show();
    QSignalSpy start(&bar, &CHeaderToolBar::startClicked);
    QSignalSpy stop(&bar, &CHeaderToolBar::stopClicked);
    QSignalSpy print(&bar, &CHeaderToolBar::printClicked);
    auto press = [&bar](ToolBarButton which) {
        QTest::mouseClick(bar.button(which), Qt::LeftButton);
    };

    press(ToolBarButton::Start);  // initial: nothing can be pressed
    press(ToolBarButton::Zoom);
    EXPECT_EQ(start.count(), 0);
    EXPECT_EQ(graph.mouseMode(), CXGraph::MouseMode::None);

    bar.setStopped();
    for (ToolBarButton which : {ToolBarButton::Start, ToolBarButton::Stop, ToolBarButton::Print})
        press(which);
    EXPECT_EQ(start.count(), 1);
    EXPECT_EQ(stop.count(), 0);
    EXPECT_EQ(print.count(), 1);
    const std::pair<ToolBarButton, CXGraph::MouseMode> modes[] = {
        {ToolBarButton::Zoom, CXGraph::MouseMode::Zoom},
        {ToolBarButton::Move, CXGraph::MouseMode::Pan},
        {ToolBarButton::Measure, CXGraph::MouseMode::Cursor}};
    for (const auto& [button, mode] : modes) {
        press(button);
        EXPECT_EQ(graph.mouseMode(), mode);
    }
}

}  // namespace
}  // namespace vornex
