// The report's PDF read back as text by poppler's pdftotext: what a reader of the printed page
// finds on it.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <functional>

#include "PdfText.h"
#include "TempDir.h"
#include "draw/SeriesPalette.h"
#include "judge/EventsCsv.h"
#include "report/ReportDocument.h"
#include "report/ReportGraph.h"

using namespace vornex;

namespace {

// Two instruments, the third named by the user, each with a few pulls on its curve.
TestResults handMade() {
    TestResults results;
    results.path = "/home/lab/tests/T-0042.pdat";
    results.name = "T-0042";
    results.started = "2026-12-01 08:15:00";
    results.sha256 = std::string(64, 'a');
    results.trace = {"Bench-North",  "Li Wei", "TW-118",       "click wrench 40-200",
                     "after repair", "1.4.0",  results.sha256, ""};
    for (const int slave : {1, 3}) {
        InstrumentResult r;
        r.slave = slave;
        InstrumentSettings s;
        s.unit = 1;
        s.measure = 1;
        s.range = 500.0;
        s.decimals = 2;
        s.target = 250.0;
        s.upper = 3.0;
        s.lower = 3.0;
        r.settings = s;
        r.judged.threshold = 25.0;
        r.judged.band = judge::Band{242.5, 257.5, 250.0};
        std::vector<CurvePoint> curve;
        for (int i = 0; i < 6; ++i) {
            const double peak = 240.0 + 4.0 * i;
            r.events.push_back({i + 1, judge::Event{i * 1.0, i + 0.5, i + 0.25, peak, true},
                                judge::verdictOf(peak, r.judged.band, 2)});
            for (const double f : {0.0, 1.0, 0.0})
                curve.push_back({i + 0.25 * (1.0 + f), peak * f, static_cast<uint8_t>(slave), {}});
        }
        results.instruments.push_back(r);
        results.curves.push_back(curve);
    }
    results.instruments[1].identity = {"Station 3 / SN 4711", "0a1b2c"};
    return results;
}

QString pdfText(const TestResults& results, const char* language, const test::TempDir& dir) {
    const std::string pdf = dir.file("report.pdf");
    EXPECT_TRUE(
        writeReportPdf(results, builtInReportTexts(QString::fromLatin1(language)), {}, pdf).ok());
    return test::pdfText(pdf);
}

}  // namespace

TEST(ReportDocument, NamesWhoTestedWhatTheSlavesAsTheWindowDoesAndNumbersEveryPage) {
    struct Case {
        const char* language;
        QString slave, page, signature;
    };
    const Case cases[] = {
        {"zh_CN", QStringLiteral("从站 3 Station 3 / SN 4711"),
         QStringLiteral("第 %1 页，共 %2 页"), QStringLiteral("测试人：")},
        {"zh_TW", QStringLiteral("從站 3 Station 3 / SN 4711"),
         QStringLiteral("第 %1 頁，共 %2 頁"), QStringLiteral("審核人：")},
        {"en_US", QStringLiteral("Slave 3 Station 3 / SN 4711"), QStringLiteral("Page %1 of %2"),
         QStringLiteral("Reviewed by:")},
    };
    TestResults results = handMade();
    // Many events, so that the report covers more than one page.
    for (int i = 7; i < 140; ++i)
        results.instruments[0].events.push_back({i, judge::Event{}, judge::Verdict::Pass});
    const test::TempDir dir;
    for (const Case& c : cases) {
        const QString text = pdfText(results, c.language, dir);
        for (const char* field :
             {"Bench-North", "Li Wei", "TW-118", "click wrench 40-200", "after repair", "T-0042",
              "/home/lab/tests/T-0042.pdat", "2026-12-01 08:15:00", "1.4.0", "0a1b2c"})
            EXPECT_TRUE(text.contains(QString::fromLatin1(field))) << c.language << ": " << field;
        EXPECT_TRUE(text.contains(QString::fromStdString(results.sha256))) << c.language;
        EXPECT_TRUE(text.contains(c.slave)) << c.language;
        EXPECT_TRUE(text.contains(c.signature)) << c.language;
        const qsizetype pages = text.count(QLatin1Char('\f'));
        EXPECT_GE(pages, 2) << c.language;
        for (qsizetype page = 1; page <= pages; ++page)
            EXPECT_TRUE(text.contains(c.page.arg(page).arg(pages))) << c.language << " " << page;
    }
}

TEST(ReportDocument, NoFigureReadsAsNegativeZero) {
    const std::vector<std::pair<const char*, std::function<void(InstrumentResult&)>>> places = {
        {"peak", [](InstrumentResult& r) { r.events[0].event.peak = -0.001; }},
        {"time", [](InstrumentResult& r) { r.events[0].event.peakTime = -0.0001; }},
        {"mean", [](InstrumentResult& r) { r.statistics.mean = -0.004; }},
        {"cpk", [](InstrumentResult& r) { r.statistics.cpk = -0.001; }},
        {"target", [](InstrumentResult& r) { r.settings->target = -0.001; }},
        {"lower", [](InstrumentResult& r) { r.settings->lower = -0.01; }},
        {"from", [](InstrumentResult& r) { r.settings->since = -0.0; }},
        {"threshold", [](InstrumentResult& r) { r.judged.threshold = -0.0001; }},
    };
    const test::TempDir dir;
    const QRegularExpression negativeZero(QStringLiteral("-0(\\.0*)?(?![.0-9])"));
    for (const auto& [place, set] : places) {
        TestResults results = handMade();
        set(results.instruments[0]);
        const QString text = pdfText(results, "en_US", dir);
        EXPECT_FALSE(negativeZero.match(text).hasMatch()) << place;
    }
}

TEST(ReportDocument, ManyEventsListOnlyTheFailedOnesAndSayWhereTheRestAre) {
    TestResults results = handMade();
    InstrumentResult& many = results.instruments[0];
    many.events.clear();
    many.low = many.high = many.pass = 0;
    for (int i = 1; i <= static_cast<int>(kReportEventLimit) + 300; ++i) {
        const judge::Verdict v = i % 97 == 0   ? judge::Verdict::Low
                                 : i % 89 == 0 ? judge::Verdict::High
                                               : judge::Verdict::Pass;
        (v == judge::Verdict::Low ? many.low : v == judge::Verdict::High ? many.high : many.pass)++;
        many.events.push_back({i, judge::Event{0, 0, i * 0.5, 250.0, true}, v});
    }
    const test::TempDir dir;
    const QString text = pdfText(results, "en_US", dir);
    // Narrow, the table runs in parts side by side: a line of text may hold several rows.
    const QRegularExpression row(QStringLiteral("Slave 1 +\\d+ +[0-9.]+ +[0-9.]+ +N\\.m +(\\w+)"));
    size_t listed = 0;
    for (auto match = row.globalMatch(text); match.hasNext(); ++listed)
        EXPECT_NE(match.next().captured(1), QStringLiteral("pass"));
    EXPECT_EQ(listed, many.low + many.high);
    EXPECT_TRUE(text.simplified().contains(
        QStringLiteral("%1 events, of which only the %2 judged low or high are listed here")
            .arg(many.events.size())
            .arg(many.low + many.high)));
    EXPECT_EQ(QString::fromStdString(eventsCsv(results)).count(QStringLiteral("\n1,")),
              static_cast<qsizetype>(many.events.size()))
        << "the CSV keeps every event";
}

TEST(ReportGraph, TicksFallOnOneTwoOrFiveTimesAPowerOfTen) {
    struct Case {
        double span;
        int most;
        double step;
        int decimals;
    };
    const Case cases[] = {
        {141.6, 6, 50.0, 0}, {20.5, 10, 5.0, 0}, {10.0, 5, 2.0, 0},  {1.0, 10, 0.1, 1},
        {0.37, 6, 0.1, 1},   {0.37, 3, 0.2, 1},  {3e-3, 6, 5e-4, 4}, {4200.0, 8, 1000.0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(roundStep(c.span, c.most), c.step) << c.span << " / " << c.most;
        EXPECT_EQ(stepDecimals(c.step), c.decimals) << c.step;
    }
}

// The report and the window give a slave one colour: its curve, peak marks and legend swatch.
TEST(ReportGraph, EachSlaveIsDrawnInTheColourTheWindowGivesIt) {
    TestResults results = handMade();
    results.instruments[1].slave = 8;
    for (CurvePoint& point : results.curves[1])
        point.slave = 8;
    const QImage graph = drawTestGraph(results, QSize(900, 450), builtInReportTexts("en_US"));
    for (const int slave : {1, 8}) {
        const QRgb colour = seriesColor(slave - 1).rgb();
        int pixels = 0;
        for (int y = 0; y < graph.height(); ++y)
            for (int x = 0; x < graph.width(); ++x)
                pixels += graph.pixel(x, y) == colour ? 1 : 0;
        EXPECT_GT(pixels, 20) << "slave " << slave;
    }
}
