#pragma once

#include <QChar>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "controls/CDigiChar.h"

namespace vornex {

// The cell that shows c (already upper-cased) under the display style, with its pattern set;
// null for a character that has no cell.
std::unique_ptr<CDigiChar> CreateCell(QChar c, uint32_t style);

// One cell per drawable character of text, in order; lower case is shown in capitals and
// characters without a cell take no room.
std::vector<std::unique_ptr<CDigiChar>> CreateCells(const QString& text, uint32_t style);

}  // namespace vornex
