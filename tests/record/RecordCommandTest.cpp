#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "CliRun.h"
#include "RecordTestSupport.h"
#include "sim/SimulatedLine.h"

namespace vornex {
namespace {

using test::CliRun;
using test::runCli;
using testing::readBytes;
using testing::readRecords;
using testing::TempHome;

class RecordCommand : public ::testing::Test {
protected:
    void SetUp() override {
        sim::SimConfig config;
        for (int address : {1, 2}) {
            sim::InstrumentConfig instrument;
            instrument.address = address;
            config.instruments.push_back(instrument);
        }
        line_ = std::make_unique<sim::SimulatedLine>(config);
        std::string error;
        ASSERT_TRUE(line_->startPty(home_.root() + "/line", error)) << error;
    }

    CliRun record(const QString& name) {
        return runCli({"record", "--port", QString::fromStdString(line_->portPath()), "--slaves",
                       "1,2", "--test", name, "--seconds", "1", "--home",
                       QString::fromStdString(home_.root())});
    }

    TempHome home_;
    std::unique_ptr<sim::SimulatedLine> line_;
};

TEST_F(RecordCommand, PrintedCountsMatchTheFileAndItsExport) {
    const CliRun run = record("bench");
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    std::istringstream out(run.out.toStdString());
    std::string path;
    std::getline(out, path);
    const std::string counts((std::istreambuf_iterator<char>(out)), {});

    const auto records = readRecords(path);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(readBytes(path).size() % 24, 0u);
    size_t perSlave[3] = {};
    for (const CurvePoint& p : records) {
        ASSERT_TRUE(p.slave == 1 || p.slave == 2);
        ++perSlave[p.slave];
    }
    std::ostringstream expected;
    expected << "slave 1: " << perSlave[1] << "\nslave 2: " << perSlave[2]
             << "\ntotal: " << records.size() << "\n";
    EXPECT_EQ(counts, expected.str());
    EXPECT_EQ(runCli({"count", QString::fromStdString(path)}).out.toStdString(), expected.str());

    const std::string csv = home_.root() + "/out.csv";
    ASSERT_EQ(runCli({"export", QString::fromStdString(path), "--csv", QString::fromStdString(csv)})
                  .exitCode,
              0);
    std::istringstream lines(readBytes(csv));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "time,value,slave");
    for (const CurvePoint& p : records) {
        ASSERT_TRUE(std::getline(lines, line));
        char* end = nullptr;
        EXPECT_EQ(std::strtod(line.c_str(), &end), p.time);
        EXPECT_EQ(std::strtod(end + 1, &end), p.value);
        EXPECT_EQ(std::strtol(end + 1, nullptr, 10), p.slave);
    }
    EXPECT_FALSE(std::getline(lines, line));
}

TEST_F(RecordCommand, TakenOrEscapingNamesAreRefusedWithoutWriting) {
    ASSERT_EQ(record("once").exitCode, 0);
    std::string file;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(home_.data())) {
        if (entry.path().filename() == "once.pdat")
            file = entry.path();
    }
    ASSERT_FALSE(file.empty());
    const std::string before = readBytes(file);

    const CliRun again = record("once");
    EXPECT_EQ(again.exitCode, 2);
    EXPECT_TRUE(again.err.contains(QString::fromUtf8("提示:文件已存在！")));
    EXPECT_EQ(readBytes(file), before);

    EXPECT_EQ(record("../escaped").exitCode, 2);
    EXPECT_EQ(record("..").exitCode, 2);
    EXPECT_FALSE(std::filesystem::exists(home_.root() + "/Data/escaped.pdat"));
    size_t entries = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(home_.root())) {
        entries += entry.path().extension() == ".pdat";
    }
    EXPECT_EQ(entries, 1u);
}

}  // namespace
}  // namespace vornex
