#include <gtest/gtest.h>

#include <qcustomplot.h>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <fstream>

#include "CliRun.h"
#include "MessageRecorder.h"
#include "Modal.h"
#include "PdfText.h"
#include "RecordFiles.h"
#include "TempDir.h"
#include "Wait.h"
#include "app/SimulatedInstruments.h"
#include "frame/CDlgTestCreate.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "frame/LanguageSwitch.h"
#include "graph/CHeaderToolBar.h"
#include "graph/CVornexView.h"
#include "link/RegisterMap.h"
#include "panel/CControlDlg.h"
#include "results/ControlChartView.h"
#include "results/ResultsController.h"
#include "results/ResultsPanel.h"
#include "sim/SimulatedLine.h"

namespace vornex {
namespace {

using test::waitUntil;

// The window recording instrument 1 (range 100 N.m, 3 decimals, target 50, +5 % / -3 %: band
// 47..55) while the test holds its live value at scripted peaks.
class ResultsPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(line_.start(error)) << error;
    }
    void openWindow() {
        frame_ = std::make_unique<CMainFrame>(
            AppPaths::forHome(home_.qPath()),
            [port = line_.portPath()] { return std::vector<std::string>{port}; });
        frame_->show();
    }
    // Connects and records from the first reading on, the instrument holding `value` meanwhile.
    void record(float value) {
        line_.line().setLiveValue(1, value);
        openWindow();
        test::whenModal([](QDialog* dialog) { test::typeAndEnter(dialog, "1"); });
        frame_->controlPanel()->onAdd();
        QTest::mouseClick(frame_->controlPanel()->button(CControlDlg::Button::Connect),
                          Qt::LeftButton);
        test::whenModal([](QDialog* d) { qobject_cast<CDlgTestCreate*>(d)->addButton()->click(); });
        frame_->action(command::kTestNew)->trigger();
        QTest::mouseClick(frame_->toolBar()->button(ToolBarButton::Start), Qt::LeftButton);
        ASSERT_TRUE(frame_->view()->recording());
        ASSERT_TRUE(hold(value));
    }

    QTableWidget& table() { return *frame_->resultsPanel()->table(); }
    // The panel's row as `vornex-cli report` prints its counts and statistics.
    QStringList row() {
        const QString slave = cell(ResultsPanel::Slave);
        const QString unit = slave.contains('(') ? slave.section('(', 1).chopped(1) : "-";
        return {QStringLiteral("slave 1: unit %1 events %2 pass %3 low %4 high %5 incomplete %6")
                    .arg(unit, cell(ResultsPanel::Events), cell(ResultsPanel::Pass),
                         cell(ResultsPanel::Low), cell(ResultsPanel::High),
                         cell(ResultsPanel::Incomplete)),
                QStringLiteral("stats 1: n %1 mean %2 sd %3 min %4 max %5 cp %6 cpk %7")
                    .arg(cell(ResultsPanel::N), cell(ResultsPanel::Mean), cell(ResultsPanel::Sd),
                         cell(ResultsPanel::Min), cell(ResultsPanel::Max), cell(ResultsPanel::Cp),
                         cell(ResultsPanel::Cpk))};
    }
    QString cell(int column) {
        const QTableWidgetItem* item = table().item(0, column);
        return item != nullptr ? item->text() : QString();
    }
    // Holds the value until the recording took it in.
    bool hold(float value) {
        line_.line().setLiveValue(1, value);
        return waitUntil([&] {
            return frame_->session().curves().size(0) > 0 &&
                   frame_->session().curves().newest(0).value == value;
        });
    }
    // Holds the value until the recording took it in, then releases it to 0.
    bool peak(float value, const QString& events) {
        const QString held = QString::number(static_cast<double>(value), 'f', 3);
        if (!hold(value))
            return false;
        line_.line().setLiveValue(1, 0.0f);
        const bool counted = waitUntil([&] { return cell(ResultsPanel::Events) == events; });
        return counted && cell(ResultsPanel::LastPeak) == held;
    }

    test::TempDir home_;
    SimulatedInstruments line_{{1}};
    std::unique_ptr<CMainFrame> frame_;
    test::MessageRecorder messages_;
};

TEST_F(ResultsPanelTest, PeaksAreJudgedLiveMarkedAndAFailedPeakTurnsItsRowRed) {
    ASSERT_NO_FATAL_FAILURE(record(0.0f));
    // The figures of these two peaks are checked whole in the panel-report-reload case.
    ASSERT_TRUE(peak(60.0f, "1"));
    EXPECT_EQ(cell(ResultsPanel::Sd), "-");
    EXPECT_EQ(table().item(0, 0)->background().color(), QColor(235, 80, 80));
    ASSERT_TRUE(peak(50.0f, "2"));
    EXPECT_EQ(table().item(0, 0)->background().color(), QColor(Qt::white));

    ASSERT_TRUE(peak(-40.0f, "3"));
    EXPECT_EQ(cell(ResultsPanel::Low), "1");

    QCustomPlot& plot = frame_->view()->graph();
    int peakMarks = 0;
    for (int i = 0; i < plot.plottableCount(); ++i) {
        if (auto* curve = qobject_cast<QCPCurve*>(plot.plottable(i)))
            peakMarks += curve->dataCount();
    }
    EXPECT_EQ(peakMarks, 3);
    EXPECT_EQ(plot.legend->itemCount(), 1) << "the marks stay out of the legend";
    // The displayed instrument's band and target line.
    const QCPItemRect* band = nullptr;
    const QCPItemStraightLine* target = nullptr;
    for (int i = 0; i < plot.itemCount(); ++i) {
        if (auto* rect = qobject_cast<QCPItemRect*>(plot.item(i)))
            band = rect;
        if (auto* straight = qobject_cast<QCPItemStraightLine*>(plot.item(i)))
            target = straight;
    }
    ASSERT_TRUE(band && target);
    EXPECT_TRUE(band->visible());
    EXPECT_DOUBLE_EQ(band->topLeft->coords().y(), 55.0);
    EXPECT_DOUBLE_EQ(band->bottomRight->coords().y(), 47.0);
    EXPECT_DOUBLE_EQ(target->point1->coords().y(), 50.0);

    // A threshold above the last two peaks leaves one event.
    QDoubleSpinBox* threshold = frame_->resultsPanel()->thresholdBox();
    threshold->selectAll();
    QTest::keyClicks(threshold, "52");
    ASSERT_TRUE(waitUntil([&] { return cell(ResultsPanel::Events) == "1"; }));
    EXPECT_EQ(cell(ResultsPanel::LastPeak), "60.000");

    // Where the peaks come from: the polled curve, until the instrument holds them itself.
    const QLabel& sources = *frame_->resultsPanel()->peakSources();
    EXPECT_TRUE(sources.text().contains(
        QRegularExpression(QString::fromUtf8("1: 峰值取自轮询曲线，[0-9.]+ 次/秒$"))))
        << sources.text().toStdString();
    sim::KeypadChange change;
    change.measuringMode = regmap::kMeasurePeak;
    ASSERT_TRUE(line_.line().changeOnKeypad(1, change));
    ASSERT_TRUE(waitUntil(
        [&] { return sources.text().endsWith(QString::fromUtf8("1: 峰值由仪表保持（P）")); }));
    frame_->language().choose(command::kLanguageEnUS);
    EXPECT_TRUE(sources.text().endsWith(QStringLiteral("1: peak held by the instrument (P)")))
        << sources.text().toStdString();

    // At the window's smallest, in English, every title and figure shows whole, no column out of
    // sight.
    frame_->resize(frame_->minimumSize());
    QHeaderView& header = *table().horizontalHeader();
    ASSERT_TRUE(waitUntil([&] { return table().viewport()->width() < 800; }));
    // The header takes the height of its titles wrapped at the new widths on the next layout.
    ASSERT_TRUE(waitUntil([&] { return header.height() == header.sizeHint().height(); }));
    const QFontMetrics metrics(header.font());
    int total = 0;
    for (int c = 0; c < ResultsPanel::kColumns; ++c) {
        const QString title = table().horizontalHeaderItem(c)->text();
        const QRect needed = metrics.boundingRect(QRect(0, 0, header.sectionSize(c) - 8, 1000),
                                                  Qt::AlignCenter | Qt::TextWordWrap, title);
        EXPECT_LE(needed.width(), header.sectionSize(c) - 8) << title.toStdString();
        EXPECT_LE(needed.height(), header.height() - 2) << title.toStdString();
        EXPECT_LE(table().fontMetrics().horizontalAdvance(cell(c)) + 6, header.sectionSize(c))
            << cell(c).toStdString();
        total += header.sectionSize(c);
    }
    EXPECT_LE(total, table().viewport()->width());
}

TEST_F(ResultsPanelTest, PanelReportAndReloadGiveTheSameRowsWithPullsCutAtStartAndStop) {
    // Already on at Start: listed with its peak, not judged.
    ASSERT_NO_FATAL_FAILURE(record(58.0f));
    ASSERT_TRUE(peak(58.0f, "1"));
    EXPECT_EQ(cell(ResultsPanel::Incomplete), "1");
    EXPECT_EQ(cell(ResultsPanel::High), "0");
    ASSERT_TRUE(peak(50.0f, "2"));
    ASSERT_TRUE(peak(60.0f, "3"));
    // Still on while recording: open, neither listed nor judged yet.
    ASSERT_TRUE(hold(52.0f));
    // In the window's first language, Simplified Chinese.
    const QString open = builtInReportTexts(QStringLiteral("zh_CN")).open;
    ASSERT_TRUE(waitUntil([&] { return cell(ResultsPanel::LastPeak) == open; }));
    EXPECT_EQ(cell(ResultsPanel::Events), "3");

    QTest::mouseClick(frame_->toolBar()->button(ToolBarButton::Stop), Qt::LeftButton);
    ASSERT_FALSE(frame_->view()->recording());
    const QStringList stopped = row();
    EXPECT_EQ(stopped,
              QStringList({"slave 1: unit N.m events 4 pass 1 low 0 high 1 incomplete 2",
                           "stats 1: n 2 mean 55.000 sd 7.071 min 50.000 max 60.000 cp 0.19 "
                           "cpk 0.00"}));
    EXPECT_EQ(cell(ResultsPanel::LastPeak), "52.000");

    const QString path = QString::fromStdString(frame_->session().testPath());
    frame_->closeTest();
    ASSERT_TRUE(frame_->loadTestFile(path));
    EXPECT_EQ(row(), stopped) << "the test loaded again";
    // The incomplete pulls have a mark of their own, named in the legend; no ring passes them.
    QCustomPlot& plot = frame_->view()->graph();
    const QCPCurve* incomplete = nullptr;
    int rings = 0;
    for (int i = 0; i < plot.plottableCount(); ++i) {
        auto* curve = qobject_cast<QCPCurve*>(plot.plottable(i));
        if (curve && curve->scatterStyle().shape() == QCPScatterStyle::ssSquare)
            incomplete = curve;
        else if (curve)
            rings += curve->dataCount();
    }
    ASSERT_NE(incomplete, nullptr);
    EXPECT_EQ(incomplete->dataCount(), 2);
    EXPECT_EQ(rings, 2);
    EXPECT_TRUE(plot.legend->hasItemWithPlottable(incomplete));
    EXPECT_FALSE(incomplete->name().isEmpty());

    // The report's lines less the file's hash and the one saying where the peaks came from.
    const QStringList report = test::runCli({"report", path})
                                   .outLines()
                                   .filter(QRegularExpression("^(?!peaks |file sha256 )"));
    ASSERT_EQ(report.size(), 6);
    EXPECT_EQ(report.at(0), stopped.at(0));
    EXPECT_EQ(report.at(5), stopped.at(1));
    EXPECT_EQ(report.at(1), "event 1 1 " + report.at(1).section(' ', 3, 3) + " 58.000 incomplete");
    EXPECT_EQ(report.at(4), "event 1 4 " + report.at(4).section(' ', 3, 3) + " 52.000 incomplete");
}

TEST_F(ResultsPanelTest, ATestLongerThanTheLiveCurveIsJudgedWholeWhenLoaded) {
    // 2000 pulls of 10 points, more than the curves keep live.
    std::vector<CurvePoint> points;
    const double shape[] = {0, 0, 0, 40, 0, 45, 0, 0, 0, 0};
    for (int i = 0; i < 20000; ++i) {
        const double peak = i % 10 == 4 ? 50 + (i / 10) % 7 : shape[i % 10];
        points.push_back(test::point(i * 0.05, peak, 1));
    }
    const std::string path = home_.file("long.pdat");
    test::writeRecords(path, points);
    // A limit no instrument holds: judged without settings, as the report does, and told.
    std::ofstream(home_.file("long.ini")) << "[Slave_1]\nTarget=50\nUpper=inf\n";
    openWindow();
    test::MessageRecorder messages;
    ASSERT_TRUE(frame_->loadTestFile(QString::fromStdString(path)));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_TRUE(messages.messages[0].text.contains("long.ini [Slave_1] Upper=inf: not a number"));
    EXPECT_EQ(cell(ResultsPanel::Events), "2000");
    const test::CliRun run = test::runCli({"report", QString::fromStdString(path)});
    EXPECT_TRUE(run.err.contains("report: " + QString::fromStdString(home_.file("long.ini")) +
                                 " [Slave_1] Upper=inf: not a number; slave 1 is judged without "
                                 "settings\n"));
    const QStringList report =
        run.outLines().filter(QRegularExpression("^(?!peaks |file sha256 )"));
    ASSERT_EQ(report.size(), 2002);
    EXPECT_EQ(row(), QStringList({report.front(), report.back()}));
}

// A loaded test's control chart, opened from the panel: ten pairs around 50 N.m and a drifted
// pair around 58. The view charts what `vornex-cli spc` prints for the file, and keeps its
// subgroup size and rules in config.ini.
TEST_F(ResultsPanelTest, TheControlChartShowsWhatTheToolPrintsAndKeepsItsSettings) {
    std::vector<double> peaks;
    for (int i = 0; i < 10; ++i)
        peaks.insert(peaks.end(), {49.5, 50.5});
    peaks.insert(peaks.end(), {57.5, 58.5});
    std::vector<CurvePoint> points;
    double t = 0.0;
    for (double peak : peaks) {
        for (double v : {0.0, peak})
            points.push_back(test::point(t += 0.5, v, 1));
    }
    points.push_back(test::point(t + 0.5, 0.0, 1));
    const std::string path = home_.file("drift.pdat");
    test::writeRecords(path, points);
    std::ofstream(home_.file("drift.ini"))
        << "[Slave_1]\nSince=0.000\nUnit=N.m\nMeasure=P\nRange=100.0\nDecimals=2\n"
           "Target=50.0\nUpper=10.0\nLower=10.0\n";
    openWindow();
    frame_->language().choose(command::kLanguageEnUS);
    ASSERT_TRUE(frame_->loadTestFile(QString::fromStdString(path)));
    ResultsPanel* panel = frame_->resultsPanel();
    QTest::mouseClick(panel->chartButton(), Qt::LeftButton);
    ControlChartView* view = panel->chartView();
    ASSERT_TRUE(waitUntil([&] { return view->isVisible(); }));
    EXPECT_EQ(view->instruments()->currentText(), "1");
    view->subgroupBox()->selectAll();
    QTest::keyClicks(view->subgroupBox(), "2");
    ASSERT_EQ(view->subgroupBox()->value(), 2);

    const test::CliRun tool =
        test::runCli({"spc", QString::fromStdString(path), "--slave", "1", "--subgroup", "2"});
    QStringList charted;
    for (const spc::Subgroup& s : view->analysis().subgroups)
        charted << QString::asprintf("subgroup %lld 2 %.3f %.3f",
                                     static_cast<long long>(charted.size() + 1), s.mean, s.spread);
    EXPECT_EQ(charted, tool.outLines().filter(QRegularExpression("^subgroup ")));
    QStringList listed;
    for (int i = 0; i < view->breaks()->count(); ++i)
        listed << view->breaks()->item(i)->text();
    EXPECT_EQ(listed.size(), tool.outLines().filter(QRegularExpression("^break ")).size());
    EXPECT_TRUE(listed.contains("Subgroup 11: rule 1, a point beyond 3σ"));
    EXPECT_EQ(view->capability()->text(), "Capability: Cp 3.76   Cpk 3.49   Pp 1.38   Ppk 1.28");

    // The report charts the same, with the bench's settings.
    QString error;
    const std::string pdf = home_.file("drift.pdf");
    ASSERT_TRUE(frame_->resultsController().writeReport(QString::fromStdString(pdf), &error))
        << error.toStdString();
    const QString report = test::pdfText(pdf).simplified();
    for (const QString& line : listed)
        EXPECT_TRUE(report.contains(line.simplified())) << line.toStdString();
    EXPECT_TRUE(report.contains("Capability: Cp 3.76 Cpk 3.49 Pp 1.38 Ppk 1.28"));
    EXPECT_TRUE(report.contains("Control chart: Slave 1")) << report.toStdString();

    QTest::mouseClick(view->ruleBox(1), Qt::LeftButton);
    EXPECT_FALSE(view->ruleBox(1)->isChecked());
    EXPECT_FALSE(view->breaks()->findItems("rule 1,", Qt::MatchContains).size() > 0);
    const QString config =
        QString::fromUtf8(test::readFile(AppPaths::forHome(home_.qPath()).configFile));
    EXPECT_TRUE(config.contains("[ControlChart]")) << config.toStdString();
    EXPECT_TRUE(config.contains("Subgroup=2"));
    EXPECT_TRUE(config.contains("Rules=2,3,4,5,6,7,8"));
}

// The live judging takes every point of a curve, also when its ring started again between two
// updates, and judges as the judge fed point by point does.
TEST(LiveResultsTest, TakesEveryPointWhenTheCurveStartsAgainBetweenTwoUpdates) {
    CurveTable table;
    LiveResults live;
    JudgeOverrides overrides;
    overrides.threshold = 5.0;
    live.setOverrides(overrides);
    judge::InstrumentJudge direct(judgeSettingsFor(nullptr, overrides, 0.0));
    const double shape[] = {0, 0, 8, 9, 0};
    for (uint32_t i = 0; i < CurveTable::kLength + 20; ++i) {
        const CurvePoint p = test::point(i * 0.1, shape[i % 5], 1);
        table.add(p);
        direct.add(p.time, p.value);
        if (i == CurveTable::kLength - 12)
            live.update(table, nullptr, true);
    }
    live.update(table, nullptr, false);
    ASSERT_NE(live.judgeOf(1), nullptr);
    EXPECT_EQ(live.judgeOf(1)->events().size(), direct.events().size());
    EXPECT_EQ(live.judgeOf(1)->events().back().event.peakTime,
              direct.events().back().event.peakTime);
}

}  // namespace
}  // namespace vornex
