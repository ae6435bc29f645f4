// The certificate of a verification run, made from a run file written as the bench writes it and
// read back by pdftotext.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <fstream>

#include "PdfText.h"
#include "TempDir.h"
#include "register/LabRegister.h"
#include "register/ToolIdentity.h"
#include "report/Certificate.h"
#include "report/DocumentKind.h"
#include "report/ReportBlocks.h"
#include "verify/RunFile.h"

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
        QString slave, verdict, page, mean, noRemarks;
        QStringList point;  // 100 %: mean, deviation of the mean, spread and its share
    };
    const Case cases[] = {
        {"en_US", "198.80 +0.60", QStringLiteral("Slave 3 Station 3"), QStringLiteral("conforms"),
         QStringLiteral("Page 1 of 1"), QStringLiteral("Mean (N.m)"), QStringLiteral("No remarks."),
         QStringList{"199.90", "+0.05", "2.20", "1.10"}},
        {"zh_CN", "190.00 +5.26", QStringLiteral("从站 3 Station 3"), QStringLiteral("超差"),
         QStringLiteral("第 1 页，共 1 页"), QStringLiteral("平均值（N.m）"),
         QStringLiteral("无备注。"), QStringList{"195.50", "+2.30", "11.00", "5.50"}},
        {"zh_TW", "190.00 +5.26", QStringLiteral("從站 3 Station 3"), QStringLiteral("超差"),
         QStringLiteral("第 1 頁，共 1 頁"), QStringLiteral("平均值（N.m）"),
         QStringLiteral("無備註。"), QStringList{"195.50", "+2.30", "11.00", "5.50"}},
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
                                     c.page,
                                     c.mean,
                                     c.noRemarks})
            EXPECT_TRUE(text.contains(field)) << c.language << ": " << field.toStdString();
        for (const QString& figure : c.point)
            EXPECT_TRUE(text.contains(figure)) << c.language << ": " << figure.toStdString();
        // Two readings after one preload is no run under the standard: the document says so and
        // declares nothing, in green or otherwise.
        const ReportTexts t = builtInReportTexts(QString::fromLatin1(c.language));
        const bool within = c.verdict == QLatin1String("conforms");
        for (const QString& expected :
             {t.docRecordTitle,
              t.docNoDeclaration.arg(QStringLiteral("ISO 6789-1:2017"),
                                     t.docShortfall.arg(3).arg(3).arg(5).arg(2).arg(3).arg(1)),
              within ? t.docRecordWithin : t.docRecordExceeds.arg(1).arg(6)})
            EXPECT_TRUE(squeezed(text).contains(squeezed(expected))) << expected.toStdString();
        EXPECT_FALSE(squeezed(text).contains(squeezed(t.certConforms.arg(QString()))));
        EXPECT_FALSE(squeezed(text).contains(squeezed(t.certNotConforms.arg(QString()))));
        EXPECT_FALSE(printsGreen(dir, pdf)) << c.language;
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
              t.docRecordWithin})
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

namespace {

// A 200 N.m wrench with `header` (the lines between its Class and Points), `readings` readings
// at each of 20, 60 and 100 % after `preloads` preloads in each of `series` (a blank direction: a
// file from before series named theirs), every reading 0.5 % above its setting.
std::string fullRun(const std::string& header, int readings, int preloads,
                    const std::vector<const char*>& series = {""}) {
    std::string text =
        "Vornex tool verification run\nTool: TW-200\nDescription: click wrench\nType: II\n"
        "Class: A\n" +
        header + "\nPoints: 20 60 100\nReadings: " + std::to_string(readings) +
        "\nPreloads: " + std::to_string(preloads) +
        "\nPermissible: 4\nSlips: repeat\nDecimals: 2\nOperator: Li Wei\nTemperature: 21.5\n"
        "Humidity: 45\nReference due: 2027-03-01\nReference asset: REF-500-03\n"
        "Reference certificate: CAL-2026-1187\nReference uncertainty: 0.2\n"
        "Condition: as-found\nInstrument: slave 3 on /dev/ttyUSB0, mode P, range 500.00 N.m\n"
        "Started: 2026-12-01T09:15:00\n";
    const std::string at = "2026-12-01T09:20:00 ";
    for (const char* direction : series) {
        if (*direction)
            text += at + "direction " + direction + "\n";
        for (int k = 1; k <= preloads; ++k)
            text += at + "preload " + std::to_string(k) + " 200.10\n";
        for (const char* point : {"20 40.00 40.20", "60 120.00 120.60", "100 200.00 201.00"}) {
            const std::string p(point);
            const size_t space = p.find(' ');
            for (int k = 1; k <= readings; ++k)
                text += at + "reading " + p.substr(0, space) + " " + std::to_string(k) +
                        p.substr(space) + " -0.50 conforms\n";
        }
    }
    return text + at + "result conforms\n";
}

}  // namespace

// A run that took what ISO 6789-1 asks declares conformance, with all a declaration holds.
TEST(Certificate, ADeclarationOfConformanceHoldsItsDecisionRuleTheToolTheReferenceAndEveryReading) {
    const test::TempDir dir;
    const std::string run =
        writeRun(dir, fullRun("Tool maker: Norbar\nTool model: TTi 200\nTool serial: SN-4711\n"
                              "Lowest: not given\nMaximum: 200\nUnit: N.m\nDirection: clockwise\n"
                              "Profile: ISO 6789-1 conformance\nStandard: ISO 6789-1:2017",
                              5, 3));
    const sign::DocumentIssue issue{"B7-2027-000123", "2027-01-12", "Lab North", "", {}, {}};
    const std::string pdf = dir.file("declaration.pdf");
    for (const char* language : {"en_US", "zh_CN", "zh_TW"}) {
        SCOPED_TRACE(language);
        const ReportTexts t = builtInReportTexts(QString::fromLatin1(language));
        ASSERT_TRUE(writeCertificatePdf(run, {}, t, issue, pdf).ok());
        const QString text = test::pdfText(pdf);
        const QString printed = squeezed(text);
        for (const QString& expected :
             {t.docDeclarationTitle, t.docDecisionRule.arg(t.docReadingRule),
              t.docNumber.arg(QStringLiteral("B7-2027-000123")),
              t.docIssued.arg(QStringLiteral("2027-01-12")), QStringLiteral("Lab North"),
              t.docMaker.arg(QStringLiteral("Norbar")), t.docModel.arg(QStringLiteral("TTi 200")),
              t.docSerial.arg(QStringLiteral("SN-4711")),
              t.certTypeClass.arg(QStringLiteral("II"), QStringLiteral("A")),
              t.docLowest.arg(t.docNotMarked), t.docMaximum.arg(QStringLiteral("200 N.m")),
              t.docUnit.arg(QStringLiteral("N.m")), t.docDirections.arg(t.docClockwise),
              t.certAsset.arg(QStringLiteral("REF-500-03"), QStringLiteral("CAL-2026-1187"),
                              QStringLiteral("0.2")),
              t.certReferenceDue.arg(QStringLiteral("2027-03-01")),
              t.docPreloads.arg(QStringLiteral("3")),
              t.certAmbient.arg(QStringLiteral("21.5"), QStringLiteral("45")),
              t.certMean.arg(QStringLiteral("N.m")),
              t.certConforms.arg(QStringLiteral("ISO 6789-1:2017"))})
            EXPECT_TRUE(printed.contains(squeezed(expected))) << expected.toStdString();
        // Each reading, and its point's mean.
        for (const char* reading : {"40.20", "120.60", "201.00"})
            EXPECT_EQ(text.count(QLatin1String(reading)), 6) << reading;
        EXPECT_FALSE(printed.contains(squeezed(t.docLowest.arg(QStringLiteral("-")))));
        EXPECT_FALSE(printed.contains(squeezed(t.docRecordTitle)));
        EXPECT_TRUE(printsGreen(dir, pdf));
    }
}

// A run under ISO 6789-2 is calibrated: its uncertainty per target value and direction instead of
// a conformance statement, and the outcome of a decision rule only when its plan states one.
TEST(Certificate, ACalibrationCertificateStatesItsUncertaintyAndADecisionRuleOnlyWhenPlanned) {
    const test::TempDir dir;
    const std::string pdf = dir.file("calibration.pdf");
    for (const char* rule : {"", "W' <= permissible"}) {
        const std::string run =
            writeRun(dir, fullRun("Lowest: 40\nMaximum: 200\nUnit: N.m\nDirection: both\n"
                                  "Profile: ISO 6789-2 calibration\nStandard: ISO 6789-2:2017\n"
                                  "Decision rule: " +
                                      std::string(rule),
                                  10, 3, {"clockwise", "counterclockwise"}));
        for (const char* language : {"en_US", "zh_CN", "zh_TW"}) {
            SCOPED_TRACE(std::string(language) + " " + rule);
            const ReportTexts t = builtInReportTexts(QString::fromLatin1(language));
            ASSERT_TRUE(writeCertificatePdf(run, {}, t, {}, pdf).ok());
            const QString text = test::pdfText(pdf);
            const QString printed = squeezed(text);
            for (const QString& expected :
                 {t.docCalibrationTitle, t.docCalibrationResult, t.docBudget,
                  t.docDirections.arg(t.docBothDirections), t.docReadingsIn.arg(t.docClockwise),
                  t.docReadingsIn.arg(t.docCounterclockwise), t.docSummaryIn.arg(t.docClockwise),
                  t.docSummaryIn.arg(t.docCounterclockwise), t.docTermResolution,
                  t.docTermReproducibility, t.docTermOutputDrive, t.docTermInterface,
                  t.docTermLoadingPoint,
                  t.docQuarterReference.arg(QStringLiteral("0.2"), QStringLiteral("1"))})
                EXPECT_TRUE(printed.contains(squeezed(expected))) << expected.toStdString();
            // w_ref = 0.2 / 2, no scatter: W = 0.20 and W′ = 0.50 + 0.20 at each of six targets.
            EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("0\\.100 +0\\.000 +0\\.100 +"
                                                                   "0\\.20 +0\\.70"))),
                      6);
            EXPECT_FALSE(printed.contains(squeezed(t.certConforms.arg(QString()))));
            EXPECT_FALSE(printed.contains(squeezed(t.certNotConforms.arg(QString()))));
            EXPECT_FALSE(printed.contains(squeezed(t.docTermReference)));
            EXPECT_EQ(printed.contains(squeezed(labelOf(t.docDecisionRule))), *rule != 0);
            EXPECT_EQ(printed.contains(squeezed(t.docRuleOpen)), *rule != 0);
        }
    }
}

// With every contribution in its run file, a calibration's decision rule is decided: met where W′
// lies within the permissible deviation, failed at the point where spans of 2 N.m make it exceed.
TEST(Certificate, ACalibrationWithEveryContributionMeasuredDecidesItsRule) {
    const test::TempDir dir;
    const std::string pdf = dir.file("calibration.pdf");
    const ReportTexts t = builtInReportTexts(QStringLiteral("en_US"));
    for (const std::string span : {"0.20", "2.00"}) {
        SCOPED_TRACE(span);
        std::string spans;
        for (const char* name : {"reproducibility", "output-drive", "interface", "loading-point"})
            spans +=
                "2026-12-01T09:19:00 contribution " + std::string(name) + " " + span + " N.m\n";
        const std::string run = writeRun(
            dir, replaced(fullRun("Lowest: 40\nMaximum: 200\nUnit: N.m\nDirection: clockwise\n"
                                  "Standard: ISO 6789-2:2017\nDecision rule: W' <= permissible\n"
                                  "Resolution: 0.01",
                                  10, 3),
                          "2026-12-01T09:20:00 result conforms",
                          spans + "2026-12-01T09:20:00 result conforms"));
        ASSERT_TRUE(writeCertificatePdf(run, {}, t, {}, pdf).ok());
        const QString text = test::pdfText(pdf);
        EXPECT_FALSE(squeezed(text).contains(squeezed(labelOf(t.docNotMeasured))));
        if (span == "0.20") {
            // At 40 N.m: w_r, the four spans, w_ref, w_s; w, W and W′.
            EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral(
                "40\\.00 +0\\.007 +0\\.144 +0\\.144 +0\\.144 +0\\.144 +0\\.100 +0\\.000 +0\\.306 "
                "+0\\.61 +1\\.11"))));
            EXPECT_TRUE(squeezed(text).contains(squeezed(t.docRuleMet)));
        } else {
            EXPECT_TRUE(
                squeezed(text).contains(squeezed(t.docRuleFailed.arg(QStringLiteral("20 %")))));
        }
    }
}

// A run of a tool the lab's register holds names it as the register does, through its run file;
// a tool the register does not hold is said to have no maker, model or serial given.
TEST(Certificate, NamesTheToolAsTheRegisterDoesThroughItsRunFile) {
    const test::TempDir home;
    RegisteredTool registered;
    registered.id = "W-17";
    registered.maker = "Norbar";
    registered.model = "TTi 20";
    registered.serial = "SN-20-0042";
    registered.maximum = 20.0;
    registered.unit = "N.m";
    std::string error;
    ASSERT_TRUE(LabRegister(home.path() + "/").enter(registered, error)) << error;
    const ReportTexts t = builtInReportTexts(QStringLiteral("en_US"));
    for (const char* id : {"W-17", "W-18"}) {
        SCOPED_TRACE(id);
        verify::RunPlan plan;
        plan.tool.id = id;
        plan.tool.maximum = 20.0;
        plan.tool.unit = "N.m";
        plan.standard = "ISO 6789-1:2017";
        plan.points = {100.0};
        plan.readings = 1;
        plan.preloads = 0;
        EXPECT_EQ(takeToolIdentity(home.path() + "/", plan), "");
        const std::string path = home.file(std::string(id) + ".txt");
        std::optional<verify::RunFile> file = verify::RunFile::create(
            path, plan, verify::Reference{"/dev/ttyUSB0", 3, "", "0a1b", 50.0, 2, "P", "N.m"},
            1796116500, error);
        ASSERT_TRUE(file &&
                    file->append(1796116510, "reading 100 1 20.00 20.05 -0.25 conforms", error) &&
                    file->append(1796116511, "result conforms", error))
            << error;
        const std::string pdf = home.file("record.pdf");
        ASSERT_TRUE(writeCertificatePdf(path, {}, t, {}, pdf).ok());
        const QString printed = squeezed(test::pdfText(pdf));
        const bool held = std::string(id) == "W-17";
        for (const QString& expected :
             {t.docMaker.arg(held ? QStringLiteral("Norbar") : t.docNotGiven),
              t.docModel.arg(held ? QStringLiteral("TTi 20") : t.docNotGiven),
              t.docSerial.arg(held ? QStringLiteral("SN-20-0042") : t.docNotGiven)})
            EXPECT_TRUE(printed.contains(squeezed(expected))) << expected.toStdString();
    }
}

// A calibration cut down is no calibration certificate, and a run under no part of ISO 6789 is
// neither document; each falls short of what the standard's own profile holds.
TEST(Certificate, ACutDownCalibrationAndARunUnderNoPartAreRecords) {
    verify::RunPlan plan;
    plan.points = {20.0, 60.0, 100.0};
    plan.readings = 10;
    plan.standard = "ISO 6789-2:2017";
    EXPECT_EQ(documentKind(plan).kind, DocumentKind::Kind::Calibration);
    plan.readings = 5;
    const DocumentKind cut = documentKind(plan);
    EXPECT_EQ(cut.kind, DocumentKind::Kind::Record);
    ASSERT_TRUE(cut.shortfall);
    EXPECT_EQ(cut.shortfall->readingsAsked, 10);
    EXPECT_EQ(cut.shortfall->readings, 5);
    plan.standard = "ISO 6789-1:2017";
    EXPECT_EQ(documentKind(plan).kind, DocumentKind::Kind::Declaration);
    plan.standard = "works standard WS-12";
    EXPECT_EQ(documentKind(plan).kind, DocumentKind::Kind::Record);
    EXPECT_FALSE(documentKind(plan).shortfall);
}
