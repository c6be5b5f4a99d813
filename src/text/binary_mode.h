// Binary mode: the rules of a hex line, its parse, the hex dump. Pure: no window calls.
#pragma once

#include <string>

#include "text/limits.h"
#include "text/transcript_text.h"

// What a typed character is to the entry rules, after upper-casing.
enum class HexKey { Digit, Backspace, Space, Other };
struct HexKeyPress {
  HexKey kind;
  unsigned character;  // upper-cased
};
// character: a WM_CHAR's code, of which only the low byte counts.
HexKeyPress ClassifyHexKey(unsigned character);
// Letters and digits in line, as the rules count them: an even count is whole bytes.
int CountHexDigits(const char* line, AlphaNumericTest isAlphaNumeric);

// Reads a hex line into out, which holds kSendBufferSize bytes and is cleared first.
// A hex line is pairs of hex digits (either case) separated by single spaces, and
// may end in a space. Returns the number of bytes (0 for the empty line), or -1 for
// any other text, a half byte at the end included: what is echoed is what is sent.
int ParseHexLine(const char* line, unsigned char* out);

// The dump of one read: "XY " for each of count bytes (none when count <= 0),
// then a line break. Appended to text, which may already hold something.
void AppendHexDumpText(std::string& text, const char* bytes, int count);
// Length of that dump, and its characters [from, length) alone, appended to text.
size_t HexDumpLength(int count);
void AppendHexDumpTail(std::string& text, const char* bytes, int count, size_t from);
