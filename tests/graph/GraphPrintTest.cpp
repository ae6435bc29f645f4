#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <cmath>

#include "GraphInput.h"
#include "TempDir.h"
#include "graph/GraphExport.h"
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

TEST(GraphPrint, APageWithAHeaderDrawsDenseCurvesForThePagesWidthNotTheScreens) {
    CXGraph graph;
    graph.resize(400, 300);
    const auto dense = test::makeCurve(40000, 0.0, 0.001, 1, [](int i) { return i % 2 * 100.0; });
    graph.SetData(dense.data(), 40000, 0);
    graph.GetXAxis(0).SetCurrentRange(0.0, 40.0, 0.0);
    graph.replotNow();
    const int onScreen = graph.seriesGraph(0)->dataCount();
    ASSERT_LE(onScreen, 2 * graph.axisRect()->width() + 2);

    test::TempDir dir;
    QPrinter page(QPrinter::HighResolution);
    page.setOutputFormat(QPrinter::PdfFormat);
    page.setOutputFileName(dir.qFile("page.pdf"));
    GraphPrinter printer(graph);
    printer.setPageTexts([] { return PageTexts{{"Test t1"}, "Page %1"}; });
    ASSERT_TRUE(printer.paint(page));
    EXPECT_GT(graph.seriesGraph(0)->dataCount(), 10 * onScreen);
}

TEST(GraphExport, TheViewOrTheWholeTestGoesToImagePageAndPointsAndAFailureLeavesAReason) {
    test::TempDir dir;
    CXGraph graph;
    graph.resize(700, 400);
    const auto a = test::makeCurve(1000, 0.0, 0.5, 1, [](int i) { return i % 40 * 1.0; });
    const auto b = test::makeCurve(10, 100.0, 1.0, 4, [](int i) { return -1.0 * i; });
    graph.SetData(a.data(), 1000, 0);
    graph.SetData(b.data(), 10, 3);
    graph.GetXAxis(0).SetCurrentRange(99.9, 104.5, 0.0);
    const GraphExport exporter(graph);

    ASSERT_EQ(exporter.saveCsv(dir.qFile("view.csv")), QString());
    QFile csv(dir.qFile("view.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split('\n', Qt::SkipEmptyParts);
    // Points 200 .. 209 of slave 1 (100 to 104.5 s), then 100 .. 104 s of slave 4.
    ASSERT_EQ(lines.size(), 1 + 10 + 5);
    EXPECT_EQ(lines[0], "time,value,slave");
    EXPECT_EQ(lines[1], "100,0,1");
    EXPECT_EQ(lines[15], "104,-4,4");

    {
        const WholeTestView whole(graph);
        EXPECT_EQ(graph.xAxis->range().upper, 499.5);
        ASSERT_EQ(exporter.savePng(dir.qFile("whole.png"), 640, 360), QString());
        ASSERT_EQ(exporter.savePdf(dir.qFile("whole.pdf"), 640, 360), QString());
    }
    EXPECT_EQ(graph.xAxis->range().lower, 99.9) << "the view comes back";
    EXPECT_EQ(QImage(dir.qFile("whole.png")).size(), QSize(640, 360));
    QFile pdf(dir.qFile("whole.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.read(5), "%PDF-");
    EXPECT_NE(exporter.savePng(dir.qFile("missing/folder/x.png"), 640, 360), QString());
    EXPECT_NE(exporter.savePdf(dir.qFile("x.pdf"), 0, 360), QString());
}

}  // namespace
}  // namespace vornex
