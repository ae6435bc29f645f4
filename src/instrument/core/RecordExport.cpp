#include "instrument/core/RecordExport.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#include "files/AtomicFile.h"
#include "text/NumberText.h"

namespace vornex {

namespace {

// Decodes one UTF-8 sequence at text[i], advancing i; malformed bytes count as one character.
char32_t nextCodePoint(const std::string& text, size_t& i) {
    const auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (i + static_cast<size_t>(extra) >= text.size())
        extra = 0;
    char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k)
        code = (code << 6) | (byte(i + static_cast<size_t>(k)) & 0x3F);
    i += 1 + static_cast<size_t>(extra);
    return code;
}

bool isWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

constexpr int kTimeColumn = 3;
constexpr int kMaxDecimals = 6;
const char* const kTimeFormat = "yy-mm-dd hh:mm:ss";

// Digits after the decimal point of a number as the list prints it.
int decimalsOf(const std::string& text) {
    const size_t dot = text.find('.');
    return dot == std::string::npos ? 0 : static_cast<int>(text.size() - dot - 1);
}

// "YY-MM-DD hh:mm:ss" as a date of this century; nothing when it names no real moment (a record
// that was never written holds zeros).
std::optional<lxw_datetime> dateOf(const std::string& text) {
    int year, month, day, hour, minute, second;
    char end;
    if (std::sscanf(text.c_str(), "%2d-%2d-%2d %2d:%2d:%2d%c", &year, &month, &day, &hour, &minute,
                    &second, &end) != 6) {
        return std::nullopt;
    }
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 4 == 0;
    if (month < 1 || month > 12 || day < 1 ||
        day > kDays[month - 1] + (month == 2 && leap ? 1 : 0) || hour > 23 || minute > 59 ||
        second > 59 || year < 0 || hour < 0 || minute < 0 || second < 0) {
        return std::nullopt;
    }
    return lxw_datetime{2000 + year, month, day, hour, minute, static_cast<double>(second)};
}

// Writes each cell of the list as what it is: counts and torques as numbers shown with the
// decimals the list shows, times as dates, words as text, so that a spreadsheet can sum and chart
// the list.
class CellWriter {
public:
    explicit CellWriter(lxw_workbook* workbook) {
        for (int d = 0; d <= kMaxDecimals; ++d) {
            decimals_[static_cast<size_t>(d)] = workbook_add_format(workbook);
            const std::string format =
                d == 0 ? "0" : "0." + std::string(static_cast<size_t>(d), '0');
            format_set_num_format(decimals_[static_cast<size_t>(d)], format.c_str());
        }
        time_ = workbook_add_format(workbook);
        format_set_num_format(time_, kTimeFormat);
    }

    lxw_error write(lxw_worksheet* sheet, lxw_row_t row, int column, const std::string& text) {
        const auto col = static_cast<lxw_col_t>(column);
        if (column == kTimeColumn) {
            if (std::optional<lxw_datetime> date = dateOf(text))
                return worksheet_write_datetime(sheet, row, col, &*date, time_);
        } else if (const std::optional<double> value = parseNumber(text);
                   value && decimalsOf(text) <= kMaxDecimals) {
            return worksheet_write_number(sheet, row, col, *value,
                                          decimals_[static_cast<size_t>(decimalsOf(text))]);
        }
        // An empty text leaves its cell empty.
        return worksheet_write_string(sheet, row, col, text.c_str(), nullptr);
    }

private:
    std::array<lxw_format*, kMaxDecimals + 1> decimals_{};
    lxw_format* time_ = nullptr;
};

}  // namespace

double fittedColumnWidth(const std::string& text) {
    double units = 0;
    for (size_t i = 0; i < text.size();)
        units += isWide(nextCodePoint(text, i)) ? 2.0 : 1.0;
    // One unit of margin, as the spreadsheet's own fit leaves around a text.
    return units + 1.0;
}

std::string writeRecordWorkbook(const std::string& path, const RecordTable& table) {
    const int columns = kRecordColumns;
    const int last = columns - 1;
    double width = fittedColumnWidth(table.headers[last]);
    for (const RecordRow& row : table.rows)
        width = std::max(width, fittedColumnWidth(row[last]));

    // The library writes to a file name: it is given the temporary file, which replaces the
    // target once the workbook is complete.
    AtomicFile file(path);
    if (!file.open())
        return file.error();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.use_zip64 = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(file.writePath().c_str(), &options);
    if (workbook == nullptr)
        return "cannot create the workbook " + path;
    CellWriter cells(workbook);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_error error = sheet == nullptr ? LXW_ERROR_MEMORY_MALLOC_FAILED : LXW_NO_ERROR;
    if (error == LXW_NO_ERROR)
        error = worksheet_set_column(sheet, last, last, width, nullptr);
    // A date too wide for its column shows as "#####".
    if (error == LXW_NO_ERROR)
        error = worksheet_set_column(sheet, kTimeColumn, kTimeColumn,
                                     fittedColumnWidth(kTimeFormat), nullptr);
    for (int c = 0; c < columns && error == LXW_NO_ERROR; ++c)
        error = worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c),
                                       table.headers[c].c_str(), nullptr);
    for (size_t r = 0; r < table.rows.size() && error == LXW_NO_ERROR; ++r) {
        for (int c = 0; c < columns && error == LXW_NO_ERROR; ++c)
            error = cells.write(sheet, static_cast<lxw_row_t>(r + 1), c, table.rows[r][c]);
    }
    const lxw_error closed = workbook_close(workbook);
    if (error == LXW_NO_ERROR)
        error = closed;
    if (error != LXW_NO_ERROR)
        return std::string("cannot write ") + path + ": " + lxw_strerror(error);
    return file.commit() ? std::string() : file.error();
}

std::string writeRecordCsv(const std::string& path, const RecordTable& table) {
    AtomicFile file(path);
    if (!file.open())
        return file.error();
    auto writeRow = [out = file.stream()](const RecordRow& row) {
        for (int c = 0; c < kRecordColumns; ++c) {
            if (c > 0)
                std::fputc(',', out);
            const std::string field = csvField(row[c]);
            std::fwrite(field.data(), 1, field.size(), out);
        }
        std::fputc('\n', out);
    };
    writeRow(table.headers);
    for (const RecordRow& row : table.rows)
        writeRow(row);
    return file.commit() ? std::string() : file.error();
}

std::string partialOutputPath(const std::string& path) {
    const size_t name = path.find_last_of('/') + 1;
    const size_t dot = path.find_last_of('.');
    // A dot that starts the name ends no stem: ".csv" is a hidden file without an extension.
    if (dot == std::string::npos || dot <= name)
        return path + ".partial";
    return path.substr(0, dot) + ".partial" + path.substr(dot);
}

}  // namespace vornex
