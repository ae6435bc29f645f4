// vornex-cli verify on a tool record it cannot read: refused before any port is opened.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "CliRun.h"
#include "Files.h"
#include "TempDir.h"

namespace vornex {
namespace {

// The record is the lab's to mend: the run is refused naming the file, the line and the key, and
// the record is neither taken in part nor written back; a FIFO in its place is not waited on.
TEST(ToolRecordCommand, AnUnreadableRecordRefusesTheRunAndIsLeftAsItIs) {
    const test::TempDir dir;
    const std::string tools = dir.folder("Tools");
    const std::string record = "[Tool]\nLowest = 25,0\nMaximum = 100\nUnit = N.m\n";
    test::writeBytes(tools + "T100.ini", record);
    ASSERT_EQ(::mkfifo((tools + "FIFO.ini").c_str(), 0600), 0);
    const struct {
        const char* tool;
        const char* said;
    } cases[] = {
        {"T100", "T100.ini line 2: Lowest \"25,0\" is no number"},
        {"FIFO", "FIFO.ini is not a regular file"},
    };
    for (const auto& c : cases) {
        const test::CliRun refused =
            test::runCli({"verify", "--port", dir.qFile("no-port"), "--slave", "1", "--tool",
                          c.tool, "--home", dir.qPath()});
        EXPECT_EQ(refused.exitCode, 2) << c.tool;
        EXPECT_TRUE(refused.err.contains(QString::fromUtf8(c.said))) << refused.err.toStdString();
    }
    EXPECT_EQ(test::readBytes(tools + "T100.ini"), record);
    EXPECT_FALSE(test::pathExists(dir.file("Data/Verify")));
}

}  // namespace
}  // namespace vornex
