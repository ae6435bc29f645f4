#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <vector>

#include "LineFixture.h"
#include "instrument/core/RecordUpload.h"
#include "link/ModbusLink.h"
#include "sim/StoredRecords.h"

namespace vornex {
namespace {

using namespace std::chrono_literals;

class Collector : public UploadObserver {
public:
    void recordUploaded(const UploadedRecord& item) override {
        std::lock_guard<std::mutex> lock(mutex);
        items.push_back(item);
        changed.notify_all();
    }
    void uploadEnded(unsigned run, UploadEnd end, unsigned failed) override {
        std::lock_guard<std::mutex> lock(mutex);
        ends.push_back({run, end, failed});
        changed.notify_all();
    }
    template <typename Predicate>
    bool waitFor(Predicate done) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, 60s, [&] { return done(); });
    }

    struct End {
        unsigned run;
        UploadEnd end;
        unsigned failed;
    };
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<UploadedRecord> items;
    std::vector<End> ends;
};

bool sameRecord(const regmap::StoredRecord& a, const regmap::StoredRecord& b) {
    uint16_t ra[8], rb[8];
    a.encode(ra);
    b.encode(rb);
    return std::equal(ra, ra + 8, rb);
}

class RecordUploadTest : public test::LineFixture {
protected:
    static constexpr int kSlave = 2;
    static constexpr uint64_t kSeed = 7;

    void start(int records) {
        sim::InstrumentConfig c = test::instrument(kSlave);
        c.recordCount = records;
        c.seed = kSeed;
        startLine({c});
        ASSERT_EQ(upload.link(linkPath, kSlave), OpenResult::Opened);
    }

    Collector collector;
    RecordUpload upload{collector};
};

TEST_F(RecordUploadTest, FetchesEveryRecordInOrder) {
    start(12);
    const unsigned run = upload.start(0ms);
    ASSERT_TRUE(collector.waitFor([&] { return !collector.ends.empty(); }));
    upload.stop();
    const auto records = sim::makeStoredRecords(12, kSeed * 131 + kSlave);
    ASSERT_EQ(collector.items.size(), 12u);
    for (size_t i = 0; i < collector.items.size(); ++i) {
        EXPECT_EQ(collector.items[i].order, i + 1);
        EXPECT_EQ(collector.items[i].run, run);
        ASSERT_TRUE(collector.items[i].record);
        EXPECT_TRUE(sameRecord(*collector.items[i].record, records[i])) << "record " << i + 1;
    }
    EXPECT_EQ(collector.ends[0].end, UploadEnd::Completed);
    EXPECT_EQ(collector.ends[0].failed, 0u);
}

TEST_F(RecordUploadTest, StopAndRestart) {
    start(200);
    const unsigned first = upload.start(20ms);
    ASSERT_TRUE(collector.waitFor([&] { return collector.items.size() >= 2; }));
    const unsigned second = upload.start(0ms);
    EXPECT_NE(first, second);
    ASSERT_TRUE(collector.waitFor([&] { return collector.ends.size() == 2; }));
    EXPECT_EQ(collector.ends[0].run, first);
    EXPECT_EQ(collector.ends[0].end, UploadEnd::Stopped);
    EXPECT_EQ(collector.ends[1].end, UploadEnd::Completed);
    std::vector<uint16_t> orders;
    for (const UploadedRecord& item : collector.items)
        if (item.run == second)
            orders.push_back(item.order);
    ASSERT_EQ(orders.size(), 200u);
    EXPECT_EQ(orders.front(), 1);
    EXPECT_EQ(orders.back(), 200);

    upload.start(50ms);
    upload.unlink();
    EXPECT_FALSE(upload.running());
    EXPECT_FALSE(upload.linked());
    ModbusLink other;
    EXPECT_EQ(other.open(linkPath), OpenResult::Opened);
}

TEST_F(RecordUploadTest, UnpluggedLineEndsTheUpload) {
    start(500);
    upload.start(5ms);
    ASSERT_TRUE(collector.waitFor([&] { return collector.items.size() >= 3; }));
    line->unplug();
    ASSERT_TRUE(collector.waitFor([&] { return !collector.ends.empty(); }));
    EXPECT_EQ(collector.ends[0].end, UploadEnd::LineLost);
    EXPECT_LT(collector.items.size(), 500u);
}

}  // namespace
}  // namespace vornex
