#include "graph/GraphModeBinding.h"

#include "graph/CHeaderToolBar.h"
#include "graph/CXGraph.h"

namespace vornex {

void bindGraphModes(CHeaderToolBar& toolBar, CXGraph& graph) {
    QObject::connect(&graph, &CXGraph::modeChanged, &toolBar, [&toolBar](CXGraph::MouseMode mode) {
        switch (mode) {
            case CXGraph::MouseMode::Zoom:
                toolBar.showMode(ToolBarButton::Zoom);
                return;
            case CXGraph::MouseMode::Pan:
                toolBar.showMode(ToolBarButton::Move);
                return;
            case CXGraph::MouseMode::Cursor:
                toolBar.showMode(ToolBarButton::Measure);
                return;
            case CXGraph::MouseMode::None:
                break;
        }
        toolBar.showMode(ToolBarButton::Start);
    });
    QObject::connect(&toolBar, &CHeaderToolBar::zoomClicked, &graph, &CXGraph::Zoom);
    QObject::connect(&toolBar, &CHeaderToolBar::moveClicked, &graph, &CXGraph::Pan);
    QObject::connect(&toolBar, &CHeaderToolBar::measureClicked, &graph, &CXGraph::Cursor);
}

}  // namespace vornex
