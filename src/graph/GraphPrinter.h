#pragma once

#include <QPrinter>
#include <QStringList>
#include <functional>

class QWidget;

namespace vornex {

class CXGraph;

// What a printed page says besides the graph: header lines above it and a footer below, whose
// %1 is the page number.
struct PageTexts {
    QStringList header;
    QString footer;
};

// Printing of the graph: through the print dialog, straight to the chosen printer, as a preview,
// and the page set-up that all of them share. Each page carries the header and footer of the
// moment it is printed.
class GraphPrinter {
public:
    explicit GraphPrinter(CXGraph& graph);

    void setPageTexts(std::function<PageTexts()> texts) { texts_ = std::move(texts); }
    // Paints one page: header, graph, footer. False when the printer cannot be painted on.
    bool paint(QPrinter& printer);

    // Each returns false when the user cancelled or the printer could not be painted on.
    bool print(QWidget* parent);
    bool printDirect();
    bool printPreview(QWidget* parent);
    bool printSetup(QWidget* parent);

    QPrinter& printer() { return printer_; }

private:
    CXGraph& graph_;
    std::function<PageTexts()> texts_;
    // Screen resolution: the graph is laid out in the same units as on screen, so fonts and line
    // widths keep their proportions on paper.
    QPrinter printer_{QPrinter::ScreenResolution};
};

}  // namespace vornex
