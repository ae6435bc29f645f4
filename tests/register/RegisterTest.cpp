// The lab's register: when a tool or reference falls due, entries kept per asset, the tool
// records of a home folder taken in once, and the tool's register and due commands.
#include <gtest/gtest.h>

#include <QDate>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "CliRun.h"
#include "Files.h"
#include "TempDir.h"
#include "register/DueDates.h"
#include "register/LabRegister.h"
#include "register/ToolContributions.h"

namespace vornex {
namespace {

using test::CliRun;
using test::runCli;
using test::TempDir;

RegisteredTool toolVerifiedOn(const char* day) {
    RegisteredTool tool;
    tool.id = "W-17";
    tool.maximum = 20.0;
    tool.unit = "N.m";
    tool.lastGood = day;
    return tool;
}

// 12 months or 5000 cycles from 2026-01-01, due soon within 30 days: the year's last day and the
// 4999th pull still count, the next day or pull does not; a tool never verified is overdue.
TEST(DueDates, ATableOfDaysAndCycles) {
    const RegisteredTool tool = toolVerifiedOn("2026-01-01");
    const QDate start(2026, 1, 1);
    struct Row {
        int day;
        long pulls;
        DueState state;
    };
    for (const Row& row : {Row{100, 0, DueState::Ok}, Row{334, 0, DueState::Ok},
                           Row{335, 0, DueState::DueSoon}, Row{365, 4999, DueState::DueSoon},
                           Row{366, 0, DueState::Overdue}, Row{200, 5000, DueState::Overdue},
                           // 4000 pulls in 100 days: 1200 more by the end of the lead time.
                           Row{100, 4000, DueState::DueSoon}, Row{100, 3000, DueState::Ok}}) {
        const Due due = toolDue(tool, row.pulls, start.addDays(row.day));
        EXPECT_EQ(due.state, row.state) << "day " << row.day << " pulls " << row.pulls;
        EXPECT_EQ(due.date, QDate(2027, 1, 1));
    }
    EXPECT_EQ(toolDue(toolVerifiedOn(""), 0, start).state, DueState::Overdue);
    RegisteredTool byCycles = tool;
    byCycles.intervalMonths.reset();
    EXPECT_EQ(toolDue(byCycles, 10, start.addYears(5)).state, DueState::Ok);
    RegisteredReference reference;
    reference.due = "2020-01-01";
    EXPECT_EQ(referenceDue(reference, QDate(2026, 12, 8)).state, DueState::Overdue);
    EXPECT_EQ(referenceDue(reference, QDate(2020, 1, 1)).state, DueState::DueSoon);
}

// Three instruments of one model are three assets with three due dates; an entry made again is
// the asset's new state, its first line kept; a tool record of Tools/ is taken in once.
TEST(LabRegisterTest, EachAssetKeepsItsOwnStateAndHistory) {
    TempDir home;
    const LabRegister lab(home.path() + "/");
    std::string error;
    for (const char* due : {"2027-03-01", "2027-04-01", "2027-05-01", "2027-06-01"}) {
        RegisteredReference r;
        r.asset = std::string("REF-") + due[6];
        r.model = "VT-500";
        r.range = 500;
        r.due = due;
        ASSERT_TRUE(lab.enter(r, error)) << error;
    }
    RegisteredReference moved;
    moved.asset = "REF-3";
    moved.due = "2028-03-01";
    ASSERT_TRUE(lab.enter(moved, error));
    std::vector<RegisteredReference> all;
    ASSERT_TRUE(lab.references(all, error));
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0].due, "2028-03-01");
    EXPECT_EQ(all[1].due, "2027-04-01");
    EXPECT_EQ(all[2].due, "2027-05-01");
    const std::string lines = test::readBytes(lab.referencesPath());
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 6);
    moved.due = "2028-02-30";
    EXPECT_FALSE(lab.enter(moved, error));

    std::filesystem::create_directories(home.file("Tools"));
    test::writeBytes(home.file("Tools/T1.ini"),
                     "[Tool]\nType = II\nClass = A\nMaximum = 20\nUnit = N.m\n");
    EXPECT_EQ(lab.takeToolFolder(error), 1);
    EXPECT_EQ(lab.takeToolFolder(error), 0);
    const std::optional<RegisteredTool> taken = lab.tool("T1", error);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->intervalMonths, 12);
    EXPECT_EQ(taken->intervalCycles, 5000);
}

// The tool's commands: entries as the lab gives them, what is due with exit 5 while something is
// overdue, and a verification with an overdue reference refused before the line is opened.
// A tool's sub-test contributions: the latest measurement of that tool is what a later
// calibration may take, while its profile's months hold it valid.
TEST(LabRegisterTest, AToolsLatestContributionsStandWhileValid) {
    TempDir home;
    const std::string dir = home.path() + "/";
    std::string error;
    EXPECT_FALSE(latestContributions(dir, "W-17", error));
    EXPECT_EQ(error, "");
    MeasuredContributions older{"W-17", "2026-01-10", {5.8, 4.5, 5.3, 3.8}, "N.m", "a.txt"};
    MeasuredContributions other{"W-18", "2026-06-01", {1.0, 1.0, 1.0, 1.0}, "N.m", "b.txt"};
    MeasuredContributions newer{
        "W-17", "2026-05-02", {0.6, std::nullopt, 0.5, 0.3}, "N.m", "c.txt"};
    for (const MeasuredContributions& m : {older, other, newer})
        ASSERT_TRUE(enterContributions(dir, m, error)) << error;
    const std::optional<MeasuredContributions> latest = latestContributions(dir, "W-17", error);
    ASSERT_TRUE(latest) << error;
    EXPECT_EQ(latest->date, "2026-05-02");
    EXPECT_EQ(latest->contributions.reproducibility, 0.6);
    EXPECT_FALSE(latest->contributions.outputDrive);
    EXPECT_EQ(latest->run, "c.txt");
    EXPECT_TRUE(contributionsValid(*latest, 12, QDate(2027, 5, 2)));
    EXPECT_FALSE(contributionsValid(*latest, 12, QDate(2027, 5, 3)));
    EXPECT_FALSE(contributionsValid(*latest, 0, QDate(2026, 5, 2)));
}

TEST(RegisterCommand, EntersListsTellsWhatIsDueAndRefusesAnOverdueReference) {
    TempDir home;
    const QString h = home.qPath();
    const QString last = QDate::currentDate().addMonths(-12).addDays(10).toString(Qt::ISODate);
    EXPECT_EQ(runCli({"register", "add-tool", "W-17", "--class", "A", "--type", "II", "--min", "4",
                      "--max", "20", "--unit", "N.m", "--last", last, "--home", h})
                  .out,
              "tool W-17\n");
    EXPECT_EQ(runCli({"register", "add-tool", "W-18", "--class", "A", "--type", "III", "--min", "4",
                      "--max", "20", "--unit", "N.m", "--home", h})
                  .exitCode,
              1);
    const CliRun due = runCli({"register", "due", "--home", h});
    EXPECT_EQ(due.exitCode, 0) << due.err.toStdString();
    EXPECT_EQ(due.out, "due-soon tool W-17 " +
                           QDate::currentDate().addDays(10).toString(Qt::ISODate) + " 0/5000\n");
    EXPECT_EQ(runCli({"register", "add-reference", "REF-1", "--range", "500", "--unit", "N.m",
                      "--resolution", "0.01", "--uncertainty", "0.2", "--lowest", "10", "--due",
                      "2020-01-01", "--home", h})
                  .out,
              "reference REF-1\n");
    const CliRun overdue = runCli({"register", "due", "--home", h});
    EXPECT_EQ(overdue.exitCode, 5);
    EXPECT_TRUE(overdue.out.endsWith("overdue reference REF-1 2020-01-01 -\n"));
    EXPECT_EQ(runCli({"register", "list", "--references", "--home", h}).out,
              "reference REF-1 range 500 N.m resolution 0.01 uncertainty 0.2 % lowest 10 due "
              "2020-01-01 certificate -\n");

    const CliRun refused = runCli({"verify", "--port", "/dev/null", "--slave", "1", "--tool",
                                   "W-17", "--max", "20", "--unit", "N.m", "--temperature", "21",
                                   "--humidity", "40", "--reference", "REF-1", "--home", h});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.err.contains("reference REF-1 overdue since 2020-01-01"))
        << refused.err.toStdString();
}

}  // namespace
}  // namespace vornex
