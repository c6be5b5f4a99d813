#include <doctest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "text/escapes.h"

using namespace std::string_literals;

namespace {

// The decoded bytes, or "-1" spelled out for the failure result.
std::string Decode(const std::string& in) {
  std::vector<unsigned char> out(in.size() + 1);
  const int count = DecodeEscapes(out.data(), in.c_str());
  if (count < 0) return "-1";
  return std::string(out.begin(), out.begin() + count);
}

}  // namespace

TEST_CASE("DecodeEscapes turns each escape into its byte, letters in either case") {
  struct Case {
    std::string in, bytes;
  };
  const Case cases[] = {
      {"a\\tb", "\x61\x09\x62"},
      {"\\\\", "\x5C"},
      {"\\N", "\x0A"},
      {"\\n", "\x0A"},
      {"\\a\\A\\b\\B\\f\\F", "\x07\x07\x08\x08\x0C\x0C"},
      {"\\r\\R\\t\\T\\v\\V", "\x0D\x0D\x09\x09\x0B\x0B"},
      {"\\x41", "\x41"},
      {"\\X4a", "\x4A"},
      {"\\xff", "\xFF"},
      {"\\x00", "\x00"s},
      {"\\x00\\x00z", "\x00\x00z"s},
      {"\\x414",
       "\x41"
       "4"},
      {"\\\\x41", "\\x41"},  // an escaped backslash, then plain text
      {"\\x41\\x42c\\\\", "ABc\\"},
      {"plain text, no escapes!", "plain text, no escapes!"},
      {"", ""},
  };
  for (const Case& c : cases) {
    CAPTURE(c.in);
    CHECK(Decode(c.in) == c.bytes);
  }
}

TEST_CASE("DecodeEscapes rejects the whole line for any invalid escape") {
  const char* const cases[] = {
      "\\x4", "\\xG1", "\\x:0", "\\x 1", "\\x4g", "\\x",           "ok\\xg0", "\\", "ab\\",
      "\\q",  "\\0",   "\\e",   "\\\"",  "\\'",   "good\\tbad\\e", "\\\\\\",  // escaped backslash,
                                                                              // then a lone one at
                                                                              // the end
  };
  for (const char* in : cases) {
    CAPTURE(in);
    CHECK(Decode(in) == "-1");
  }
}

TEST_CASE("HexPairToByte reads two digits, and gives a number for anything else") {
  struct Case {
    std::string pair;
    int value;
  };
  const Case cases[] = {
      {"41", 0x41}, {"af", 0xAF}, {"AF", 0xAF},   {"fF", 0xFF},
      {"00", 0x00}, {"09", 0x09}, {"4\0"s, 0x10},  // the NUL counts as 0xD0
      {"G0", 0x70},                                // G counts as 0x17
      {" 1", 0x01},                                // a space counts as 0xF0
  };
  for (const Case& c : cases) {
    CAPTURE(c.pair);
    CHECK(HexPairToByte(c.pair.data()) == c.value);
  }
}

TEST_CASE("ByteToHex writes two upper-case digits that read back as the byte") {
  const struct {
    unsigned char byte;
    const char* digits;
  } cases[] = {{0x00, "00"}, {0x0A, "0A"}, {0xAF, "AF"}, {0xFF, "FF"}, {0x1B, "1B"}};
  for (const auto& c : cases) {
    char out[3] = {'?', '?', '!'};
    ByteToHex(c.byte, out);
    CHECK(std::string(out, 2) == c.digits);
    CHECK(out[2] == '!');  // no terminator written
  }
  for (int b = 0; b < 256; ++b) {
    char out[2];
    ByteToHex(static_cast<unsigned char>(b), out);
    CAPTURE(b);
    CHECK(std::strchr("0123456789ABCDEF", out[0]) != nullptr);
    CHECK(std::strchr("0123456789ABCDEF", out[1]) != nullptr);
    CHECK(HexPairToByte(out) == b);
  }
}

TEST_CASE("DecodeEscapes on random text never writes more bytes than the text has") {
  std::mt19937 random(12345);
  const std::string alphabet = "\\\\\\xXntTq0419aAfFgG: ";
  for (int round = 0; round < 3000; ++round) {
    std::string in(random() % 12, ' ');
    for (char& c : in) c = alphabet[random() % alphabet.size()];
    std::vector<unsigned char> out(in.size() + 8, 0xEE);
    const int count = DecodeEscapes(out.data(), in.c_str());
    CAPTURE(in);
    CHECK(count >= -1);
    CHECK(count <= static_cast<int>(in.size()));
    for (size_t i = in.size(); i < out.size(); ++i) CHECK(out[i] == 0xEE);
    if (in.find('\\') == std::string::npos) CHECK(Decode(in) == in);
  }
}
