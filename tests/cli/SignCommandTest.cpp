// vornex-cli sign, report and certificate on the files of a temporary home folder: the number a
// document keeps, its lab, and signatures bound to the bytes they signed.
#include <gtest/gtest.h>

#include <QDate>
#include <QRegularExpression>
#include <QStringList>
#include <string>
#include <vector>

#include "CliRun.h"
#include "Files.h"
#include "PdfText.h"
#include "TempDir.h"
#include "files/Sha256.h"
#include "record/CurvePoint.h"

namespace vornex {
namespace {

using test::runCli;

// pdftotext lays a line out in columns: spaces and line breaks count as one space.
QString squeezed(const QString& text) {
    return QString(text).replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
}

struct Lab {
    test::TempDir dir;
    const std::string home = dir.folder("home");
    const QString homeText = QString::fromStdString(home);
    const QString year = QString::number(QDate::currentDate().year());

    Lab() {
        // Every time the tool prints is in this zone.
        qputenv("TZ", "Asia/Shanghai");
        test::writeBytes(home + "config.ini",
                         "[Setting]\nBench=B7\nLab=Vornex Calibration Lab\n"
                         "LabAddress=12 Harbour Road, Ningbo\n");
    }
    // A test of slave 2, operated by Li Wei, with its companion's UUID.
    std::string test(const std::string& name, const std::string& uuid, double peak = 300) const {
        std::vector<CurvePoint> points;
        for (int i = 0; i < 4; ++i)
            points.push_back(CurvePoint{i * 0.5, i == 1 ? peak : 0.0, 2, {}});
        const std::string path = dir.file(name + ".pdat");
        test::writeBytes(path, std::string(reinterpret_cast<const char*>(points.data()),
                                           points.size() * sizeof(CurvePoint)));
        test::writeBytes(dir.file(name + ".ini"),
                         "[Test]\nUUID=" + uuid + "\nName=" + name + "\nOperator=Li Wei\n");
        return path;
    }
    test::CliRun sign(const std::string& file, const QStringList& options) const {
        return runCli(QStringList{"sign", QString::fromStdString(file)} + options +
                      QStringList{"--home", homeText});
    }
    // The report's text.
    QString report(const std::string& test) const {
        const std::string pdf = dir.file("report.pdf");
        const test::CliRun run = runCli({"report", QString::fromStdString(test), "--pdf",
                                         QString::fromStdString(pdf), "--home", homeText});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return squeezed(test::pdfText(pdf));
    }
};

TEST(SignCommand, BindsEachSignatureToTheBytesItSigned) {
    const Lab lab;
    const std::string bolt = lab.test("bolt", "7d1f6a52-0c44-4c5e-9b1e-2f0e8d3c9a10");
    const std::string sha = sha256Hex(test::readBytes(bolt));

    // Performed takes the test's operator; the line says what was signed, by whom, when.
    const test::CliRun performed = lab.sign(bolt, {"--meaning", "performed"});
    ASSERT_EQ(performed.exitCode, 0) << performed.err.toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^signed %1 performed Li Wei "
                                                  "\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d"
                                                  "\\+08:00\n$")
                                       .arg(QString::fromStdString(sha)))
                    .match(performed.out)
                    .hasMatch())
        << performed.out.toStdString();
    // Reviewed and approved need a name; a meaning must be one of the three.
    EXPECT_EQ(lab.sign(bolt, {"--meaning", "reviewed"}).exitCode, 1);
    EXPECT_EQ(lab.sign(bolt, {"--meaning", "checked", "--name", "Zhang San"}).exitCode, 1);
    EXPECT_EQ(lab.sign(lab.dir.file("none.pdat"), {"--meaning", "performed"}).exitCode, 2);
    ASSERT_EQ(lab.sign(bolt, {"--meaning", "reviewed", "--name", "Zhang San"}).exitCode, 0);

    const QStringList lines =
        QString::fromStdString(test::readBytes(lab.home + "Signatures.tsv")).split('\n');
    ASSERT_EQ(lines.size(), 4);  // the header, two signatures, the last line's end
    EXPECT_EQ(lines[0], "TIME\tMEANING\tNAME\tSHA256\tUUID\tPATH");
    const QStringList fields = lines[2].split('\t');
    ASSERT_EQ(fields.size(), 6);
    EXPECT_EQ(fields.mid(1),
              QStringList({"reviewed", "Zhang San", QString::fromStdString(sha),
                           "7d1f6a52-0c44-4c5e-9b1e-2f0e8d3c9a10", QString::fromStdString(bolt)}));

    // No report or certificate is written over the lab's signatures or numbers.
    const std::string signatures = test::readBytes(lab.home + "Signatures.tsv");
    EXPECT_EQ(runCli({"report", QString::fromStdString(bolt), "--pdf",
                      lab.homeText + "Signatures.tsv", "--home", lab.homeText})
                  .exitCode,
              2);
    EXPECT_EQ(test::readBytes(lab.home + "Signatures.tsv"), signatures);

    const QString hash = QString::fromStdString(sha).left(16) + QChar(0x2026);
    const QString signedReport = lab.report(bolt);
    EXPECT_TRUE(signedReport.contains("Performed by Li Wei, ")) << signedReport.toStdString();
    EXPECT_TRUE(signedReport.contains("Reviewed by Zhang San, "));
    EXPECT_TRUE(signedReport.contains("+08:00 (SHA-256 " + hash + ")"));
    // Both roles are signed: no line is left to sign on paper.
    EXPECT_FALSE(signedReport.contains("Reviewed by:"));
    EXPECT_FALSE(signedReport.contains("changed after it was signed"));

    // One byte changed: no one signs it again, and its report says what was signed is gone.
    std::string bytes = test::readBytes(bolt);
    bytes[8] ^= 1;
    test::writeBytes(bolt, bytes);
    const std::string before = test::readBytes(lab.home + "Signatures.tsv");
    const test::CliRun again = lab.sign(bolt, {"--meaning", "approved", "--name", "Wang Fang"});
    EXPECT_EQ(again.exitCode, 2);
    EXPECT_TRUE(again.out.isEmpty());
    EXPECT_EQ(test::readBytes(lab.home + "Signatures.tsv"), before);
    const QString changed = lab.report(bolt);
    EXPECT_EQ(changed.count("changed after it was signed"), 2) << changed.toStdString();
    EXPECT_TRUE(changed.contains("Tested by:"));
}

// A document keeps its number however often it is printed; the next record gets the next one. The
// number, the issue date and the lab are on every page.
TEST(SignCommand, NumbersEachRecordOnceInTheLab) {
    const Lab lab;
    const std::string bolt = lab.test("bolt", "0b6c1f7e-5d2a-4f1b-8c3e-9a7d6e5f4c3b");
    const QString number = "Document No.: B7-" + lab.year + "-000001";
    const QString first = lab.report(bolt);
    EXPECT_TRUE(first.contains(number)) << first.toStdString();
    EXPECT_TRUE(first.contains("Vornex Calibration Lab, 12 Harbour Road, Ningbo"));
    EXPECT_TRUE(first.contains("Issued: " + QDate::currentDate().toString(Qt::ISODate)));
    EXPECT_TRUE(first.contains("Tested by:")) << "unsigned roles keep their line";
    EXPECT_TRUE(lab.report(bolt).contains(number));
    const QString other = lab.report(lab.test("nut", "c3a1e2d4-6b5f-4a7e-9c8d-1f2e3d4c5b6a", 250));
    EXPECT_TRUE(other.contains("B7-" + lab.year + "-000002")) << other.toStdString();
    EXPECT_FALSE(other.contains("B7-" + lab.year + "-000001"));

    // A run file is numbered on, and its certificate names its lab and its signer.
    const std::string run = lab.dir.folder("home/Data/Verify") + "TW-200.txt";
    test::writeBytes(
        run,
        "Vornex tool verification run\nTool: TW-200\nDescription: click wrench\nType: II\n"
        "Class: A\nLowest: 40\nMaximum: 200\nUnit: N.m\nDirection: clockwise\n"
        "Profile: ISO 6789-1 conformance\nStandard: ISO 6789-1:2017\nPoints: 20\nReadings: 1\n"
        "Preloads: 0\nPermissible: 4\nSlips: repeat\nDecimals: 2\nOperator: Chen Jing\n"
        "Temperature: 21.5\nHumidity: 45\nReference due: 2027-03-01\n"
        "Instrument: slave 1 on /dev/ttyUSB0, mode P, range 500 N.m\nIdentification: 0a1b\n"
        "Started: 2026-12-01T09:15:00\n"
        "2026-12-01T09:15:20 reading 20 1 40.00 40.20 -0.50 conforms\n"
        "2026-12-01T09:15:31 result conforms\n");
    ASSERT_EQ(lab.sign(run, {"--meaning", "performed"}).exitCode, 0);
    const std::string numbers = test::readBytes(lab.home + "DocumentNumbers.tsv");
    EXPECT_EQ(runCli({"certificate", QString::fromStdString(run), "--pdf",
                      lab.homeText + "DocumentNumbers.tsv", "--home", lab.homeText})
                  .exitCode,
              2);
    EXPECT_EQ(test::readBytes(lab.home + "DocumentNumbers.tsv"), numbers);
    const std::string pdf = lab.dir.file("certificate.pdf");
    const test::CliRun certificate = runCli({"certificate", QString::fromStdString(run), "--pdf",
                                             QString::fromStdString(pdf), "--home", lab.homeText});
    ASSERT_EQ(certificate.exitCode, 0) << certificate.err.toStdString();
    const QString text = squeezed(test::pdfText(pdf));
    EXPECT_TRUE(text.contains("B7-" + lab.year + "-000003")) << text.toStdString();
    EXPECT_TRUE(text.contains("Vornex Calibration Lab, 12 Harbour Road, Ningbo"));
    EXPECT_TRUE(text.contains("Performed by Chen Jing, "));
    EXPECT_EQ(QString::fromStdString(test::readBytes(lab.home + "DocumentNumbers.tsv")).count('\n'),
              4);
}

}  // namespace
}  // namespace vornex
