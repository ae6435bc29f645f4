// vornex-cli certificate run as a program on run files written as a run writes them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "CliRun.h"
#include "Files.h"
#include "PdfText.h"
#include "TempDir.h"

namespace vornex {
namespace {

using test::runCli;

// Two readings at 20 % of a 200 N.m wrench, ended by `end` (none when empty).
std::string runText(const std::string& end) {
    std::string text =
        "Vornex tool verification run\nTool: TW-200\nDescription: click wrench\nType: II\n"
        "Class: A\nLowest: 40\nMaximum: 200\nUnit: N.m\nDirection: clockwise\n"
        "Profile: ISO 6789-1 conformance\nStandard: ISO 6789-1:2017\nPoints: 20\nReadings: 2\n"
        "Preloads: 0\nPermissible: 4\nSlips: repeat\nDecimals: 2\nOperator: Li Wei\n"
        "Temperature: 21.5\nHumidity: 45\nReference due: 2027-03-01\n"
        "Instrument: slave 1 on /dev/ttyUSB0, mode P, range 500 N.m\nIdentification: 0a1b\n"
        "Started: 2026-12-01T09:15:00\n"
        "2026-12-01T09:15:20 reading 20 1 40.00 40.20 -0.50 conforms\n"
        "2026-12-01T09:15:30 reading 20 2 40.00 41.90 -4.53 exceeds\n";
    return end.empty() ? text : text + "2026-12-01T09:15:31 " + end + "\n";
}

struct Bench {
    test::TempDir dir;
    const std::string home = dir.folder("home");
    const std::string run = dir.folder("home/Data/Verify/20261201") + "TW-200-091500.txt";

    explicit Bench(const std::string& end) {
        test::writeBytes(home + "config.ini", "[Setting]\nLanguage=zh_TW\nBench=Bench-North\n");
        test::writeBytes(run, runText(end));
    }
    test::CliRun certificate(const QStringList& outputs, const std::string& file = {}) const {
        return runCli(
            QStringList{"certificate", QString::fromStdString(file.empty() ? run : file)} +
            outputs + QStringList{"--home", QString::fromStdString(home)});
    }
};

// An ended run gets its certificate, in the bench's language, and its readings as verify's --csv
// writes them, as often as asked: a run that did not conform included.
TEST(CertificateCommand, WritesAnEndedRunsCertificateAndReadingsAgain) {
    const Bench bench("result does-not-conform");
    const std::string pdf = bench.dir.file("TW-200.pdf");
    const std::string csv = bench.dir.file("TW-200.csv");
    const test::CliRun done = bench.certificate(
        {"--pdf", QString::fromStdString(pdf), "--csv", QString::fromStdString(csv)});
    ASSERT_EQ(done.exitCode, 0) << done.err.toStdString();
    const QString text = test::pdfText(pdf);
    for (const char* field :
         {"Bench-North", "TW-200", "41.90", "-4.53", "結論：2 個讀數中有 1 個超出允許偏差"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(field))) << field;
    EXPECT_EQ(test::readBytes(csv),
              "point,reading,setting,value,unit,deviation,verdict,slip\n"
              "20,1,40.00,40.20,N.m,-0.50,conforms,no\n"
              "20,2,40.00,41.90,N.m,-4.53,exceeds,no\n");
}

// No certificate for a run without a result, a file that is no run file, or outputs that would
// replace the run file or the bench's own files; whatever it refuses is left as it was.
TEST(CertificateCommand, RefusesRunsWithoutAResultAndOutputsOverItsInputs) {
    const Bench open("");
    const std::string pdf = open.dir.file("out.pdf");
    const QStringList toPdf{"--pdf", QString::fromStdString(pdf)};
    const test::CliRun unfinished = open.certificate(toPdf);
    EXPECT_EQ(unfinished.exitCode, 2);
    EXPECT_TRUE(unfinished.err.contains("vornex-cli certificate: ")) << "has not ended";
    EXPECT_EQ(Bench("abandoned tool broke").certificate(toPdf).exitCode, 2);
    const std::string fifo = open.dir.file("fifo.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& file : {fifo, open.dir.path(), open.dir.file("missing.txt")})
        EXPECT_EQ(open.certificate(toPdf, file).exitCode, 2) << file;
    EXPECT_FALSE(test::pathExists(pdf));

    const Bench ended("result conforms");
    const std::string tool = ended.dir.folder("home/Tools") + "T100.ini";
    test::writeBytes(tool, "[Tool]\nMaximum = 100\n");
    for (const QStringList& outputs :
         {QStringList{"--pdf", QString::fromStdString(tool)},
          QStringList{"--pdf", QString::fromStdString(pdf), "--csv",
                      QString::fromStdString(ended.run)},
          QStringList{"--pdf", QString::fromStdString(ended.home + "config.ini")}}) {
        const test::CliRun refused = ended.certificate(outputs);
        EXPECT_EQ(refused.exitCode, 2) << outputs.join(' ').toStdString();
        EXPECT_TRUE(refused.err.contains("vornex-cli certificate: --"))
            << refused.err.toStdString();
    }
    EXPECT_EQ(test::readBytes(tool), "[Tool]\nMaximum = 100\n");
    EXPECT_EQ(test::readBytes(ended.run), runText("result conforms"));
    EXPECT_FALSE(test::pathExists(pdf));
    EXPECT_EQ(ended.certificate({}).exitCode, 1) << "no --pdf";
}

}  // namespace
}  // namespace vornex
