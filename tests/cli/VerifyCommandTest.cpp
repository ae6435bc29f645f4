#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <deque>

#include "CliRun.h"
#include "Files.h"
#include "PdfText.h"
#include "SimProcess.h"
#include "TempDir.h"

namespace vornex {
namespace {

// vornex-sim serving one instrument on a pty, its torque at rest at 0, range 100 N.m, two
// decimals, in "1P" with a first peak held half a second; driven through its standard input.
struct Simulator : test::SimProcess {
    // The held peak must outlast the longest pause between two polls on a loaded machine, or the
    // reading is taken from the falling curve.
    explicit Simulator(const QString& link)
        : SimProcess(QStringLiteral(VORNEX_SIM_PATH),
                     {"--link", link, "--slaves", "1", "--range", "100", "--value", "0",
                      "--decimals", "2", "--hold", "1.5"}) {
        ready = ready && command("keypad 1 measure 3") == "ok";
    }
};

// vornex-cli verify answered as an operator would: each preload with a pull to the maximum, each
// "apply" with the next pull of the list.
class Operator {
public:
    Operator(test::SimProcess& sim, const QStringList& args, double maximum)
        : sim_(sim), maximum_(maximum) {
        // The simulator's pulls rise in 100 ms: the profile takes them as the loading they are.
        const QString profile =
            args.value(args.indexOf("--home") + 1) + "/Profiles/ISO 6789-1 conformance.ini";
        if (args.contains("--home")) {
            QDir().mkpath(QFileInfo(profile).path());
            test::writeFile(profile,
                            "[Profile]\nName = ISO 6789-1 conformance\nStandard = ISO 6789-1:2017\n"
                            "Points = 20, 60, 100\nReadings = 5\nPreloads = 3\nLoadingMin = 0\n");
        }
        tool.start(QStringLiteral(VORNEX_CLI_PATH), QStringList{"verify"} + args);
    }

    // Answers prompts until the tool ends or `stopAt` is printed; false when it hangs.
    bool drive(std::deque<QString>& pulls, const QString& stopAt = {}) {
        for (;;) {
            while (!tool.canReadLine()) {
                if (tool.state() == QProcess::NotRunning)
                    return true;
                if (!tool.waitForReadyRead(20000) && tool.state() != QProcess::NotRunning)
                    return false;
            }
            const QString line = QString::fromUtf8(tool.readLine()).trimmed();
            lines << line;
            // The counter-clockwise series pulls the other way, preloads too.
            if (line.startsWith("direction "))
                sign_ = line == "direction counterclockwise" ? "-" : "";
            if (line.startsWith("preload "))
                sim_.command("pull 1 " + sign_ + QString::number(maximum_));
            if (line.startsWith("indicated? ") && !indications.empty()) {
                tool.write((indications.front() + "\n").toUtf8());
                indications.pop_front();
            }
            if (line == stopAt)
                return true;
            if (line.startsWith("apply ") && !pulls.empty()) {
                sim_.command(pulls.front());
                pulls.pop_front();
            }
        }
    }
    int exitCode() {
        tool.waitForFinished(20000);
        return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    }

    QProcess tool;
    QStringList lines;
    std::deque<QString> indications;  // typed, one per "indicated?"

private:
    test::SimProcess& sim_;
    const double maximum_;
    QString sign_;
};

// What a point's readings must print: each pull, then its reading line's value and deviation.
struct Expected {
    const char* pull;
    const char* reading;  // "" for a slip, which is repeated
    const char* deviation;
};

QStringList expectedLines(const QString& point, const QString& setting,
                          const std::vector<Expected>& readings, const QString& summary) {
    QStringList lines;
    int k = 1;
    for (const Expected& e : readings) {
        const QString at = point + " " + QString::number(k) + " " + setting;
        lines << "apply " + setting + " N.m point " + point + " reading " + QString::number(k) +
                     " of 5";
        if (QString(e.reading).isEmpty()) {
            lines << "slip " + at + " " + QString(e.pull).section(' ', 2) + ".00 repeated";
            continue;
        }
        lines << "reading " + at + " " + e.reading + " " + e.deviation + " conforms";
        ++k;
    }
    lines << "point " + point + " " + summary;
    return lines;
}

std::deque<QString> pullsOf(const std::vector<Expected>& readings) {
    std::deque<QString> pulls;
    for (const Expected& e : readings)
        pulls.push_back(e.pull);
    return pulls;
}

QString runFileText(const QString& home) {
    const QStringList days =
        QDir(home + "/Data/Verify").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (days.size() != 1)
        return {};
    const QDir day(home + "/Data/Verify/" + days.front());
    const QStringList files = day.entryList(QDir::Files);
    return files.size() == 1 ? QString::fromUtf8(test::readFile(day.filePath(files.front())))
                             : QString();
}

const std::vector<Expected> kPoint20 = {
    {"pull 1 16", "16.00", "+0.00"},   {"pull 1 16.3", "16.30", "-1.84"},
    {"pull 1 15.7", "15.70", "+1.91"}, {"slip 1 6", "", ""},
    {"pull 1 16.6", "16.60", "-3.61"}, {"pull 1 15.4", "15.40", "+3.90"},
};
const std::vector<Expected> kPoint60 = {
    {"pull 1 48", "48.00", "+0.00"},   {"pull 1 47", "47.00", "+2.13"},
    {"pull 1 49", "49.00", "-2.04"},   {"pull 1 46.2", "46.20", "+3.90"},
    {"pull 1 49.8", "49.80", "-3.61"},
};
const std::vector<Expected> kPoint100 = {
    {"pull 1 80", "80.00", "+0.00"}, {"pull 1 79", "79.00", "+1.27"},
    {"pull 1 81", "81.00", "-1.23"}, {"pull 1 77", "77.00", "+3.90"},
    {"pull 1 83", "83.00", "-3.61"},
};

// Two preloads, three points of five readings and a slip taken again, on a "1P" instrument:
// every reading is the first peak the instrument held, judged line by line.
TEST(VerifyCommand, AWholeRunPrintsEveryReadingItsDeviationAndTheResult) {
    test::TempDir dir;
    test::writeBytes(dir.file("config.ini"), "[Store]\nUri=postgresql:///r?host=/nonexistent\n");
    const QString link = dir.qFile("ttyVERIFY");
    Simulator sim(link);
    ASSERT_TRUE(sim.ready);
    // A registered tool, made with a registered reference as it is left after an adjustment.
    ASSERT_EQ(test::runCli({"register", "add-tool", "TW-80", "--class", "A", "--type", "II",
                            "--min", "16", "--max", "80", "--unit", "N.m", "--home", dir.qPath()})
                  .exitCode,
              0);
    ASSERT_EQ(test::runCli({"register", "add-reference", "REF-9", "--range", "100", "--unit", "N.m",
                            "--resolution", "0.01", "--uncertainty", "0.25", "--lowest", "10",
                            "--due", "2099-01-01", "--certificate", "C-77", "--home", dir.qPath()})
                  .exitCode,
              0);
    Operator op(sim, {"--port",        link,
                      "--reference",   "REF-9",
                      "--condition",   "as-left",
                      "--slave",       "1",
                      "--tool",        "TW-80",
                      "--max",         "80",
                      "--min",         "16",
                      "--preloads",    "2",
                      "--operator",    "Ann",
                      "--temperature", "22",
                      "--humidity",    "40",
                      "--home",        dir.qPath(),
                      "--csv",         dir.qFile("run.csv"),
                      "--pdf",         dir.qFile("certificate.pdf")},
                80);
    std::deque<QString> pulls = pullsOf(kPoint20);
    for (const auto* point : {&kPoint60, &kPoint100})
        for (const QString& p : pullsOf(*point))
            pulls.push_back(p);
    ASSERT_TRUE(op.drive(pulls)) << op.lines.join('\n').toStdString();
    const QString said = QString::fromUtf8(op.tool.readAllStandardError());
    EXPECT_EQ(op.exitCode(), 0) << said.toStdString();
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    EXPECT_TRUE(said.contains("tool TW-80 verified good: due " +
                              QDate::currentDate().addMonths(12).toString(Qt::ISODate)))
        << said.toStdString();
    EXPECT_TRUE(test::runCli({"register", "list", "--tools", "--home", dir.qPath()})
                    .out.endsWith(" in-service last " + today + "\n"));

    const QStringList expected =
        QStringList{"direction clockwise", "preload 1 of 2", "preload 2 of 2"} +
        expectedLines("20", "16.00", kPoint20, "mean 16.00 deviation +0.00 spread 1.20") +
        expectedLines("60", "48.00", kPoint60, "mean 48.00 deviation +0.00 spread 3.60") +
        expectedLines("100", "80.00", kPoint100, "mean 80.00 deviation +0.00 spread 6.00") +
        QStringList{"result conforms"};
    EXPECT_EQ(op.lines, expected);

    const QString file = runFileText(dir.qPath());
    EXPECT_TRUE(file.contains("\nOperator: Ann\n")) << file.toStdString();
    EXPECT_TRUE(file.contains("\nPermissible: 4\n"));
    EXPECT_TRUE(
        file.contains("\nReference due: 2099-01-01\nReference asset: REF-9\n"
                      "Reference certificate: C-77\nReference uncertainty: 0.25\n"
                      "Condition: as-left\n"))
        << file.toStdString();
    EXPECT_TRUE(file.contains("\nName: REF-9\n"));
    const QString certificate = test::pdfText(dir.file("certificate.pdf")).simplified();
    // pdftotext gives the "fi" of "certificate" as one ligature.
    EXPECT_TRUE(certificate.contains("Reference asset: REF-9, certi"));
    EXPECT_TRUE(certificate.contains("C-77, relative expanded uncertainty 0.25 % (k = 2)"))
        << certificate.toStdString();
    EXPECT_TRUE(certificate.contains("Condition of the tool: as left (after adjustment)"));
    EXPECT_TRUE(QRegularExpression("\nIdentification: [0-9a-f]+\n").match(file).hasMatch());
    EXPECT_EQ(file.count(" reading "), 15);
    EXPECT_TRUE(file.contains(" slip 20 4 16.00 6.00 repeated\n"));
    EXPECT_TRUE(file.endsWith(" result conforms\n"));
    // The ended run waits for the store.
    const QStringList waiting = QDir(dir.qFile("Outbox")).entryList(QDir::Files);
    ASSERT_EQ(waiting.size(), 1);
    EXPECT_TRUE(test::readFile(dir.qFile("Outbox/" + waiting[0])).startsWith("Kind=run\n"));
    EXPECT_EQ(QString::fromUtf8(test::readFile(dir.qFile("run.csv"))).count('\n'), 16);
    EXPECT_TRUE(test::readFile(dir.qFile("certificate.pdf")).startsWith("%PDF-"));
    EXPECT_TRUE(QString::fromUtf8(test::readFile(dir.qFile("Tools/TW-80.ini")))
                    .contains("Maximum = 80.000000"));
}

// A line pulled in the middle of a point, the tool stopped while it waits: --resume goes on at
// the next reading, the gap in the file, and a reading beyond the limit fails the tool.
TEST(VerifyCommand, ARunStoppedOnALostLineResumesAtTheNextReading) {
    test::TempDir dir;
    const QString link = dir.qFile("ttyRESUME");
    Simulator sim(link);
    ASSERT_TRUE(sim.ready);
    const QStringList where = {"--port", link, "--slave", "1", "--home", dir.qPath()};
    ASSERT_EQ(test::runCli({"register", "add-tool", "TR", "--class", "A", "--type", "II", "--min",
                            "0", "--max", "80", "--unit", "N.m", "--home", dir.qPath()})
                  .exitCode,
              0);
    std::deque<QString> pulls = {"pull 1 16", "pull 1 16.2", "pull 1 15.8", "pull 1 48"};
    Operator first(
        sim,
        where + QStringList{"--tool", "TR", "--max", "80", "--points", "20,60", "--readings", "3",
                            "--preloads", "0", "--temperature", "22", "--humidity", "40"},
        80);
    ASSERT_TRUE(first.drive(pulls, "apply 48.00 N.m point 60 reading 2 of 3"))
        << first.lines.join('\n').toStdString();
    ASSERT_EQ(sim.command("unplug"), "ok");
    ASSERT_TRUE(first.drive(pulls, "line lost"));
    ::kill(static_cast<pid_t>(first.tool.processId()), SIGINT);
    EXPECT_EQ(first.exitCode(), 2);
    const QString said = QString::fromUtf8(first.tool.readAllStandardError());
    const QString runFile = said.section("--resume ", 1).trimmed();
    ASSERT_FALSE(runFile.isEmpty()) << said.toStdString();
    ASSERT_TRUE(sim.command("replug").startsWith("ok"));

    const QByteArray stopped = test::readFile(runFile);
    for (const QString option : {"--pdf", "--csv"}) {
        Operator overwrite(sim, where + QStringList{"--resume", runFile, option, runFile}, 80);
        EXPECT_EQ(overwrite.exitCode(), 2) << option.toStdString();
        EXPECT_TRUE(
            overwrite.tool.readAllStandardError().contains("lies in the bench's own folder"));
        EXPECT_EQ(test::readFile(runFile), stopped);
    }

    pulls = {"pull 1 45", "pull 1 48"};
    Operator second(sim, where + QStringList{"--resume", runFile, "--pdf", dir.qFile("c.pdf")}, 80);
    ASSERT_TRUE(second.drive(pulls));
    EXPECT_EQ(second.exitCode(), 4);
    EXPECT_TRUE(test::readFile(runFile).contains(
        " tool TR overdue for its verification (never verified)\n"));
    // Its runs' pulls are its cycles; never verified good, it stays overdue.
    EXPECT_EQ(test::runCli({"register", "due", "--home", dir.qPath()}).out,
              "overdue tool TR - 6/5000\n");
    // Found out of tolerance as it came in: its interval halved is proposed, nothing entered.
    EXPECT_TRUE(second.tool.readAllStandardError().contains(
        "tool TR found out of tolerance: its interval may be halved (register add-tool TR ... "
        "--interval-months 6 --interval-cycles 2500); what it touched: register impact --tool TR"));
    EXPECT_EQ(
        second.lines,
        QStringList(
            {"apply 48.00 N.m point 60 reading 2 of 3", "reading 60 2 48.00 45.00 +6.67 exceeds",
             "apply 48.00 N.m point 60 reading 3 of 3", "reading 60 3 48.00 48.00 +0.00 conforms",
             "point 60 mean 47.00 deviation +2.13 spread 3.00", "result does-not-conform"}));
    // Never known good, everything it touched is listed: the one run, unsigned, failed.
    const QStringList touched =
        test::runCli({"register", "impact", "--tool", "TR", "--home", dir.qPath()}).outLines();
    ASSERT_EQ(touched.size(), 1);
    EXPECT_TRUE(touched[0].startsWith("run " + runFile + " ")) << touched[0].toStdString();
    EXPECT_TRUE(touched[0].endsWith(" - fail")) << touched[0].toStdString();
    const QString file = QString::fromUtf8(test::readFile(runFile));
    QStringList readings;
    for (const QString& line : file.split('\n')) {
        if (line.section(' ', 1, 1) == "reading")
            readings << line.section(' ', 2, 3);
    }
    EXPECT_EQ(readings, QStringList({"20 1", "20 2", "20 3", "60 1", "60 2", "60 3"}));
    EXPECT_TRUE(file.contains(" line lost\n"));
    EXPECT_TRUE(file.contains(" interrupted\n"));
    EXPECT_TRUE(file.contains(" resumed after a gap since "));
    EXPECT_TRUE(test::readFile(dir.qFile("c.pdf")).startsWith("%PDF-"));
}

// The tool's lines until one starts with `prefix`; empty when the tool ends or hangs first.
QString until(Operator& op, const QString& prefix) {
    for (;;) {
        while (!op.tool.canReadLine()) {
            if (op.tool.state() == QProcess::NotRunning || !op.tool.waitForReadyRead(20000))
                return {};
        }
        const QString line = QString::fromUtf8(op.tool.readLine()).trimmed();
        op.lines << line;
        if (line.startsWith(prefix))
            return line;
    }
}

QString runFileOf(Operator& op) {
    return QString::fromUtf8(op.tool.readAllStandardError())
        .section("run file ", 1)
        .section('\n', 0, 0);
}

const QStringList kConditions = {"--temperature", "22", "--humidity", "40"};

// A run held by the tool that goes on with it is taken up by no other, and a run goes on only
// on the instrument it began on.
TEST(VerifyCommand, ARunResumesOnlyOnceAtATimeAndOnlyOnItsOwnInstrument) {
    test::TempDir dir;
    const QString link = dir.qFile("ttyONCE");
    Simulator sim(link);
    ASSERT_TRUE(sim.ready);
    const QStringList where = {"--port", link, "--slave", "1", "--home", dir.qPath()};
    std::deque<QString> pulls = {"pull 1 16"};
    Operator begun(sim,
                   where + kConditions +
                       QStringList{"--tool", "T2", "--max", "80", "--points", "20,60", "--readings",
                                   "2", "--preloads", "0"},
                   80);
    ASSERT_TRUE(begun.drive(pulls, "apply 16.00 N.m point 20 reading 2 of 2"));
    const QString runFile = runFileOf(begun);
    ::kill(static_cast<pid_t>(begun.tool.processId()), SIGKILL);
    begun.exitCode();
    ASSERT_FALSE(runFile.isEmpty());

    Operator first(sim, where + QStringList{"--resume", runFile}, 80);
    ASSERT_FALSE(until(first, "apply 16.00 N.m point 20 reading 2 of 2").isEmpty());
    const QByteArray held = test::readFile(runFile);
    const test::CliRun second =
        test::runCli(QStringList{"verify"} + where + QStringList{"--resume", runFile});
    EXPECT_EQ(second.exitCode, 2);
    EXPECT_TRUE(second.err.contains("is being run by another verification"))
        << second.err.toStdString();
    EXPECT_EQ(test::readFile(runFile), held);
    ::kill(static_cast<pid_t>(first.tool.processId()), SIGINT);
    EXPECT_EQ(first.exitCode(), 2);

    const QString otherLink = dir.qFile("ttyOTHER");
    test::SimProcess other(
        QStringLiteral(VORNEX_SIM_PATH),
        {"--link", otherLink, "--slaves", "7", "--range", "50", "--value", "0", "--decimals", "2"});
    ASSERT_TRUE(other.ready);
    const QByteArray stopped = test::readFile(runFile);
    const test::CliRun elsewhere = test::runCli({"verify", "--port", otherLink, "--slave", "7",
                                                 "--home", dir.qPath(), "--resume", runFile});
    EXPECT_EQ(elsewhere.exitCode, 2);
    EXPECT_TRUE(elsewhere.err.contains("this instrument differs: port " + otherLink))
        << elsewhere.err.toStdString();
    EXPECT_TRUE(elsewhere.err.contains("address 7 (run: 1), range 50 N.m (run: 100 N.m)"));
    EXPECT_EQ(test::readFile(runFile), stopped);
}

// Only what the reference held is a reading; an instrument that changes or falls silent under
// the run gives none until it is back, and each is said and recorded.
TEST(VerifyCommand, OnlyHeldPeaksOfTheUnchangedAnsweringInstrumentAreReadings) {
    test::TempDir dir;
    const QString link = dir.qFile("ttyHELD");
    test::SimProcess sim(QStringLiteral(VORNEX_SIM_PATH),
                         {"--link", link, "--slaves", "1", "--range", "500", "--value", "0",
                          "--decimals", "2", "--hold", "1.5"});
    ASSERT_TRUE(sim.ready);
    ASSERT_EQ(sim.command("keypad 1 measure 3"), "ok");
    const QStringList where =
        QStringList{"--port", link,   "--slave", "1",   "--home",     dir.qPath(),
                    "--tool", "T100", "--max",   "100", "--preloads", "0"} +
        kConditions;
    // 20 N.m lies below this reference's first-peak threshold (25 N.m): it never holds it.
    {
        std::deque<QString> pulls;
        Operator low(sim, where + QStringList{"--points", "20", "--readings", "1"}, 100);
        for (int i = 0; i < 2; ++i) {
            ASSERT_FALSE(until(low, "apply 20.00 N.m point 20 reading 1 of 1").isEmpty());
            sim.command("pull 1 20.5");
            EXPECT_TRUE(until(low, "not held 20 1 20.00 ").startsWith("not held 20 1 20.00 "));
        }
        ASSERT_FALSE(until(low, "apply 20.00 N.m point 20 reading 1 of 1").isEmpty());
        ::kill(static_cast<pid_t>(low.tool.processId()), SIGINT);
        EXPECT_EQ(low.exitCode(), 2);
        EXPECT_TRUE(low.tool.readAllStandardError().contains("first-peak threshold"));
        EXPECT_FALSE(low.lines.join('\n').contains("reading 20 1"));
    }
    Operator op(sim, where + QStringList{"--points", "60", "--readings", "2"}, 100);
    ASSERT_FALSE(until(op, "apply 60.00 N.m point 60 reading 1 of 2").isEmpty())
        << op.lines.join('\n').toStdString() << "\n"
        << op.tool.readAllStandardError().toStdString();
    ASSERT_EQ(sim.command("keypad 1 unit 2"), "ok");
    EXPECT_EQ(until(op, "instrument "), "instrument changed unit N.m kgf.cm");
    sim.command("pull 1 611.83");
    ASSERT_EQ(sim.command("keypad 1 unit 1"), "ok");
    EXPECT_EQ(until(op, "instrument "), "instrument restored");
    ASSERT_FALSE(until(op, "apply 60.00 N.m point 60 reading 1 of 2").isEmpty());
    sim.command("pull 1 60");
    EXPECT_EQ(until(op, "reading "), "reading 60 1 60.00 60.00 +0.00 conforms");
    ASSERT_FALSE(until(op, "apply 60.00 N.m point 60 reading 2 of 2").isEmpty());
    ASSERT_EQ(sim.command("silent 1 on"), "ok");
    EXPECT_TRUE(until(op, "slave 1: ").startsWith("slave 1: not answering since "));
    ASSERT_EQ(sim.command("silent 1 off"), "ok");
    EXPECT_EQ(until(op, "slave 1: "), "slave 1: answering again");
    ASSERT_FALSE(until(op, "apply 60.00 N.m point 60 reading 2 of 2").isEmpty());
    ASSERT_EQ(sim.command("keypad 1 measure 1"), "ok");
    EXPECT_EQ(until(op, "instrument "), "instrument changed mode 1P T");
    ASSERT_EQ(sim.command("keypad 1 measure 3"), "ok");
    EXPECT_EQ(until(op, "instrument "), "instrument restored");
    ASSERT_FALSE(until(op, "apply 60.00 N.m point 60 reading 2 of 2").isEmpty());
    sim.command("pull 1 60.3");
    EXPECT_EQ(until(op, "result "), "result conforms");
    EXPECT_EQ(op.exitCode(), 0);
    EXPECT_EQ(op.lines.filter(QRegularExpression("^reading ")).size(), 2);
    const QString file = QString::fromUtf8(test::readFile(runFileOf(op)));
    for (const char* recorded : {" instrument changed unit N.m kgf.cm\n", " instrument restored\n",
                                 " slave 1: answering again\n", " instrument changed mode 1P T\n"})
        EXPECT_TRUE(file.contains(recorded)) << recorded;
}

// Outputs and inputs are settled before the run: nothing of the bench's own is written over, no
// run starts without its conditions or with an overdue reference unless a reason is given, and
// a file that is no run file is refused at once.
TEST(VerifyCommand, OutputsConditionsAndTheReferenceAreSettledBeforeTheRun) {
    test::TempDir dir;
    const QString link = dir.qFile("ttyBEFORE");
    Simulator sim(link);
    ASSERT_TRUE(sim.ready);
    const QStringList run = QStringList{
        "--port", link, "--slave",  "1",   "--home",     dir.qPath(), "--tool",     "T9",
        "--max",  "80", "--points", "100", "--readings", "1",         "--preloads", "0"};
    QDir().mkpath(dir.qFile("Tools"));
    test::writeFile(dir.qFile("Tools/T100.ini"), "[Tool]\nMaximum = 100\n");
    for (const QStringList& output : {QStringList{"--pdf", dir.qFile("Tools/T100.ini")},
                                      QStringList{"--csv", dir.qFile("config.ini")},
                                      QStringList{"--pdf", dir.qFile("missing/c.pdf")}}) {
        const test::CliRun refused =
            test::runCli(QStringList{"verify"} + run + kConditions + output);
        EXPECT_EQ(refused.exitCode, 2) << output.join(' ').toStdString();
        EXPECT_FALSE(refused.err.contains("run file")) << refused.err.toStdString();
    }
    EXPECT_EQ(test::readFile(dir.qFile("Tools/T100.ini")), "[Tool]\nMaximum = 100\n");
    const test::CliRun unconditioned = test::runCli(QStringList{"verify"} + run);
    EXPECT_EQ(unconditioned.exitCode, 1);
    EXPECT_TRUE(unconditioned.err.contains("give --temperature C and --humidity %"));

    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    for (const QString& notRun : {dir.qFile("fifo"), dir.qPath()}) {
        const test::CliRun refused = test::runCli(
            {"verify", "--port", link, "--slave", "1", "--home", dir.qPath(), "--resume", notRun});
        EXPECT_EQ(refused.exitCode, 2);
        EXPECT_FALSE(refused.err.contains("no Tool in the header")) << refused.err.toStdString();
    }

    // A reference that cannot tell a good tool from a bad one is refused, naming the check: a
    // 1.5 % reference for a 4 % wrench, and 0.01 N.m steps for a 2 N.m tool's 0.4 N.m point.
    const test::CliRun uncertain = test::runCli(QStringList{"verify"} + run + kConditions +
                                                QStringList{"--uncertainty", "1.5"});
    EXPECT_EQ(uncertain.exitCode, 2);
    EXPECT_TRUE(
        uncertain.err.contains("the reference's uncertainty of 1.5 % exceeds 1 %, a "
                               "quarter of the permissible deviation"))
        << uncertain.err.toStdString();
    const test::CliRun coarse = test::runCli(
        QStringList{"verify", "--port", link, "--slave", "1", "--home", dir.qPath(), "--tool", "T2",
                    "--max", "2", "--points", "20", "--readings", "1", "--preloads", "0"} +
        kConditions);
    EXPECT_EQ(coarse.exitCode, 2);
    EXPECT_TRUE(
        coarse.err.contains("the reference's step of 0.01 N.m exceeds 0.006 N.m, a "
                            "quarter of the permissible deviation at 0.4 N.m"))
        << coarse.err.toStdString();

    test::writeFile(dir.qFile("config.ini"), "[CalibrationDue]\n56ff5658542d35303020=2020-01-01\n");
    const test::CliRun overdue = test::runCli(QStringList{"verify"} + run + kConditions);
    EXPECT_EQ(overdue.exitCode, 2);
    EXPECT_TRUE(overdue.err.contains("was due 2020-01-01")) << overdue.err.toStdString();
    EXPECT_TRUE(
        overdue.err.contains("kept for every instrument reporting identification "
                             "56ff5658542d35303020, not for this one"));
    std::deque<QString> pulls = {"pull 1 80"};
    Operator confirmed(sim, run + kConditions + QStringList{"--overdue-reason", "the only one"},
                       80);
    ASSERT_TRUE(confirmed.drive(pulls));
    EXPECT_EQ(confirmed.exitCode(), 0);
    EXPECT_TRUE(
        runFileText(dir.qPath())
            .contains(" confirmed reference calibration overdue since 2020-01-01: the only one\n"));
}

// A tool used both ways: the clockwise series, then the counter-clockwise one with its negative
// torque taken as its magnitude, each summed up; a pull the wrong way is said and asked again.
TEST(VerifyCommand, BothDirectionsAreTakenInTurnAndEachIsJudged) {
    test::TempDir dir;
    const QString link = dir.qFile("ttyVERIFY");
    Simulator sim(link);
    ASSERT_TRUE(sim.ready);
    QDir().mkpath(dir.qFile("Tools"));
    test::writeFile(dir.qFile("Tools/TB.ini"), "[Tool]\nMaximum = 80\nDirection = both\n");
    Operator op(
        sim,
        {"--port", link, "--slave", "1", "--tool", "TB", "--points", "100", "--readings", "2",
         "--preloads", "1", "--home", dir.qPath(), "--temperature", "22", "--humidity", "40"},
        80);
    std::deque<QString> pulls = {"pull 1 80", "pull 1 79", "pull 1 80", "pull 1 -80", "pull 1 -81"};
    ASSERT_TRUE(op.drive(pulls)) << op.lines.join('\n').toStdString();
    EXPECT_EQ(op.exitCode(), 0);
    const QString apply = "apply 80.00 N.m point 100 reading %1 of 2";
    EXPECT_EQ(op.lines,
              (QStringList{"direction clockwise", "preload 1 of 1", apply.arg(1),
                           "reading 100 1 80.00 80.00 +0.00 conforms", apply.arg(2),
                           "reading 100 2 80.00 79.00 +1.27 conforms",
                           "point 100 mean 79.50 deviation +0.63 spread 1.00",
                           "direction counterclockwise", "preload 1 of 1", apply.arg(1),
                           "not counterclockwise 100 1 80.00 80.00", apply.arg(1),
                           "reading 100 1 80.00 80.00 +0.00 conforms", apply.arg(2),
                           "reading 100 2 80.00 81.00 -1.23 conforms",
                           "point 100 mean 80.50 deviation -0.62 spread 1.00", "result conforms"}));
}

// An indicating tool at a lowest marked value above 20 %: the run starts at it, and each pull's
// indication is typed in (a word asked again), judged against the indicating tools' classes.
TEST(VerifyCommand, AnIndicatingToolIsJudgedByTheIndicationsTyped) {
    test::TempDir dir;
    const QString link = dir.qFile("ttyVERIFY");
    Simulator sim(link);
    ASSERT_TRUE(sim.ready);
    Operator op(sim, {"--port",     link, "--slave",      "1",         "--tool",        "TI",
                      "--type",     "I",  "--resolution", "0.1",       "--max",         "80",
                      "--min",      "40", "--points",     "20,100",    "--readings",    "2",
                      "--preloads", "0",  "--home",       dir.qPath(), "--temperature", "22",
                      "--humidity", "40"},
                80);
    op.indications = {"40.4", "39.6", "80.4", "eighty", "79.2"};
    std::deque<QString> pulls = {"pull 1 40", "pull 1 40", "pull 1 80", "pull 1 80"};
    ASSERT_TRUE(op.drive(pulls)) << op.lines.join('\n').toStdString();
    EXPECT_EQ(op.exitCode(), 0);
    const QStringList point100{"apply 80.00 N.m point 100 reading 1 of 2",
                               "indicated? 100 1",
                               "reading 100 1 80.40 80.00 +0.50 conforms",
                               "apply 80.00 N.m point 100 reading 2 of 2",
                               "indicated? 100 2",
                               "indicated? 100 2",
                               "reading 100 2 79.20 80.00 -1.00 conforms",
                               "point 100 mean 80.00 deviation -0.25 spread 0.00",
                               "result conforms"};
    EXPECT_EQ(op.lines.mid(op.lines.size() - point100.size()), point100)
        << op.lines.join('\n').toStdString();
    EXPECT_TRUE(op.lines.contains("apply 40.00 N.m point 50 reading 1 of 2"));
    EXPECT_TRUE(
        QString::fromUtf8(op.tool.readAllStandardError()).contains("\"eighty\" is no indication"));
    const QString file = runFileText(dir.qPath());
    EXPECT_TRUE(file.contains("\nType: I\n") && file.contains("\nPermissible: 6\n") &&
                file.contains("\nResolution: 0.1\n"))
        << file.toStdString();
}

// A calibration measures its sub-tests after its readings and keeps their contributions with the
// tool; the tool's next calibration within the profile's months takes them from the register and
// measures none, and both state each point's W and W'.
TEST(VerifyCommand, ACalibrationsSubtestsAreMeasuredOnceAndKeptWithTheTool) {
    test::TempDir dir;
    const QString link = dir.qFile("ttyVERIFY");
    Simulator sim(link);
    ASSERT_TRUE(sim.ready);
    const QString profile = dir.qFile("calibration.ini");
    test::writeFile(profile,
                    "[Profile]\nName = quick calibration\nStandard = ISO 6789-2:2017\n"
                    "Points = 20\nReadings = 2\nPreloads = 0\nLoadingMin = 0\n"
                    "Reproducibility = 2, 1\nOutputDrive = 2, 1\nInterface = 2, 1\n"
                    "LoadingPoint = 2, 1\nSubtestsValidMonths = 12\n");
    const QStringList args{"--port",        link,    "--slave",       "1",
                           "--tool",        "TC",    "--max",         "100",
                           "--profile",     profile, "--home",        dir.qPath(),
                           "--temperature", "22",    "--humidity",    "40",
                           "--resolution",  "0.1",   "--uncertainty", "0.2"};
    Operator first(sim, args, 100);
    std::deque<QString> pulls = {"pull 1 20.2", "pull 1 19.9", "pull 1 20", "pull 1 19.7",
                                 "pull 1 20",   "pull 1 20.5", "pull 1 20", "pull 1 20.1",
                                 "pull 1 20",   "pull 1 19.6"};
    ASSERT_TRUE(first.drive(pulls)) << first.lines.join('\n').toStdString();
    EXPECT_EQ(first.exitCode(), 0) << first.lines.join('\n').toStdString();
    for (const char* line :
         {"series interface 2 of 2: change to interface 2",
          "apply 20.00 N.m series loading-point 2 reading 1 of 1",
          "contribution reproducibility 0.30 N.m", "contribution output-drive 0.50 N.m",
          "contribution interface 0.10 N.m", "contribution loading-point 0.40 N.m"})
        EXPECT_TRUE(first.lines.contains(line)) << line;
    ASSERT_GE(first.lines.size(), 2);
    const QString uncertainty = first.lines[first.lines.size() - 2];
    EXPECT_TRUE(uncertainty.startsWith("uncertainty 20 ")) << uncertainty.toStdString();
    const QString kept = QString::fromUtf8(test::readFile(dir.qFile("Register/Contributions.tsv")));
    EXPECT_TRUE(kept.contains("\nTC\t" + QDate::currentDate().toString(Qt::ISODate) +
                              "\t0.3\t0.5\t0.1\t0.4\tN.m\t"))
        << kept.toStdString();

    Operator second(sim, args, 100);
    pulls = {"pull 1 20.2", "pull 1 19.9"};
    ASSERT_TRUE(second.drive(pulls)) << second.lines.join('\n').toStdString();
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(second.lines.filter("series ").size(), 0) << second.lines.join('\n').toStdString();
    ASSERT_GE(second.lines.size(), 2);
    EXPECT_EQ(second.lines[second.lines.size() - 2], uncertainty);
    EXPECT_TRUE(QString::fromUtf8(second.tool.readAllStandardError())
                    .contains("the sub-tests' contributions of " +
                              QDate::currentDate().toString(Qt::ISODate) + " in "));
}

}  // namespace
}  // namespace vornex
