#pragma once

namespace vornex {

class CHeaderToolBar;
class CXGraph;

// Zoom, Move and Measure on the toolbar switch the graph's mouse mode.
void bindGraphModes(const CHeaderToolBar& toolBar, CXGraph& graph);

}  // namespace vornex
