#include "text/counts.h"

#include <charconv>

char* FormatCount(int64_t count, char* text) {
  *std::to_chars(text, text + kCountTextSize - 1, count).ptr = '\0';  // always fits
  return text;
}
