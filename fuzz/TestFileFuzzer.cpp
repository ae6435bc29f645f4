// Test files come from anywhere: copied from another machine, cut short by a crash, or not a test
// file at all. The input is the file. Every reader must take it, agree on what it holds, and an
// append must leave whole records behind the whole records that were there.
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>

#include "FuzzSupport.h"
#include "record/CurveTable.h"
#include "record/TestFile.h"

using vornex::CurvePoint;
using vornex::CurveTable;
using vornex::kRecordSize;
using vornex::fuzz::check;

namespace {

// What the records of the input are, read straight from the bytes.
std::array<uint64_t, 256> tallyOf(const uint8_t* data, size_t records) {
    std::array<uint64_t, 256> tally{};
    for (size_t i = 0; i < records; ++i)
        ++tally[data[i * kRecordSize + offsetof(CurvePoint, slave)]];
    return tally;
}

void readAndShow(const vornex::TestFile& file, const uint8_t* data, size_t records) {
    // Curves are large; one table serves every input, cleared as a closed test leaves it.
    static CurveTable curves;
    curves.clear();
    size_t handed = 0;
    const vornex::FileResult read = file.readAll([&](const CurvePoint* points, size_t count) {
        check(handed + count <= records, "readAll hands on more records than the file holds");
        check(std::memcmp(points, data + handed * kRecordSize, count * kRecordSize) == 0,
              "readAll hands on other bytes than the file holds");
        for (size_t i = 0; i < count; ++i) {
            if (const auto slot = curves.add(points[i]))
                curves.window(*slot);
        }
        handed += count;
    });
    check(read.ok(), "readAll fails on a memory file");
    check(handed == records, "readAll leaves records out");
    curves.extent();
}

void count(const vornex::TestFile& file, const uint8_t* data, size_t records) {
    const vornex::CountResult counted = file.count();
    check(counted.file.ok(), "count fails on a memory file");
    const vornex::SlaveCounts& counts = counted.counts;
    const std::array<uint64_t, 256> tally = tallyOf(data, records);
    for (int slave = 1; slave <= vornex::kCurveSlots; ++slave)
        check(counts.of(slave) == tally[static_cast<size_t>(slave)], "count miscounts a slave");
}

void append(const vornex::fuzz::MemoryFile& memory, const uint8_t* data, size_t records) {
    CurvePoint points[2];
    points[0].time = 1.5;
    points[0].slave = 7;
    points[1].value = -2.25;
    points[1].slave = 30;
    const vornex::AppendResult result = vornex::TestFile(memory.path()).append(points, 2);
    check(result.ok() && result.written == 2, "append fails on a memory file");
    struct stat status {};
    check(::fstat(memory.fd(), &status) == 0, "fstat");
    const size_t expected = (records + 2) * kRecordSize;
    check(static_cast<size_t>(status.st_size) == expected, "append leaves a torn record");
    std::vector<uint8_t> back(expected);
    check(::pread(memory.fd(), back.data(), expected, 0) == static_cast<ssize_t>(expected),
          "pread");
    check(std::memcmp(back.data(), data, records * kRecordSize) == 0,
          "append changes the records before it");
    check(std::memcmp(back.data() + records * kRecordSize, points, sizeof points) == 0,
          "append writes other records than it was given");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const vornex::fuzz::MemoryFile memory(data, size);
    const vornex::TestFile file(memory.path());
    const size_t records = size / kRecordSize;
    readAndShow(file, data, records);
    count(file, data, records);
    append(memory, data, records);
    return 0;
}
