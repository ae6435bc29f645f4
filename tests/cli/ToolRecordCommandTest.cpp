// vornex-cli verify on a tool record it cannot read: refused before any port is opened.
#include <gtest/gtest.h>

#include "CliRun.h"
#include "Files.h"
#include "TempDir.h"

namespace vornex {
namespace {

// The record is the lab's to mend: the run is refused naming the file, the line and the key, and
// the record is neither taken in part nor written back.
TEST(ToolRecordCommand, AnUnreadableRecordRefusesTheRunAndIsLeftAsItIs) {
    const test::TempDir dir;
    const std::string tools = dir.folder("Tools");
    const std::string record = "[Tool]\nLowest = 25,0\nMaximum = 100\nUnit = N.m\n";
    test::writeBytes(tools + "T100.ini", record);
    const test::CliRun refused = test::runCli({"verify", "--port", dir.qFile("no-port"), "--slave",
                                               "1", "--tool", "T100", "--home", dir.qPath()});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.err.contains("T100.ini line 2: Lowest \"25,0\" is no number"))
        << refused.err.toStdString();
    EXPECT_EQ(test::readBytes(tools + "T100.ini"), record);
    EXPECT_FALSE(test::pathExists(dir.file("Data/Verify")));
}

}  // namespace
}  // namespace vornex
