#include "StoredRecords.h"

#include <random>

namespace vornex::sim {

std::vector<regmap::StoredRecord> makeStoredRecords(int count, uint64_t seed) {
    std::mt19937_64 random(seed);
    std::vector<regmap::StoredRecord> records;
    records.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
    // 2026-01-31 23:40:00, then 7 minutes and some seconds per record.
    int minuteOfDay = 23 * 60 + 40, day = 31, month = 1, year = 26;
    for (int i = 0; i < count; ++i) {
        regmap::StoredRecord r;
        r.deletedMark = (i % 7 == 3) ? 1 : 0;
        r.verdict = (i % 3 == 2) ? 1 : 2;
        r.unit = static_cast<uint8_t>(1 + i % 4);
        r.decimals = static_cast<uint8_t>(i % 4);
        const int32_t magnitude = static_cast<int32_t>(1000 + random() % 49000);
        r.rawTorque = (i % 5 == 4) ? -magnitude : magnitude;
        r.second = static_cast<uint8_t>(random() % 60);
        r.minute = static_cast<uint8_t>(minuteOfDay % 60);
        r.hour = static_cast<uint8_t>(minuteOfDay / 60);
        r.day = static_cast<uint8_t>(day);
        r.month = static_cast<uint8_t>(month);
        r.year = static_cast<uint8_t>(year);
        records.push_back(r);

        minuteOfDay += 7;
        if (minuteOfDay >= 24 * 60) {
            minuteOfDay -= 24 * 60;
            if (++day > 28) {
                day = 1;
                if (++month > 12) {
                    month = 1;
                    ++year;
                }
            }
        }
    }
    return records;
}

}  // namespace vornex::sim
