#include "graph/GraphPrinter.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>

#include "graph/CXGraph.h"

namespace vornex {

bool GraphPrinter::paint(QPrinter& printer) {
    const PageTexts texts = texts_ ? texts_() : PageTexts();
    if (texts.header.isEmpty() && texts.footer.isEmpty())
        return graph_.PrintGraph(printer);
    graph_.replotNow();
    QCPPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    // Dense curves are thinned to two points per column of the page, not of the screen.
    graph_.refreshCurves(page.width());
    QFont font = graph_.font();
    painter.setFont(font);
    const int lineHeight = painter.fontMetrics().height();
    const int headerHeight = static_cast<int>(texts.header.size()) * lineHeight + lineHeight / 2;
    const int footerHeight = texts.footer.isEmpty() ? 0 : lineHeight * 3 / 2;
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, 0, page.width(), headerHeight), Qt::AlignLeft | Qt::AlignTop,
                     texts.header.join(QLatin1Char('\n')));
    if (!texts.footer.isEmpty()) {
        painter.drawText(QRect(0, page.height() - lineHeight, page.width(), lineHeight),
                         Qt::AlignHCenter | Qt::AlignBottom, texts.footer.arg(1));
    }
    painter.translate(0, headerHeight);
    graph_.toPainter(&painter, page.width(), page.height() - headerHeight - footerHeight);
    return painter.end();
}

GraphPrinter::GraphPrinter(CXGraph& graph) : graph_(graph) {
    printer_.setPageOrientation(QPageLayout::Landscape);
}

bool GraphPrinter::print(QWidget* parent) {
    QPrintDialog dialog(&printer_, parent);
    return dialog.exec() == QDialog::Accepted && paint(printer_);
}

bool GraphPrinter::printDirect() {
    return paint(printer_);
}

bool GraphPrinter::printPreview(QWidget* parent) {
    QPrintPreviewDialog dialog(&printer_, parent);
    bool painted = true;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [this, &painted](QPrinter* printer) { painted = paint(*printer); });
    return dialog.exec() == QDialog::Accepted && painted;
}

bool GraphPrinter::printSetup(QWidget* parent) {
    QPageSetupDialog dialog(&printer_, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace vornex
