#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "RecordFiles.h"
#include "TempDir.h"
#include "record/FileWriter.h"
#include "record/TestFile.h"
#include "record/TestPaths.h"
#include "record/TestSession.h"

namespace vornex {
namespace {

using test::point;
using test::readRecords;

std::vector<CurvePoint> readWithLoader(const std::string& path) {
    std::vector<CurvePoint> out;
    TestFile(path).readAll([&](const CurvePoint* p, size_t n) { out.insert(out.end(), p, p + n); });
    return out;
}

TEST(TestFile, RecordBytesAreLittleEndianWithZeroTail) {
    test::TempDir home;
    const std::string path = home.folder("Data") + "a.pdat";
    const CurvePoint p = point(1.5, -2.25, 7);
    ASSERT_TRUE(TestFile(path).append(&p, 1).ok());
    const std::string expected(
        "\x00\x00\x00\x00\x00\x00\xF8\x3F"
        "\x00\x00\x00\x00\x00\x00\x02\xC0"
        "\x07\x00\x00\x00\x00\x00\x00\x00",
        24);
    EXPECT_EQ(test::readBytes(path), expected);
}

TEST(TestFile, ReadersAgreeOnMissingEmptyMixedAndCutFiles) {
    test::TempDir home;
    const std::string path = home.folder("Data") + "t.pdat";
    EXPECT_EQ(TestFile(path).readAll([](auto, auto) {}).kind, FileResultKind::Missing);
    EXPECT_FALSE(TestFile(path).count().file.text.empty());
    test::writeBytes(path, "");
    EXPECT_TRUE(readWithLoader(path).empty());
    EXPECT_EQ(TestFile(path).count().counts.total(), 0u);

    const CurvePoint two[] = {point(0.1, 1, 1), point(0.1, 2, 3)};
    ASSERT_TRUE(TestFile(path).append(two, 2).ok());
    SlaveCounts counts = TestFile(path).count().counts;
    EXPECT_EQ(counts.of(1), 1u);
    EXPECT_EQ(counts.of(3), 1u);
    EXPECT_EQ(counts.total(), 2u);

    // Slave 0 and slaves above 30 count as other; a tail shorter than a record is no record.
    const CurvePoint odd[] = {point(0.2, 3, 0), point(0.2, 4, 31), point(0.2, 5, 30)};
    ASSERT_TRUE(TestFile(path).append(odd, 3).ok());
    test::writeBytes(path, test::readBytes(path) + std::string(10, '\x01'));
    counts = TestFile(path).count().counts;
    EXPECT_EQ(counts.of(30), 1u);
    EXPECT_EQ(counts.other, 2u);
    EXPECT_EQ(counts.total(), 5u);
    const auto loaded = readWithLoader(path);
    ASSERT_EQ(loaded.size(), 5u);
    EXPECT_EQ(loaded[4].value, 5.0);

    // The next append cuts the fragment off and never truncates whole records.
    const CurvePoint more = point(0.3, 6, 2);
    ASSERT_TRUE(TestFile(path).append(&more, 1).ok());
    const auto after = readRecords(path);
    ASSERT_EQ(after.size(), 6u);
    EXPECT_EQ(test::readBytes(path).size(), 6 * 24u);
    EXPECT_EQ(after[5].slave, 2);
}

std::time_t localMoment(int year, int month, int day, int hour, int minute) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

TEST(TestSession, ProposesLocalTimeAddsTheFileAtOnceAndRefusesNamesNoFileCanTake) {
    test::TempDir home;
    std::time_t moment = localMoment(2017, 3, 21, 23, 59);
    TestSession session(home.folder("Data"), [&] { return moment; });
    // The proposed name is the local time; proposing makes the day folder.
    EXPECT_EQ(session.proposeName(), "201703212359");
    EXPECT_TRUE(std::filesystem::is_directory(home.folder("Data") + "20170321"));
    ASSERT_EQ(session.add("t"), TestSession::AddResult::Added);
    EXPECT_TRUE(session.isOpen());
    EXPECT_EQ(session.currentPath(), home.folder("Data") + "20170321/t.pdat");
    EXPECT_TRUE(std::filesystem::is_regular_file(session.currentPath()));
    EXPECT_EQ(session.add("t"), TestSession::AddResult::Exists);
    std::filesystem::create_directory(home.folder("Data") + "20170321/dir.pdat");
    EXPECT_EQ(session.add("dir"), TestSession::AddResult::Exists);
    for (const char* bad : {".", "..", "../x", "a/b", "/etc/x"})
        EXPECT_EQ(session.add(bad), TestSession::AddResult::BadName) << bad;
    for (const char* blank : {"", " ", "   ", "\u3000"})
        EXPECT_EQ(session.add(blank), TestSession::AddResult::BlankName) << blank;
    for (const char* control : {"a\nb", "\n", "tab\there", "del\x7f", "c1\u0085"})
        EXPECT_EQ(session.add(control), TestSession::AddResult::ControlCharacter);
    // 255 bytes with ".pdat" is the most a file name may hold; Chinese takes 3 bytes a character.
    EXPECT_EQ(session.add(std::string(250, 'a')), TestSession::AddResult::Added);
    EXPECT_EQ(session.add(std::string(251, 'a')), TestSession::AddResult::NameTooLong);
    std::string chinese;
    for (int i = 0; i < 83; ++i)
        chinese += "测";
    EXPECT_EQ(session.add(chinese), TestSession::AddResult::Added);
    EXPECT_EQ(session.add(chinese + "测"), TestSession::AddResult::NameTooLong);
    EXPECT_EQ(session.add(chinese + "测试测试测试测"), TestSession::AddResult::NameTooLong);
    const std::string kept = session.currentPath();
    EXPECT_EQ(std::filesystem::path(kept).filename(), chinese + ".pdat");

    // Added after midnight: the new day's folder is made and keeps the test whatever the date.
    moment = localMoment(2017, 3, 22, 0, 1);
    EXPECT_EQ(session.add("u"), TestSession::AddResult::Added);
    EXPECT_EQ(session.currentPath(), home.folder("Data") + "20170322/u.pdat");
    EXPECT_TRUE(std::filesystem::is_regular_file(session.currentPath()));
    EXPECT_EQ(session.proposeName(), "201703220001");
    moment = localMoment(2017, 3, 23, 0, 1);
    EXPECT_EQ(session.currentPath(), home.folder("Data") + "20170322/u.pdat");
    // A file where the day folder belongs is not replaced.
    test::writeBytes(home.folder("Data") + "20170323", "x");
    const TestSession::Addition refused = session.add("v");
    EXPECT_EQ(refused.result, TestSession::AddResult::CannotCreate);
    EXPECT_FALSE(refused.file.text.empty());
    EXPECT_EQ(test::readBytes(home.folder("Data") + "20170323"), "x");
    EXPECT_TRUE(session.close());
    EXPECT_FALSE(session.close());
}

// Only a closed test's own file, still empty, is removed: never one that holds readings, nor
// another file made under its name.
TEST(TestSession, RemovesOnlyTheEmptyFileItCreated) {
    test::TempDir home;
    TestSession session(home.folder("Data"));
    ASSERT_EQ(session.add("held"), TestSession::AddResult::Added);
    EXPECT_FALSE(session.removeIfEmpty()) << "the test is open";
    session.close();
    test::writeBytes(session.currentPath(), std::string(24, '\0'));
    EXPECT_FALSE(session.removeIfEmpty());
    EXPECT_EQ(test::readBytes(session.currentPath()).size(), 24u);

    ASSERT_EQ(session.add("other"), TestSession::AddResult::Added);
    session.close();
    std::filesystem::rename(session.currentPath(), session.currentPath() + ".kept");
    test::writeBytes(session.currentPath(), "");
    EXPECT_FALSE(session.removeIfEmpty());
    EXPECT_TRUE(std::filesystem::exists(session.currentPath()));

    ASSERT_EQ(session.add("empty"), TestSession::AddResult::Added);
    session.close();
    EXPECT_TRUE(session.removeIfEmpty());
    EXPECT_FALSE(std::filesystem::exists(session.currentPath()));
    EXPECT_EQ(session.add("empty"), TestSession::AddResult::Added);
}

// Sessions of their own (as two programs are) add one name at the same moment: one wins.
TEST(TestSession, OfManyAddingOneNameAtOnceExactlyOneWins) {
    test::TempDir home;
    for (int round = 0; round < 20; ++round) {
        constexpr int kRacers = 4;
        std::atomic<int> ready{0};
        std::atomic<int> won{0};
        std::vector<std::thread> racers;
        for (int i = 0; i < kRacers; ++i) {
            racers.emplace_back([&] {
                TestSession session(home.folder("Data"));
                ++ready;
                while (ready < kRacers) {
                }
                if (session.add("race" + std::to_string(round)) == TestSession::AddResult::Added)
                    ++won;
            });
        }
        for (auto& racer : racers)
            racer.join();
        EXPECT_EQ(won, 1) << "round " << round;
    }
}

// Exit codes of the child that runs under a file size limit.
int writeUnderSizeLimit(const std::string& path) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{24 * 10 + 5, RLIM_INFINITY};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
        return 10;
    std::vector<CurvePoint> points;
    for (int i = 0; i < 20; ++i)
        points.push_back(point(i, i, 1));
    WriteQueue queue;
    test::RecordingLog observer;
    FileWriter writer(queue, observer);
    queue.push(path, points.data(), points.size());
    if (writer.flush())
        return 11;
    if (test::readBytes(path).size() != 240)
        return 12;  // cut back to 10 whole records
    if (writer.flush() || observer.failed().size() != 1)
        return 13;  // reported once
    const rlimit lifted{RLIM_INFINITY, RLIM_INFINITY};
    if (::setrlimit(RLIMIT_FSIZE, &lifted) != 0)
        return 14;
    if (!writer.flush() || observer.recovered() != 1)
        return 15;
    const auto written = readRecords(path);
    if (written.size() != 20)
        return 16;
    for (int i = 0; i < 20; ++i) {
        if (written[i].time != i)
            return 17;
    }
    return 0;
}

TEST(FileWriter, SizeLimitLeavesNoTornRecordAndRetries) {
    test::TempDir home;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        ::_exit(writeUnderSizeLimit(home.folder("Data") + "limited.pdat"));
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace vornex
