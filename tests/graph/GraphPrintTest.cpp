#include <gtest/gtest.h>

#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <cmath>

#include "GraphInput.h"
#include "TempDir.h"
#include "graph/GraphPrinter.h"

namespace vornex {
namespace {

qint64 emptyPdfSize(const QString& path) {
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    QPainter painter(&printer);
    painter.end();
    return QFileInfo(path).size();
}

TEST(GraphPrint, APrintedPageCarriesTheGraphAndAnUnusablePrinterIsReported) {
    test::TempDir dir;
    CXGraph graph;
    graph.resize(900, 500);
    std::vector<std::vector<CurvePoint>> curves;
    for (int s = 0; s < 3; ++s) {
        curves.push_back(test::makeCurve(600, 0.0, 0.1, static_cast<uint8_t>(s + 1), [s](int i) {
            return (s + 1) * 10.0 * std::sin(i * 0.02);
        }));
        graph.SetData(curves.back().data(), 600, s);
    }
    graph.GetXAxis(0).SetCurrentRange(0.0, 60.0, 0.0);
    graph.Redraw();  // pending: printing must not wait for it

    GraphPrinter printer(graph);
    printer.printer().setOutputFormat(QPrinter::PdfFormat);
    const QString path = dir.qFile("graph.pdf");
    printer.printer().setOutputFileName(path);
    ASSERT_TRUE(printer.printDirect());

    const qint64 empty = emptyPdfSize(dir.qFile("empty.pdf"));
    const qint64 printed = QFileInfo(path).size();
    EXPECT_GT(printed, empty + 4000) << "page of " << printed << " bytes, empty page " << empty;
    EXPECT_GT(graph.yAxis->range().upper, 29.0) << "printing applies the automatic scale";

    printer.printer().setOutputFileName(dir.qFile("missing/folder/graph.pdf"));
    EXPECT_FALSE(printer.printDirect());
}

}  // namespace
}  // namespace vornex
