#include <gtest/gtest.h>

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "graph/CHeaderToolBar.h"
#include "graph/CXGraph.h"
#include "graph/GraphModeBinding.h"

namespace vornex {
namespace {

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
