// Tool records and profile files as a lab leaves them: mistyped, or not files at all.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "Files.h"
#include "TempDir.h"
#include "files/IniLines.h"
#include "verify/Profile.h"
#include "verify/ToolFolder.h"

namespace vornex::verify {
namespace {

// A value that is no number, or a key or section the record does not have, refuses the whole
// record, naming where: nothing of it is taken, so nothing of it can be written back without it.
TEST(ToolRecord, ARecordThatCannotBeReadWholeIsRefusedNamingFileLineAndKey) {
    const test::TempDir dir;
    const ToolFolder store(dir.path());
    const std::string head = "[Tool]\nDescription = wrench\nClass = A\n";
    const struct {
        std::string text;
        const char* problem;
    } cases[] = {
        {head + "Lowest = 25,0\nMaximum = 100\n", "line 4: Lowest \"25,0\" is no number"},
        {head + "Maximum = 1OO\n", "line 4: Maximum \"1OO\" is no number"},
        {head + "Colour = red\n", "line 4: unknown key Colour"},
        {head + "Class = B\n", "line 4: Class is given twice"},
        {head + "[Limits]\nMaximum = 100\n", "line 5: unknown section [Limits]"},
    };
    for (const auto& c : cases) {
        test::writeBytes(dir.file("T100.ini"), c.text);
        std::string error;
        EXPECT_FALSE(store.load("T100", error)) << c.text;
        EXPECT_EQ(error.rfind(dir.file("T100.ini"), 0), 0u) << error;
        EXPECT_NE(error.find(c.problem), std::string::npos) << error;
    }
    std::string error = "stale";
    EXPECT_FALSE(store.load("T200", error));
    EXPECT_EQ(error, "") << "no record kept is no error";
}

// A FIFO, a folder or an oversized file named like a record or a profile is refused at once: none
// is waited on or read into memory.
TEST(ToolRecord, RecordsAndProfilesAreReadOnlyFromRegularFilesOfBoundedSize) {
    const test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("FIFO.ini").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.file("DIR.ini"));
    test::writeBytes(dir.file("HUGE.ini"),
                     "[Tool]\n" + std::string(static_cast<size_t>(kMaxIniFileBytes), ';') + "\n");
    const struct {
        const char* name;
        const char* problem;
    } cases[] = {
        {"FIFO", "is not a regular file"},
        {"DIR", "is a folder"},
        {"HUGE", "bytes, more than the 65536"},
    };
    for (const auto& c : cases) {
        const std::string file = dir.file(std::string(c.name) + ".ini");
        std::string error;
        EXPECT_FALSE(ToolFolder(dir.path()).load(c.name, error));
        EXPECT_EQ(error.rfind(file, 0), 0u) << error;
        EXPECT_NE(error.find(c.problem), std::string::npos) << error;
        for (const std::string& profile : {std::string(c.name), file}) {
            const ProfileRead read = loadProfile(dir.path(), profile);
            EXPECT_FALSE(read.profile) << profile;
            EXPECT_NE(read.problem.text.find(file), std::string::npos) << read.problem.text;
            EXPECT_NE(read.problem.text.find(c.problem), std::string::npos) << read.problem.text;
        }
    }
}

}  // namespace
}  // namespace vornex::verify
