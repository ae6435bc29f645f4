#include "link/OleDate.h"

#include <cmath>
#include <cstdint>

namespace vornex {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

bool isLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

// 1899-12-30 counted from 1970-01-01.
constexpr int64_t kOleEpochDays = -25569;

}  // namespace

OleStamp oleStampFromLocalTime(const std::tm& local) {
    OleStamp stamp;
    const int year = local.tm_year + 1900;
    const int month = local.tm_mon + 1;
    if (year < 100 || year > 9999 || month < 1 || month > 12 || local.tm_mday < 1 ||
        local.tm_mday > daysInMonth(year, month) || local.tm_hour < 0 || local.tm_hour > 23 ||
        local.tm_min < 0 || local.tm_min > 59 || local.tm_sec < 0 || local.tm_sec > 59) {
        return stamp;
    }
    const int64_t days =
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(local.tm_mday)) -
        kOleEpochDays;
    const double fraction = (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
    // Before the epoch an OLE date keeps the time of day as a positive fraction after a
    // negative whole day.
    stamp.date =
        days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
    stamp.status = 0;
    return stamp;
}

OleStamp currentOleStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr)
        return OleStamp{};
    return oleStampFromLocalTime(local);
}

}  // namespace vornex
