#include "graph/GraphModeBinding.h"

#include "graph/CHeaderToolBar.h"
#include "graph/CXGraph.h"

namespace vornex {

void bindGraphModes(const CHeaderToolBar& toolBar, CXGraph& graph) {
    QObject::connect(&toolBar, &CHeaderToolBar::zoomClicked, &graph, &CXGraph::Zoom);
    QObject::connect(&toolBar, &CHeaderToolBar::moveClicked, &graph, &CXGraph::Pan);
    QObject::connect(&toolBar, &CHeaderToolBar::measureClicked, &graph, &CXGraph::Cursor);
}

}  // namespace vornex
