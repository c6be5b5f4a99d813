// Binary mode's text rules: the parse of a hex line, the dump of a read, typed keys.
#include <doctest.h>

#include <cstring>
#include <string>

#include "text/binary_mode.h"

namespace {

std::string Dump(const std::string& bytes, int count) {
  std::string text;
  AppendHexDumpText(text, bytes.data(), count);
  return text;
}

// The bytes of line, or "malformed" for -1.
std::string Parse(const char* line) {
  unsigned char out[kSendBufferSize];
  std::memset(out, 0xEE, sizeof out);
  const int count = ParseHexLine(line, out);
  if (count < 0) return "malformed";
  for (int i = count; i < kSendBufferSize; ++i)
    if (out[i] != 0) FAIL("byte " << i << " after the parsed ones is not cleared");
  return std::string(reinterpret_cast<char*>(out), static_cast<size_t>(count));
}

}  // namespace

TEST_CASE("a hex line is read only when it is pairs of digits with single spaces") {
  struct Row {
    const char* line;
    std::string bytes;
  };
  const Row rows[] = {
      {"41", "A"},
      {"41 42 43", "ABC"},
      {"00 0A FF", std::string("\x00\x0A\xFF", 3)},
      {"7f aB", "\x7F\xAB"},  // lower case, as text that never met the entry rules may be
      {"41 ", "A"},
      {"", ""},
      // A half byte is no byte: what is echoed must be what is sent.
      {"41 4", "malformed"},
      {"41 42 4", "malformed"},
      // Everything else is refused whole: nothing of it may reach the wire.
      {"hello", "malformed"},
      {"4142", "malformed"},
      {"41x42", "malformed"},
      {"4", "malformed"},
      {"41  42", "malformed"},
      {" 41", "malformed"},
      {"41 4 ", "malformed"},
      {"41  ", "malformed"},
      {"41\t42", "malformed"},
      {"41 4G", "malformed"},
      {"41 G", "malformed"},
      {"0x41", "malformed"},
      {"41 42\r\n", "malformed"},
      {"41 \xB9\xB2", "malformed"},
  };
  for (const Row& row : rows) {
    CAPTURE(row.line);
    CHECK(Parse(row.line) == row.bytes);
  }
  // The longest line the send handler can read (255 characters) still fits.
  std::string full;
  for (int i = 0; i < 85; ++i) full += i ? " FE" : "FE";
  REQUIRE(full.size() == 254);
  CHECK(Parse(full.c_str()) == std::string(85, '\xFE'));
}

TEST_CASE("the dump of a read is one group per byte and a line break") {
  CHECK(Dump(std::string("\x00\x0A\xFF", 3), 3) == "00 0A FF \r\n");
  CHECK(Dump("A", 1) == "41 \r\n");
  CHECK(Dump("", 0) == "\r\n");
  CHECK(Dump("", -1) == "\r\n");  // a failed read
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string text = Dump(all, 256);
  CHECK(text.size() == 3 * 256 + 2);
  CHECK(text.substr(3 * 0xAB, 3) == "AB ");
  CHECK(text.substr(3 * 0x5C, 3) == "5C ");
  // A second read's dump goes after the first, which keeps its own line break.
  std::string two = "x";
  AppendHexDumpText(two, "\x01", 1);
  CHECK(two == "x01 \r\n");
}

TEST_CASE("typed characters are classified after upper-casing") {
  struct Row {
    unsigned typed;
    HexKey kind;
    unsigned character;
  };
  const Row rows[] = {
      {'0', HexKey::Digit, '0'},   {'9', HexKey::Digit, '9'},       {'a', HexKey::Digit, 'A'},
      {'f', HexKey::Digit, 'F'},   {'F', HexKey::Digit, 'F'},       {'g', HexKey::Other, 'G'},
      {'z', HexKey::Other, 'Z'},   {'\b', HexKey::Backspace, '\b'}, {' ', HexKey::Space, ' '},
      {',', HexKey::Other, ','},   {0x16, HexKey::Other, 0x16},     {0xC4, HexKey::Other, 0xC4},
      {0xE4, HexKey::Other, 0xE4},
  };
  for (const Row& row : rows) {
    CAPTURE(row.typed);
    const HexKeyPress key = ClassifyHexKey(row.typed);
    CHECK(key.kind == row.kind);
    CHECK(key.character == row.character);
  }
}
