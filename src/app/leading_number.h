// The leading decimal number of a text, as atoi reads it (white space, a sign,
// digits), 0 when there is none. Pure. A number beyond the int range saturates
// instead of wrapping, as some atoi do, into a value that would pass a range test.
#pragma once

#include <cstdlib>

inline int LeadingNumber(const char* text) {
  static_assert(sizeof(long) == sizeof(int), "strtol must saturate at the int range");
  return static_cast<int>(std::strtol(text, nullptr, 10));
}
