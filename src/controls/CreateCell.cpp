#include "controls/CreateCell.h"

#include <array>

#include "controls/CDigi14Segment.h"
#include "controls/CDigi7Segment.h"
#include "controls/CDigiColonDotChar.h"
#include "controls/DigiGrid.h"

namespace vornex {

namespace {

// Index 0 is space, 1..10 the digits 0..9, 11 the minus sign.
constexpr std::array<uint16_t, 12> kDigit7Masks{0x00, 0x77, 0x24, 0x5D, 0x6D, 0x2E,
                                                0x6B, 0x7B, 0x25, 0x7F, 0x6F, 0x08};
constexpr std::array<uint16_t, 12> kDigit14Masks{0x0000, 0x3F00, 0x1800, 0x36C0, 0x3CC0, 0x19C0,
                                                 0x2DC0, 0x2FC0, 0x3800, 0x3FC0, 0x3DC0, 0x00C0};
constexpr std::array<uint16_t, 26> kLetterMasks{
    0x3BC0, 0x3CA1, 0x2700, 0x3C21, 0x27C0, 0x23C0, 0x2F80, 0x1BC0, 0x2421,
    0x1E00, 0x0354, 0x0700, 0x1B06, 0x1B12, 0x3F00, 0x33C0, 0x3F10, 0x33D0,
    0x2DC0, 0x2021, 0x1F00, 0x030C, 0x1B18, 0x001E, 0x11E0, 0x240C};

struct Symbol {
    char16_t c;
    uint16_t mask;
};
constexpr std::array<Symbol, 7> kSymbolMasks{{{u'\'', 0x0001},
                                              {u'(', 0x0014},
                                              {u')', 0x000A},
                                              {u'*', 0x00FF},
                                              {u'+', 0x00E1},
                                              {u'/', 0x000C},
                                              {u'\\', 0x0012}}};

int digitIndex(char16_t c) {
    if (c == u' ') {
        return 0;
    }
    if (c == u'-') {
        return 11;
    }
    if (c >= u'0' && c <= u'9') {
        return c - u'0' + 1;
    }
    return -1;
}

template <typename Cell>
std::unique_ptr<CDigiChar> makeCell(uint16_t mask, uint32_t style) {
    auto cell = std::make_unique<Cell>();
    cell->SetPattern(mask, style);
    return cell;
}

}  // namespace

std::unique_ptr<CDigiChar> CreateCell(QChar qc, uint32_t style) {
    const char16_t c = qc.unicode();
    if (const int index = digitIndex(c); index >= 0) {
        if (style & DIGI_14SEG_DIGITS) {
            return makeCell<CDigi14Segment>(kDigit14Masks[index], style);
        }
        return makeCell<CDigi7Segment>(kDigit7Masks[index], style);
    }
    if (c >= u'A' && c <= u'Z') {
        return makeCell<CDigi14Segment>(kLetterMasks[c - u'A'], style);
    }
    for (const Symbol& s : kSymbolMasks) {
        if (s.c == c) {
            return makeCell<CDigi14Segment>(s.mask, style);
        }
    }
    if (c == u':') {
        return makeCell<CDigiColonDotChar>(CDigiColonDotChar::kColon, style);
    }
    if (c == u'.') {
        return makeCell<CDigiColonDotChar>(CDigiColonDotChar::kDot, style);
    }
    return nullptr;
}

std::vector<std::unique_ptr<CDigiChar>> CreateCells(const QString& text, uint32_t style) {
    std::vector<std::unique_ptr<CDigiChar>> cells;
    for (const QChar c : text.toUpper()) {
        if (auto cell = CreateCell(c, style)) {
            cells.push_back(std::move(cell));
        }
    }
    return cells;
}

}  // namespace vornex
