#include "instrument/core/RecordRow.h"

#include <cstdio>

#include "link/ParameterArithmetic.h"
#include "text/NumberText.h"

namespace vornex {

const RecordRow& recordHeaders() {
    static const RecordRow headers = {"Order Num", "Torque", "Unit", "Time", "Pass"};
    return headers;
}

RecordRow formatRecord(uint16_t order, const regmap::StoredRecord& record) {
    RecordRow row;
    row[0] = std::to_string(order);
    if (record.deleted()) {
        row[1] = "del";
    } else {
        const float torque = static_cast<float>(record.rawTorque) /
                             static_cast<float>(params::powerOfTen(record.decimals));
        row[1] = formatFixed(torque, record.decimals);
    }
    row[2] = std::string(regmap::unitName(record.unit));
    char time[32];
    std::snprintf(time, sizeof time, "%02d-%02d-%02d %02d:%02d:%02d", record.year, record.month,
                  record.day, record.hour, record.minute, record.second);
    row[3] = time;
    row[4] = record.passed() ? "pass" : "Deny";
    return row;
}

RecordRow failedRecordRow(uint16_t order) {
    return {std::to_string(order), "error", "", "", ""};
}

}  // namespace vornex
