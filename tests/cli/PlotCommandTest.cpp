#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <fstream>

#include "CliRun.h"
#include "TempDir.h"
#include "record/TestFile.h"

namespace vornex {
namespace {

TEST(PlotCommand, WritesAnImageAndAVectorPageOfATestAndRefusesWhatItCannotRead) {
    test::TempDir dir;
    const QString test = QString::fromStdString(dir.path() + "/t.pdat");
    std::vector<CurvePoint> points;
    for (int i = 0; i < 30000; ++i)
        points.push_back(CurvePoint{0.1 * i, static_cast<double>(i % 50), uint8_t(1 + i % 3), {}});
    ASSERT_TRUE(TestFile(test.toStdString()).append(points.data(), points.size()).ok());
    const std::string companion = dir.path() + "/t.ini";
    std::ofstream(companion) << "[Test]\nName=t\n";
    const QString png = QString::fromStdString(dir.path() + "/t.png");
    const QString pdf = QString::fromStdString(dir.path() + "/t.pdf");

    struct Case {
        QStringList args;
        int exitCode;
    };
    const Case cases[] = {
        {{"plot", test, "--png", png, "--pdf", pdf, "--width", "640", "--height", "360"}, 0},
        {{"plot", test, "--png", png, "--from", "100", "--to", "200"}, 0},
        {{"plot", QString::fromStdString(dir.path() + "/none.pdat"), "--png", png}, 2},
        {{"plot", test, "--png", test}, 2},
        {{"plot", test, "--pdf", QString::fromStdString(companion)}, 2},
        {{"plot", test, "--png", "/dev/full"}, 2},
        {{"plot", test, "--png", png, "--from", "9", "--to", "3"}, 1},
        {{"plot", test, "--width", "100"}, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(test::runCli(c.args).exitCode, c.exitCode) << c.args.join(' ').toStdString();
    }
    QFile page(pdf);
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.read(5) == "%PDF-");
    EXPECT_GT(page.size(), 1000);
    const QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(1600, 900));
    EXPECT_EQ(QFileInfo(test).size(), static_cast<qint64>(points.size() * sizeof(CurvePoint)));
    EXPECT_EQ(QFileInfo(QString::fromStdString(companion)).size(), 14);
}

// A range that shows none of the test is refused with the test's span, and no image is written.
TEST(PlotCommand, ARangeOutsideTheTestIsRefusedWithItsSpan) {
    test::TempDir dir;
    const QString test = QString::fromStdString(dir.path() + "/t.pdat");
    const CurvePoint points[] = {{0.0, 1.0, 1, {}}, {6.2, 2.0, 2, {}}, {12.345, 3.0, 1, {}}};
    ASSERT_TRUE(TestFile(test.toStdString()).append(points, 3).ok());
    const QString png = QString::fromStdString(dir.path() + "/t.png");
    const QStringList outside[] = {
        {"--from", "1000"}, {"--to", "-5"}, {"--from", "12.345"}, {"--from", "13", "--to", "20"}};
    for (const QStringList& range : outside) {
        const test::CliRun run = test::runCli(QStringList{"plot", test, "--png", png} + range);
        EXPECT_EQ(run.exitCode, 1) << range.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("the test spans 0.000 to 12.345 s")) << run.err.toStdString();
    }
    for (const char* seconds : {"0x10", "nan", "1e999", "5,5"})
        EXPECT_EQ(test::runCli({"plot", test, "--png", png, "--from", seconds}).exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(png));
    EXPECT_EQ(test::runCli({"plot", test, "--png", png, "--from", "12", "--to", "20"}).exitCode, 0);
    EXPECT_TRUE(QFileInfo::exists(png));
}

}  // namespace
}  // namespace vornex
