#include "verify/ReferenceDue.h"

#include <cstdio>
#include <tuple>

namespace vornex::verify {

std::optional<DueDate> parseDueDate(const std::string& text) {
    DueDate d;
    int used = 0;
    if (text.size() != 10 ||
        std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &d.year, &d.month, &d.day, &used) != 3 ||
        used != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d.year < 1900 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > kDays[d.month - 1])
        return std::nullopt;
    const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    if (d.month == 2 && d.day == 29 && !leap)
        return std::nullopt;
    return d;
}

bool referenceOverdue(const std::string& due, std::time_t at) {
    const std::optional<DueDate> d = parseDueDate(due);
    if (!d)
        return false;
    std::tm local{};
    localtime_r(&at, &local);
    return std::make_tuple(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) >
           std::make_tuple(d->year, d->month, d->day);
}

}  // namespace vornex::verify
