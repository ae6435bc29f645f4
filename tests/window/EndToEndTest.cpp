#include <gtest/gtest.h>

#include <QAction>
#include <QFileInfo>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <set>

#include "MessageRecorder.h"
#include "WindowTestSupport.h"
#include "app/CVornexApp.h"
#include "app/SimulatedInstruments.h"
#include "controls/CDigiStatic.h"
#include "frame/CDlgTestCreate.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "graph/CHeaderToolBar.h"
#include "graph/CVornexView.h"
#include "panel/CControlDlg.h"
#include "record/TestFile.h"
#include "sim/SimulatedLine.h"

namespace vornex {
namespace {

using test::waitUntil;

qint64 pdfSize(QPrinter& printer, const QString& path, const std::function<void()>& print) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    print();
    return QFileInfo(path).size();
}

// The program as a user drives it: simulated line, three instruments, one test recorded, closed,
// found on disk and printed.
TEST(EndToEndTest, RecordsThreeInstrumentsIntoTodaysTestAndPrintsTheGraph) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    test::MessageRecorder messages;
    CVornexApp app;
    QString error;
    ASSERT_TRUE(app.init({"vornex", "--simulate", "--home", home.path()}, error))
        << error.toStdString();
    CMainFrame& frame = *app.mainFrame();
    frame.show();
    CControlDlg& panel = *frame.controlPanel();
    ASSERT_EQ(panel.portText(), app.simulatedPort()) << "the simulated line comes first";

    for (const char* address : {"1", "2", "3"}) {
        test::whenModal([address](QDialog* dialog) { test::typeAndEnter(dialog, address); });
        QTest::mouseClick(panel.button(CControlDlg::Button::Add), Qt::LeftButton);
    }
    QTest::mouseClick(panel.button(CControlDlg::Button::Connect), Qt::LeftButton);
    ASSERT_TRUE(panel.connected());

    test::whenModal([](QDialog* dialog) {
        auto* create = qobject_cast<CDlgTestCreate*>(dialog);
        create->nameEdit()->setText("e2e");
        create->addButton()->click();
    });
    frame.action(command::kTestNew)->trigger();
    const QString testPath = QString::fromStdString(frame.session().testPath());
    QTest::mouseClick(frame.toolBar()->button(ToolBarButton::Start), Qt::LeftButton);
    ASSERT_TRUE(frame.view()->recording());

    CXGraph& graph = frame.view()->graph();
    auto shown = [&](int series) {
        QCPGraph* g = graph.seriesGraph(series);
        return g == nullptr ? 0 : g->dataCount();
    };
    ASSERT_TRUE(
        waitUntil([&] { return shown(0) >= 10 && shown(1) >= 10 && shown(2) >= 10; }, 60000));
    QTest::mouseClick(frame.toolBar()->button(ToolBarButton::Stop), Qt::LeftButton);
    frame.action(command::kTestClose)->trigger();

    std::set<int> slaves;
    size_t records = 0;
    ASSERT_EQ(TestFile(testPath.toStdString()).readAll([&](const CurvePoint* points, size_t count) {
        for (size_t i = 0; i < count; ++i)
            slaves.insert(points[i].slave);
        records += count;
    }),
              ReadStatus::Read);
    EXPECT_EQ(slaves, (std::set<int>{1, 2, 3}));
    EXPECT_GE(records, 27u);
    EXPECT_TRUE(testPath.startsWith(frame.paths().dataFolder));

    // The displayed instrument is the first added; its held value reaches the LED as its text.
    auto* simulated = app.simulated();
    ASSERT_NE(simulated, nullptr);
    simulated->line().setLiveValue(1, 123.0f);
    ASSERT_TRUE(waitUntil([&] { return panel.valueDisplay()->text().startsWith("123."); }))
        << panel.valueDisplay()->text().toStdString();

    GraphPrinter& viewPrinter = frame.view()->printer();
    const qint64 printed = pdfSize(viewPrinter.printer(), home.filePath("graph.pdf"),
                                   [&] { EXPECT_TRUE(viewPrinter.printDirect()); });
    QPrinter blankPrinter(QPrinter::ScreenResolution);
    const qint64 blank =
        pdfSize(blankPrinter, home.filePath("blank.pdf"), [&] { QPainter painter(&blankPrinter); });
    EXPECT_GT(printed, blank + 2000) << "the page holds the graph";
    EXPECT_TRUE(messages.messages.empty());
}

}  // namespace
}  // namespace vornex
