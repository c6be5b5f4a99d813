// The nine colour schemes of the output pane. Pure.
#pragma once

#include <cstdint>

// Colours as Windows' COLORREF holds them: 0x00BBGGRR.
struct SchemeColors {
  uint32_t text;
  uint32_t background;
};

// Scheme numbers 1..9 as the user sees them; the index is the number - 1.
constexpr int kSchemeCount = 9;
extern const SchemeColors SchemeTable[kSchemeCount];
