// Byte counts as the status bar and the reports show them. Pure.
#pragma once

#include <cstdint>

// Room for the longest count, "-9223372036854775808", and its NUL.
constexpr int kCountTextSize = 21;

// Decimal text of a count into text (kCountTextSize bytes); returns text.
// wsprintfA's %d would cut a 64-bit count to its low 32 bits.
char* FormatCount(int64_t count, char* text);
