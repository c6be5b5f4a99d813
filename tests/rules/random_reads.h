// Random reads that steer the transcript's rendering, for property tests.
#pragma once

#include <random>
#include <string>

// Bytes that steer the rendering (breaks, NULs, escapes), mixed with any byte at all
// and with long runs that hold no line break.
inline std::string RandomRead(std::mt19937& random) {
  const char steering[] = {'\r', '\n', '\0', '\t', 'a', '\\', '\x1B', '\x7F', '\xE9', '\xA4'};
  const size_t sizes[] = {0, 1, 2, 7, 40, 300, 1500, 6000};
  std::string read(sizes[random() % 8] + random() % 9, '\0');
  const bool longLine = random() % 5 == 0;
  for (char& c : read) {
    if (longLine)
      c = static_cast<char>('A' + random() % 26);
    else
      c = random() % 2 ? steering[random() % sizeof steering] : static_cast<char>(random());
  }
  return read;
}
