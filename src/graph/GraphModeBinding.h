#pragma once

namespace vornex {

class CHeaderToolBar;
class CXGraph;

// Zoom, Move and Measure on the toolbar switch the graph's mouse mode, and the button of the mode
// in force stays pressed.
void bindGraphModes(CHeaderToolBar& toolBar, CXGraph& graph);

}  // namespace vornex
