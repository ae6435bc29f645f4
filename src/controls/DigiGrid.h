#pragma once

#include <cstdint>

namespace vornex {

// Every LED cell is drawn on an integer grid of this height; its width depends on its kind.
inline constexpr int32_t kDigiGridHeight = 83;
inline constexpr int32_t kDigiWideCell = 49;
inline constexpr int32_t kDigiNarrowCell = 18;

// Style bits of a CDigiStatic.
inline constexpr uint32_t DIGI_14SEG_DIGITS = 0x02;
inline constexpr uint32_t DIGI_KEEP_ASPECT = 0x04;
inline constexpr uint32_t DIGI_SOFT_OUTLINE = 0x10;

}  // namespace vornex
