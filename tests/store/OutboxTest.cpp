#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Files.h"
#include "RecordFiles.h"
#include "TempDir.h"
#include "record/CompanionFile.h"
#include "store/Outbox.h"

namespace vornex::test {
namespace {

using namespace vornex::store;

// The outbox without a server: what waits, under which identity, and what is left alone.
class OutboxTest : public ::testing::Test {
protected:
    // A test file of one reading, with a companion file naming `uuid` unless it is empty.
    std::string test(const std::string& name, const std::string& uuid) {
        const std::string path = home.file(name + ".pdat");
        writeRecords(path, {point(0.0, 1.0, 1)});
        Companion companion;
        companion.uuid = uuid;
        companion.trace.bench = "bench-a";
        EXPECT_TRUE(writeCompanion(companionPath(path), companion).ok());
        return path;
    }
    std::string itemFile(const std::string& uuid) const { return outbox.folder() + uuid + ".item"; }

    TempDir home;
    Outbox outbox{home.path() + "/"};
};

// A test recorded before tests had a UUID is given one, kept in its companion file, so that
// queueing it again is the same item; no line break reaches an item's lines.
TEST_F(OutboxTest, ATestIsQueuedOnceUnderTheUuidItsCompanionKeeps) {
    const std::string path = test("old", "");
    ASSERT_EQ(outbox.queueTest(path, "bench-b").text, "");
    ASSERT_EQ(outbox.queueTest(path, "bench-b").text, "");
    const OutboxContents contents = outbox.contents();
    ASSERT_EQ(contents.items.size(), 1u);
    EXPECT_EQ(contents.items[0].uuid, readCompanion(companionPath(path)).companion->uuid);
    EXPECT_EQ(contents.items[0].bench, "bench-a");
    EXPECT_EQ(contents.items[0].file, itemFile(contents.items[0].uuid));

    const std::string bare = home.file("bare.pdat");
    writeRecords(bare, {point(0.0, 1.0, 1)});
    EXPECT_EQ(outbox.queueTest(bare, "bench\nKind=run").kind, StoreResultKind::BadInput);
    EXPECT_EQ(outbox.queueRun(home.file("absent.txt"), "b").kind, StoreResultKind::Files);
    EXPECT_EQ(outbox.count(), 1u);
}

// A test is known by its companion's UUID, a run by the UUID its item names and an item older
// than that by its file's name: a copy under another name is the same item, never a new one.
TEST_F(OutboxTest, AnItemIsKnownByItsUuidWhateverItsFileIsCalled) {
    const std::string a = "00000000-0000-4000-8000-00000000000a";
    ASSERT_EQ(outbox.queueTest(test("a", a), "b").text, "");
    writeBytes(outbox.folder() + "copy.item", readBytes(itemFile(a)));
    const std::string old = "00000000-0000-4000-8000-0000000000b0";
    writeBytes(itemFile(old), "Kind=run\nPath=/runs/r.txt\nQueued=1\n");
    // The same run queued twice is one item; once it went on, it is another that supersedes it.
    const std::string run = home.file("run.txt");
    const auto queuedRuns = [&] {
        std::vector<OutboxItem> runs;
        for (const OutboxItem& item : outbox.items()) {
            if (item.path == run)
                runs.push_back(item);
        }
        return runs;
    };
    writeBytes(run, "first pull\n");
    ASSERT_EQ(outbox.queueRun(run, "b").text, "");
    ASSERT_EQ(outbox.queueRun(run, "b").text, "");
    ASSERT_EQ(queuedRuns().size(), 1u);
    const std::string first = queuedRuns()[0].uuid;
    writeBytes(run, "first pull\nsecond pull\n");
    ASSERT_EQ(outbox.queueRun(run, "b").text, "");

    size_t ofA = 0;
    for (const OutboxItem& item : outbox.items()) {
        ofA += item.uuid == a;
        if (item.file == itemFile(old)) {
            EXPECT_EQ(item.uuid, old);
        }
        if (item.path == run && item.uuid != first) {
            EXPECT_EQ(item.supersedes, first);
        }
    }
    EXPECT_EQ(ofA, 2u);
    EXPECT_EQ(queuedRuns().size(), 2u);
    EXPECT_EQ(outbox.items().size(), 5u);
}

// Files that cannot be taken as items are named with what is wrong, left where they are, and
// counted as waiting; removing an item removes its file alone.
TEST_F(OutboxTest, DamagedItemsAreNamedKeptAndCountedAndRemovalTakesOneItem) {
    const std::string a = "00000000-0000-4000-8000-00000000000a";
    const std::string b = "00000000-0000-4000-8000-00000000000b";
    ASSERT_EQ(outbox.queueTest(test("a", a), "b").text, "");
    ASSERT_EQ(outbox.queueTest(test("b", b), "b").text, "");
    const std::pair<const char*, const char*> damaged[] = {
        {"", " is empty"},
        {"Kind=test\nPath=/t.pdat", " is cut short"},
        {"Kind=tesr\nPath=/t.pdat\nQueued=1\n", " is of no known kind (\"tesr\")"},
        {"Kind=run\nUUID=\nPath=/r.txt\nQueued=1\n", " names no UUID"},
    };
    for (size_t i = 0; i < std::size(damaged); ++i)
        writeBytes(outbox.folder() + "d" + std::to_string(i) + ".item", damaged[i].first);

    const OutboxContents contents = outbox.contents();
    EXPECT_EQ(contents.items.size(), 2u);
    ASSERT_EQ(contents.damaged.size(), std::size(damaged));
    EXPECT_EQ(contents.waiting(), 6u);
    for (size_t i = 0; i < std::size(damaged); ++i) {
        const std::string file = outbox.folder() + "d" + std::to_string(i) + ".item";
        EXPECT_EQ(describe(contents.damaged[i]), file + damaged[i].second);
        EXPECT_TRUE(std::filesystem::exists(file)) << file;
    }

    outbox.remove(contents.items[0]);
    const std::vector<OutboxItem> left = outbox.items();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_NE(left[0].uuid, contents.items[0].uuid);
    EXPECT_FALSE(std::filesystem::exists(contents.items[0].file));
    EXPECT_EQ(outbox.count(), 5u);
}

}  // namespace
}  // namespace vornex::test
