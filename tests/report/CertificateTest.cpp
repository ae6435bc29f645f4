// The certificate of a verification run, made from a run file written as the bench writes it and
// read back by pdftotext.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <fstream>

#include "PdfText.h"
#include "TempDir.h"
#include "report/Certificate.h"

using namespace vornex;

namespace {

// A class A wrench up to 200 N.m, two readings at each of 20, 60 and 100 %; the last reading is
// `last`, the run's end `end` (none when empty).
std::string runFile(const test::TempDir& dir, const char* last,
                    const char* end = "result conforms") {
    const std::string path = dir.file("TW-200-091500.txt");
    std::ofstream out(path);
    out << "Vornex tool verification run\nTool: TW-200\nDescription: click wrench 40-200\n"
           "Type: II\nClass: A\nLowest: 40\nMaximum: 200\nUnit: N.m\nDirection: cw\n"
           "Profile: ISO 6789-1 conformance\nStandard: ISO 6789-1:2017\nPoints: 20 60 100\n"
           "Readings: 2\nPreloads: 1\nPermissible: 4\nSlips: repeat\nDecimals: 2\n"
           "Operator: Li Wei\nTemperature: 21.5\nHumidity: 45\nReference due: 2027-03-01\n"
           "Instrument: slave 3 on /dev/ttyUSB0, mode P, range 500.00 N.m\nIdentification: 0a1b2c\n"
           "Started: 2026-12-01T09:15:00\n"
           "2026-12-01T09:15:10 preload 1 200.30\n"
           "2026-12-01T09:15:20 reading 20 1 40.00 40.20 -0.50 conforms\n"
           "2026-12-01T09:15:30 reading 20 2 40.00 39.90 +0.25 conforms\n"
           "2026-12-01T09:15:40 reading 60 1 120.00 119.50 +0.42 conforms\n"
           "2026-12-01T09:15:50 reading 60 2 120.00 120.60 -0.50 conforms\n"
           "2026-12-01T09:16:00 reading 100 1 200.00 201.00 -0.50 conforms\n"
        << "2026-12-01T09:16:10 reading 100 2 200.00 " << last << "\n";
    if (*end)
        out << "2026-12-01T09:16:11 " << end << "\n";
    return path;
}

}  // namespace

TEST(Certificate, HoldsEveryFieldEveryReadingAndTheResultInTheUsersLanguage) {
    struct Case {
        const char* language;
        const char* last;  // reading and its deviation
        QString slave, verdict, result, page;
        QStringList point;  // 100 %: mean, deviation of the mean, spread and its share
    };
    const Case cases[] = {
        {"en_US", "198.80 +0.60", QStringLiteral("Slave 3 Station 3"), QStringLiteral("conforms"),
         QStringLiteral("Result: the tool conforms to ISO 6789-1:2017"),
         QStringLiteral("Page 1 of 1"), QStringList{"199.90", "+0.05", "2.20", "1.10"}},
        {"zh_CN", "190.00 +5.26", QStringLiteral("从站 3 Station 3"), QStringLiteral("超差"),
         QStringLiteral("结论：该工具不符合 ISO 6789-1:2017"), QStringLiteral("第 1 页，共 1 页"),
         QStringList{"195.50", "+2.30", "11.00", "5.50"}},
        {"zh_TW", "190.00 +5.26", QStringLiteral("從站 3 Station 3"), QStringLiteral("超差"),
         QStringLiteral("結論：該工具不符合 ISO 6789-1:2017"), QStringLiteral("第 1 頁，共 1 頁"),
         QStringList{"195.50", "+2.30", "11.00", "5.50"}},
    };
    const test::TempDir dir;
    const CertificateFacts facts{"Bench-North", "Station 3"};
    for (const Case& c : cases) {
        const std::string run = runFile(dir, c.last);
        const std::string pdf = dir.file("certificate.pdf");
        ASSERT_TRUE(writeCertificatePdf(run, facts,
                                        builtInReportTexts(QString::fromLatin1(c.language)), pdf)
                        .ok())
            << c.language;
        const QString text = test::pdfText(pdf);
        QFile file(QString::fromStdString(run));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString sha256 = QString::fromLatin1(
            QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex());
        const QString last = QString::fromLatin1(c.last);
        for (const QString& field : {QStringLiteral("Bench-North"),
                                     QStringLiteral("Li Wei"),
                                     QStringLiteral("2026-12-01T09:15:00"),
                                     QStringLiteral("21.5"),
                                     QStringLiteral("45"),
                                     QStringLiteral("TW-200"),
                                     QStringLiteral("click wrench 40-200"),
                                     QStringLiteral("II"),
                                     QStringLiteral("40"),
                                     QStringLiteral("N.m"),
                                     QStringLiteral("/dev/ttyUSB0"),
                                     QStringLiteral("0a1b2c"),
                                     QStringLiteral("2027-03-01"),
                                     QStringLiteral("500.00 N.m"),
                                     QStringLiteral("ISO 6789-1 conformance — ISO 6789-1:2017"),
                                     QStringLiteral("±4 %"),
                                     QString::fromStdString(run),
                                     sha256,
                                     QStringLiteral("119.50"),
                                     QStringLiteral("+0.42"),
                                     last.section(QLatin1Char(' '), 0, 0),
                                     last.section(QLatin1Char(' '), 1, 1),
                                     c.slave,
                                     c.verdict,
                                     c.result,
                                     c.page})
            EXPECT_TRUE(text.contains(field)) << c.language << ": " << field.toStdString();
        for (const QString& figure : c.point)
            EXPECT_TRUE(text.contains(figure)) << c.language << ": " << figure.toStdString();
    }
}

// Neither a run that has not ended nor one abandoned says whether the tool conforms.
TEST(Certificate, ARunThatHasNotEndedOrWasAbandonedHasNone) {
    const test::TempDir dir;
    const std::string pdf = dir.file("certificate.pdf");
    for (const char* end : {"", "abandoned tool broke"}) {
        EXPECT_FALSE(writeCertificatePdf(runFile(dir, "198.80 +0.60", end), {},
                                         builtInReportTexts("en_US"), pdf)
                         .ok())
            << end;
        EXPECT_FALSE(QFile::exists(QString::fromStdString(pdf)));
    }
}
