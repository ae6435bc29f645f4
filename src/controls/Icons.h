#pragma once

#include <QIcon>
#include <QString>

namespace vornex {

// The program's icons by resource number: 128 (program), 313 (print), 315 (move), 316 (start),
// 317 (stop), 318 (zoom), 319 (measure), 321 (connect), 322 (disconnect).

// Resource path of an icon's SVG source, or an empty string for an unknown number.
QString iconPath(int number);

// The icon rendered at the usual button and window sizes; a null icon for an unknown number.
QIcon vornexIcon(int number);

}  // namespace vornex
