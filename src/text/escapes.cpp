#include "text/escapes.h"

namespace {

// ASCII only, whatever the locale: escape letters and hex digits are plain ASCII.
unsigned char UpperAscii(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// Everything but A..F counts from '0', wrapping: G is 0x17, NUL 0xD0, space 0xF0.
unsigned DigitValue(char c) {
  const unsigned char u = UpperAscii(static_cast<unsigned char>(c));
  if (u >= 'A' && u <= 'F') return u - 'A' + 10u;
  return static_cast<unsigned char>(u - '0');
}

char HexDigit(unsigned value) {
  return static_cast<char>(value < 10 ? '0' + value : 'A' + (value - 10));
}

// Byte for the single-character escapes; -1 when c is none of them.
int SimpleEscape(unsigned char c) {
  switch (UpperAscii(c)) {
    case 'A': return 0x07;
    case 'B': return 0x08;
    case 'F': return 0x0C;
    case 'N': return 0x0A;
    case 'R': return 0x0D;
    case 'T': return 0x09;
    case 'V': return 0x0B;
    case '\\': return 0x5C;
    default: return -1;
  }
}

}  // namespace

bool IsHexDigit(char c) {
  const unsigned char u = UpperAscii(static_cast<unsigned char>(c));
  return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'F');
}

int DecodeEscapes(unsigned char* out, const char* in) {
  int k = 0;
  for (int i = 0; in[i] != '\0';) {
    if (in[i] != '\\') {
      out[k++] = static_cast<unsigned char>(in[i++]);
      continue;
    }
    const unsigned char letter = static_cast<unsigned char>(in[i + 1]);
    const int simple = SimpleEscape(letter);
    if (simple >= 0) {
      out[k++] = static_cast<unsigned char>(simple);
      i += 2;
    } else if (UpperAscii(letter) == 'X') {
      // The second digit is looked at only after the first, so a NUL stops the check.
      if (!IsHexDigit(in[i + 2]) || !IsHexDigit(in[i + 3])) return -1;
      out[k++] = HexPairToByte(in + i + 2);
      i += 4;
    } else {
      return -1;  // unknown letter, or the backslash ends the text
    }
  }
  return k;
}

unsigned char HexPairToByte(const char* pair) {
  return static_cast<unsigned char>(DigitValue(pair[0]) * 16 + DigitValue(pair[1]));
}

void ByteToHex(unsigned char byte, char* out) {
  out[0] = HexDigit(byte >> 4);
  out[1] = HexDigit(byte & 0x0F);
}
