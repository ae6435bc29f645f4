#include "instrument/core/RecordExport.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>

#include "files/AtomicFile.h"

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
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_error error = sheet == nullptr ? LXW_ERROR_MEMORY_MALLOC_FAILED : LXW_NO_ERROR;
    if (error == LXW_NO_ERROR)
        error = worksheet_set_column(sheet, last, last, width, nullptr);
    for (int c = 0; c < columns && error == LXW_NO_ERROR; ++c)
        error = worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c),
                                       table.headers[c].c_str(), nullptr);
    for (size_t r = 0; r < table.rows.size() && error == LXW_NO_ERROR; ++r) {
        for (int c = 0; c < columns && error == LXW_NO_ERROR; ++c) {
            // An empty text leaves its cell empty.
            error = worksheet_write_string(sheet, static_cast<lxw_row_t>(r + 1),
                                           static_cast<lxw_col_t>(c), table.rows[r][c].c_str(),
                                           nullptr);
        }
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
