#pragma once

#include <QPrinter>

class QWidget;

namespace vornex {

class CXGraph;

// Printing of the graph: through the print dialog, straight to the chosen printer, as a preview,
// and the page set-up that all of them share.
class GraphPrinter {
public:
    explicit GraphPrinter(CXGraph& graph);

    // Each returns false when the user cancelled or the printer could not be painted on.
    bool print(QWidget* parent);
    bool printDirect();
    bool printPreview(QWidget* parent);
    bool printSetup(QWidget* parent);

    QPrinter& printer() { return printer_; }

private:
    CXGraph& graph_;
    // Screen resolution: the graph is laid out in the same units as on screen, so fonts and line
    // widths keep their proportions on paper.
    QPrinter printer_{QPrinter::ScreenResolution};
};

}  // namespace vornex
