// The certificate of a verification run, made from a run file written as the bench writes it and
// read back by pdftotext.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <fstream>

#include "PdfText.h"
#include "TempDir.h"
#include "report/Certificate.h"

using namespace vornex;

namespace {

// A class A wrench up to 200 N.m, two readings at each of 20, 60 and 100 %; the last reading is
// `last`, the run's end `end` (none when empty).
std::string runText(const char* last, const char* end = "result conforms") {
    std::string text =
        "Vornex tool verification run\nTool: TW-200\nDescription: click wrench 40-200\n"
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
        "2026-12-01T09:16:10 reading 100 2 200.00 " +
        std::string(last) + "\n";
    if (*end)
        text += "2026-12-01T09:16:11 " + std::string(end) + "\n";
    return text;
}

std::string writeRun(const test::TempDir& dir, const std::string& text) {
    const std::string path = dir.file("TW-200-091500.txt");
    std::ofstream(path) << text;
    return path;
}

std::string runFile(const test::TempDir& dir, const char* last,
                    const char* end = "result conforms") {
    return writeRun(dir, runText(last, end));
}

// The text with the whole line `from` replaced by the lines `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from + "\n");
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size() + 1, to + "\n");
}

// Without any blank: pdftotext breaks a wrapped table cell where the printed line broke, and
// spaces columns as they stand. Ligatures ("ﬁ") are read as their letters.
QString squeezed(const QString& text) {
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_KC)) {
        if (!c.isSpace())
            out += c;
    }
    return out;
}

// Whether any page of the PDF prints something in the green of a conforming result.
bool printsGreen(const test::TempDir& dir, const std::string& pdf) {
    const QString prefix = dir.qFile(QStringLiteral("page"));
    EXPECT_EQ(QProcess::execute(QStringLiteral("pdftoppm"),
                                {QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-png"),
                                 QString::fromStdString(pdf), prefix}),
              0);
    bool green = false;
    for (const QString& page : QDir(dir.qPath()).entryList({QStringLiteral("page-*.png")})) {
        const QImage image(dir.qFile(page));
        for (int y = 0; y < image.height() && !green; ++y) {
            for (int x = 0; x < image.width() && !green; ++x) {
                const QColor c = image.pixelColor(x, y);
                green = c.green() > 90 && c.red() < 60 && c.blue() < 60;
            }
        }
        QFile::remove(dir.qFile(page));
    }
    return green;
}

}  // namespace

TEST(Certificate, HoldsEveryFieldEveryReadingAndTheResultInTheUsersLanguage) {
    struct Case {
        const char* language;
        const char* last;  // reading and its deviation
        QString slave, verdict, result, page, mean, noRemarks;
        QStringList point;  // 100 %: mean, deviation of the mean, spread and its share
    };
    const Case cases[] = {
        {"en_US", "198.80 +0.60", QStringLiteral("Slave 3 Station 3"), QStringLiteral("conforms"),
         QStringLiteral("Result: the tool conforms to ISO 6789-1:2017"),
         QStringLiteral("Page 1 of 1"), QStringLiteral("Mean (N.m)"), QStringLiteral("No remarks."),
         QStringList{"199.90", "+0.05", "2.20", "1.10"}},
        {"zh_CN", "190.00 +5.26", QStringLiteral("从站 3 Station 3"), QStringLiteral("超差"),
         QStringLiteral("结论：该工具不符合 ISO 6789-1:2017"), QStringLiteral("第 1 页，共 1 页"),
         QStringLiteral("平均值（N.m）"), QStringLiteral("无备注。"),
         QStringList{"195.50", "+2.30", "11.00", "5.50"}},
        {"zh_TW", "190.00 +5.26", QStringLiteral("從站 3 Station 3"), QStringLiteral("超差"),
         QStringLiteral("結論：該工具不符合 ISO 6789-1:2017"), QStringLiteral("第 1 頁，共 1 頁"),
         QStringLiteral("平均值（N.m）"), QStringLiteral("無備註。"),
         QStringList{"195.50", "+2.30", "11.00", "5.50"}},
    };
    const test::TempDir dir;
    const CertificateFacts facts{"Bench-North", "Station 3"};
    for (const Case& c : cases) {
        const std::string run = runFile(dir, c.last);
        const std::string pdf = dir.file("certificate.pdf");
        ASSERT_TRUE(writeCertificatePdf(
                        run, facts, builtInReportTexts(QString::fromLatin1(c.language)), {}, pdf)
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
                                     QStringLiteral("500 N.m"),
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
                                     c.page,
                                     c.mean,
                                     c.noRemarks})
            EXPECT_TRUE(text.contains(field)) << c.language << ": " << field.toStdString();
        for (const QString& figure : c.point)
            EXPECT_TRUE(text.contains(figure)) << c.language << ": " << figure.toStdString();
        EXPECT_EQ(printsGreen(dir, pdf), c.verdict == QLatin1String("conforms")) << c.language;
    }
}

// What the run file records beside its readings, and what the certificate finds in its header, is
// remarked on: a reader of a conforming run is sent to the remarks, not shown a green result.
TEST(Certificate, RemarksEveryConfirmationAndWarningAConditionNotRecordedAndAnOverdueReference) {
    std::string text =
        replaced(runText("198.80 +0.60"), "Temperature: 21.5", "Temperature: not given");
    text = replaced(text, "Reference due: 2027-03-01", "Reference due: 2026-11-30");
    text = replaced(text, "Unit: N.m", "Unit: kgf.cm");
    text = replaced(text, "Instrument: slave 3 on /dev/ttyUSB0, mode P, range 500.00 N.m",
                    "Instrument: slave 3 on /dev/ttyUSB0, mode P, range 500 N.m\nPort: "
                    "/dev/ttyUSB0\nSlave: 3\nName: \nRange: 500\nMode: P");
    text = replaced(text, "2026-12-01T09:15:10 preload 1 200.30",
                    "2026-12-01T09:15:05 confirmed the ambient conditions outside the profile\n"
                    "2026-12-01T09:15:10 preload 1 200.30\n"
                    "2026-12-01T09:15:35 instrument changed unit kgf.cm N.m\n"
                    "2026-12-01T09:15:38 instrument restored");
    const test::TempDir dir;
    const std::string run = writeRun(dir, text);
    const std::string pdf = dir.file("certificate.pdf");
    for (const char* language : {"en_US", "zh_CN", "zh_TW"}) {
        SCOPED_TRACE(language);
        const ReportTexts t = builtInReportTexts(QString::fromLatin1(language));
        ASSERT_TRUE(writeCertificatePdf(run, {}, t, {}, pdf).ok());
        const QString printed = squeezed(test::pdfText(pdf));
        for (const QString& expected :
             {t.certRemarks, t.certRemarkAmbient,
              t.certRemarkOverdue.arg(QStringLiteral("2026-11-30"), QStringLiteral("2026-12-01")),
              QStringLiteral(
                  "2026-12-01T09:15:05 confirmed the ambient conditions outside the profile"),
              QStringLiteral("2026-12-01T09:15:35 instrument changed unit kgf.cm N.m"),
              QStringLiteral("2026-12-01T09:15:38 instrument restored"),
              t.certAmbientNoTemperature.arg(QStringLiteral("45")),
              t.certRange.arg(QStringLiteral("500 N.m")), t.certMean.arg(QStringLiteral("kgf.cm")),
              t.certConformsRemarks.arg(QStringLiteral("ISO 6789-1:2017"))})
            EXPECT_TRUE(printed.contains(squeezed(expected))) << expected.toStdString();
        EXPECT_FALSE(printed.contains(squeezed(t.certNoRemarks)));
        EXPECT_FALSE(printsGreen(dir, pdf));
    }
}

// Neither a run that has not ended nor one abandoned says whether the tool conforms.
TEST(Certificate, ARunThatHasNotEndedOrWasAbandonedHasNone) {
    const test::TempDir dir;
    const std::string pdf = dir.file("certificate.pdf");
    for (const char* end : {"", "abandoned tool broke"}) {
        EXPECT_FALSE(writeCertificatePdf(runFile(dir, "198.80 +0.60", end), {},
                                         builtInReportTexts("en_US"), {}, pdf)
                         .ok())
            << end;
        EXPECT_FALSE(QFile::exists(QString::fromStdString(pdf)));
    }
}
