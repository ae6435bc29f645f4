#pragma once

#include <string>

#include "instrument/core/RecordRow.h"

namespace vornex {

// Both writers replace the file at `path` whole or not at all: a failed write leaves an earlier
// file there as it was.

// Writes the uploaded-records list as a workbook: headers in row 1, the rows from row 2, list
// column c in sheet column c + 1 (A, B, C...). Numbers are numeric cells shown with the decimals
// the list shows, times date cells, the rest text; the time column fits its dates, the last column
// its longest text. Rows are streamed to the file, so a full instrument memory needs little memory.
// Empty on success, else what went wrong.
std::string writeRecordWorkbook(const std::string& path, const RecordTable& table);

// The same cells as comma-separated values, UTF-8, one line per row, fields quoted when needed.
std::string writeRecordCsv(const std::string& path, const RecordTable& table);

// Where the rows of a transfer that did not finish are written instead of `path`, so that they
// never replace a complete earlier list: "keep.csv" gives "keep.partial.csv", a name without an
// extension gets ".partial" appended.
std::string partialOutputPath(const std::string& path);

// Width in the sheet's character units that fits `text`: wide (CJK) characters count twice.
double fittedColumnWidth(const std::string& text);

}  // namespace vornex
