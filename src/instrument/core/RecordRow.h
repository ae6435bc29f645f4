#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "link/RegisterMap.h"

namespace vornex {

// One row of the uploaded-records list: order number, torque, unit, time, verdict.
constexpr int kRecordColumns = 5;
using RecordRow = std::array<std::string, kRecordColumns>;

// The list's fixed English headers.
const RecordRow& recordHeaders();

// Record number `order` as the list shows it: torque raw / 10^d with d decimals ("del" for a
// deleted record), the unit as the record names it, "YY-MM-DD hh:mm:ss", "pass" or "Deny".
RecordRow formatRecord(uint16_t order, const regmap::StoredRecord& record);

// The row of a record whose exchange failed: its number and the word "error" in the torque
// column, and nothing that could be taken for a record's data.
RecordRow failedRecordRow(uint16_t order);

// What the list holds, handed to the exporters.
struct RecordTable {
    RecordRow headers = recordHeaders();
    std::vector<RecordRow> rows;
};

}  // namespace vornex
