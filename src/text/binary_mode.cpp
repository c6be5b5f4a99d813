#include "text/binary_mode.h"

#include <cstring>

#include "text/escapes.h"

HexKeyPress ClassifyHexKey(unsigned character) {
  // As a signed byte, so that everything from 0x80 up is simply "other".
  signed char c = static_cast<signed char>(character & 0xFF);
  if (c >= 'a' && c <= 'z') c = static_cast<signed char>(c - 'a' + 'A');
  const unsigned upper = static_cast<unsigned char>(c);
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) return {HexKey::Digit, upper};
  if (c == '\b') return {HexKey::Backspace, upper};
  if (c == ' ') return {HexKey::Space, upper};
  return {HexKey::Other, upper};
}

int CountHexDigits(const char* line, AlphaNumericTest isAlphaNumeric) {
  int digits = 0;
  for (const char* p = line; *p; ++p)
    if (isAlphaNumeric(static_cast<unsigned char>(*p))) ++digits;
  return digits;
}

int ParseHexLine(const char* line, unsigned char* out) {
  std::memset(out, 0, kSendBufferSize);
  if (line[0] == '\0') return 0;
  int count = 0;
  const char* p = line;
  while (count < kSendBufferSize && IsHexDigit(p[0]) && IsHexDigit(p[1])) {
    out[count++] = HexPairToByte(p);
    p += 2;
    if (*p != ' ') break;
    ++p;
  }
  return count > 0 && *p == '\0' ? count : -1;
}

void AppendHexDumpText(std::string& text, const char* bytes, int count) {
  const size_t start = text.size();
  const size_t groups = count > 0 ? static_cast<size_t>(count) : 0;
  text.resize(start + 3 * groups + 2);
  char* out = &text[start];
  for (size_t i = 0; i < groups; ++i, out += 3) {
    ByteToHex(static_cast<unsigned char>(bytes[i]), out);
    out[2] = ' ';
  }
  out[0] = '\r';
  out[1] = '\n';
}

size_t HexDumpLength(int count) { return 3 * static_cast<size_t>(count > 0 ? count : 0) + 2; }

void AppendHexDumpTail(std::string& text, const char* bytes, int count, size_t from) {
  const size_t length = HexDumpLength(count);
  if (from >= length) return;
  const size_t first = from / 3;  // at most count: the closing CR LF is one more group
  const size_t start = text.size();
  AppendHexDumpText(text, bytes + first, count - static_cast<int>(first));
  text.erase(start, from - 3 * first);
}
