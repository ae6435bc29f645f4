#include "graph/GraphPrinter.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>

#include "graph/CXGraph.h"

namespace vornex {

GraphPrinter::GraphPrinter(CXGraph& graph) : graph_(graph) {
    printer_.setPageOrientation(QPageLayout::Landscape);
}

bool GraphPrinter::print(QWidget* parent) {
    QPrintDialog dialog(&printer_, parent);
    return dialog.exec() == QDialog::Accepted && graph_.PrintGraph(printer_);
}

bool GraphPrinter::printDirect() {
    return graph_.PrintGraph(printer_);
}

bool GraphPrinter::printPreview(QWidget* parent) {
    QPrintPreviewDialog dialog(&printer_, parent);
    bool painted = true;
    QObject::connect(
        &dialog, &QPrintPreviewDialog::paintRequested, &dialog,
        [this, &painted](QPrinter* printer) { painted = graph_.PrintGraph(*printer); });
    return dialog.exec() == QDialog::Accepted && painted;
}

bool GraphPrinter::printSetup(QWidget* parent) {
    QPageSetupDialog dialog(&printer_, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace vornex
