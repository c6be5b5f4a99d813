// Hex lines: a line is read into whole bytes, or refused whole; what is read is what
// the line says, pair by pair.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "text/binary_mode.h"

namespace {

// Mostly well-formed lines, from the input read as tokens: most bytes are a pair of
// digits (either case) and a space; the rest put in what a line should not hold.
std::string LineOf(const uint8_t* data, size_t size) {
  static const char kDigits[] = "0123456789ABCDEFabcdef";
  std::string line;
  for (size_t i = 0; i < size && line.size() < 255; ++i) {
    const uint8_t b = data[i];
    if (b < 200) {
      line += kDigits[b % 22];
      line += kDigits[(b / 22 + i) % 22];
      line += ' ';
      continue;
    }
    const char odd[] = {'\t', ' ', 'G', 'x', '\r', static_cast<char>(0xB9), '-', '\0'};
    switch (b % 10) {
      case 8:
        if (!line.empty()) line.pop_back();
        break;                                 // two pairs run together
      case 9: line += kDigits[b % 16]; break;  // a half byte
      default: line += odd[b % 8]; break;
    }
  }
  if (!line.empty() && line.back() == ' ' && size % 2) line.pop_back();
  line.resize(line.size() < 255 ? line.size() : 255);
  return line.c_str();  // the send line's text, read into 256 bytes
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line = LineOf(data, size);
  unsigned char out[kSendBufferSize];
  const int count = ParseHexLine(line.c_str(), out);
  FUZZ_CHECK(count >= -1 && count <= 85);
  if (count < 0) return 0;
  std::string again;
  char pair[4];
  for (int i = 0; i < count; ++i) {
    std::snprintf(pair, sizeof pair, i ? " %02X" : "%02X", out[i]);
    again += pair;
  }
  std::string upper = line;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (!upper.empty() && upper.back() == ' ') upper.pop_back();  // a trailing space is allowed
  FUZZ_CHECK(again == upper);
  for (int i = count; i < kSendBufferSize; ++i) FUZZ_CHECK(out[i] == 0);
  return 0;
}
