#include <doctest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "rules/random_reads.h"
#include "text/binary_mode.h"
#include "text/escapes.h"
#include "text/transcript_text.h"

using namespace std::string_literals;

namespace {

// Roughly code page 1252: the accented letters from 0xC0 up, bar the two signs.
bool Latin1Letters(unsigned char byte) { return byte >= 0xC0 && byte != 0xD7 && byte != 0xF7; }

std::string Render(const std::string& text, bool advanced, AlphaNumericTest test = Latin1Letters) {
  std::string out;
  RenderTranscriptText(text.data(), text.size(), MakeRenderWidths(advanced, test), out);
  return out;
}

std::string WithoutLineBreaks(std::string text) {
  std::string kept;
  for (char c : text)
    if (c != '\r' && c != '\n') kept += c;
  return kept;
}

}  // namespace

TEST_CASE("lone CR and lone LF become CR LF in every mode; a last CR stays alone") {
  struct Case {
    std::string in, shown;
  };
  const Case cases[] = {
      {"abc", "abc"},
      {"a\nb", "a\r\nb"},
      {"a\rb", "a\r\nb"},
      {"a\r\nb", "a\r\nb"},
      {"a\n\rb", "a\r\n\r\nb"},
      {"abc\r", "abc\r"},
      {"\nabc", "\r\nabc"},
      {"\r", "\r"},
      {"\n", "\r\n"},
      {"\r\r", "\r\n\r"},
      {"\n\n", "\r\n\r\n"},
      {"\r\r\n", "\r\n\r\n"},
      {"\r\n\r\n", "\r\n\r\n"},
      {"a\\tb", "a\\tb"},  // a typed backslash is no escape and is not doubled
      {"", ""},
  };
  for (const Case& c : cases) {
    CAPTURE(c.in);
    CHECK(Render(c.in, false) == c.shown);
    CHECK(Render(c.in, true) == c.shown);
  }
}

TEST_CASE("outside Advanced mode control and high bytes pass raw and a NUL hides nothing") {
  struct Case {
    std::string in, shown;
  };
  const Case cases[] = {
      {"AB\0CD\r\nEF"s, "ABCD\r\nEF"},
      {"\0\0"s, ""},
      {"\0abc"s, "abc"},
      {"\r\0\n"s, "\r\n\r\n"},  // the NUL parts CR from LF: both are lone
      {"\x01\x07\x1B\x7F\x80\xA4\xE9\xFF", "\x01\x07\x1B\x7F\x80\xA4\xE9\xFF"},
  };
  for (const Case& c : cases) {
    CAPTURE(c.in);
    CHECK(Render(c.in, false) == c.shown);
  }
}

TEST_CASE("Advanced mode shows control bytes and non-letters from 0x7F up as escapes") {
  struct Case {
    std::string in, shown;
  };
  const Case cases[] = {
      {"A\tB", "A\\tB"},
      {"\0"s, "\\x00"},
      {"\x7F", "\\x7F"},
      {"\x1B", "\\x1B"},
      {"\x07\x08\x0B\x0C", "\\a\\b\\v\\f"},
      {"\x01\x06\x0E\x1F", "\\x01\\x06\\x0E\\x1F"},
      {"AB\0CD\r\nEF"s, "AB\\x00CD\r\nEF"},
      {"a\rb\nc\r\n\r", "a\r\nb\r\nc\r\n\r"},  // line breaks are never escaped
      {"\\t\t", "\\t\\t"},
      {"\xE9\xC0\xFF", "\xE9\xC0\xFF"},  // letters of the code page
      {"\xA4\x80\xD7\xBF", "\\xA4\\x80\\xD7\\xBF"},
      {" ~09azAZ", " ~09azAZ"},
  };
  for (const Case& c : cases) {
    CAPTURE(c.in);
    CHECK(Render(c.in, true) == c.shown);
  }
}

TEST_CASE("a given length is honoured, even where a NUL or an LF follows in memory") {
  const char text[] = "abc\r\ndef";
  std::string out;
  RenderTranscriptText(text, 3, MakeRenderWidths(false, Latin1Letters), out);
  CHECK(out == "abc");
  out.clear();
  RenderTranscriptText(text, 4, MakeRenderWidths(false, Latin1Letters), out);
  CHECK(out == "abc\r");  // a CR in the last position, not doubled
  out = "kept";
  RenderTranscriptText(text, 0, MakeRenderWidths(true, Latin1Letters), out);
  CHECK(out == "kept");
}

TEST_CASE("every escape text that Advanced mode writes decodes back to its byte") {
  for (int b = 0; b < 256; ++b) {
    if (b == '\r' || b == '\n' || b == '\\') continue;  // never escaped
    const std::string shown = Render(std::string(1, static_cast<char>(b)), true, Latin1Letters);
    std::vector<unsigned char> bytes(shown.size() + 1);
    CAPTURE(b);
    REQUIRE(DecodeEscapes(bytes.data(), shown.c_str()) == 1);
    CHECK(bytes[0] == b);
  }
}

TEST_CASE("random bytes: nothing is lost, and line breaks always come as CR LF") {
  std::mt19937 random(2024);
  for (int round = 0; round < 2000; ++round) {
    std::string in(random() % 40, '\0');
    for (char& c : in) {
      // Mostly the bytes that matter here, some of anything.
      const char special[] = {'\r', '\n', '\0', '\\', '\t', 'a', '\x1B', '\x7F', '\xE9', '\xA4'};
      c = random() % 3 ? special[random() % sizeof special] : static_cast<char>(random());
    }
    CAPTURE(in);
    for (bool advanced : {false, true}) {
      const std::string shown = Render(in, advanced);
      for (size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == '\n') CHECK((i > 0 && shown[i - 1] == '\r'));
        if (shown[i] == '\r' && i + 1 < shown.size()) CHECK(shown[i + 1] == '\n');
        if (advanced && shown[i] != '\r' && shown[i] != '\n')
          CHECK(static_cast<unsigned char>(shown[i]) >= 0x20);
      }
      CHECK(shown.find('\0') == std::string::npos);
      std::string expected = WithoutLineBreaks(in);
      if (!advanced) {
        expected.erase(std::remove(expected.begin(), expected.end(), '\0'), expected.end());
        CHECK(WithoutLineBreaks(shown) == expected);
      } else if (in.find('\\') == std::string::npos) {
        const std::string text = WithoutLineBreaks(shown);
        std::vector<unsigned char> bytes(text.size() + 1);
        const int count = DecodeEscapes(bytes.data(), text.c_str());
        CHECK(std::string(bytes.begin(), bytes.begin() + (count < 0 ? 0 : count)) == expected);
      }
    }
  }
}

namespace {

// The pane filled one character at a time: a full pane is reset to the banner
// before the next character goes in.
AppendPlan PieceByPiece(size_t paneLength, size_t textLength, size_t limit, size_t bannerLength) {
  AppendPlan plan = {false, 0};
  size_t length = paneLength;
  for (size_t i = 0; i < textLength; ++i) {
    if (length >= limit) plan = {true, i}, length = bannerLength;
    ++length;
  }
  return plan;
}

}  // namespace

TEST_CASE("an append that overflows the pane keeps only what the last reset leaves") {
  struct Case {
    size_t pane, text, limit, banner;
    bool resetFirst;
    size_t skip;
  };
  const Case cases[] = {
      {10, 0, 100, 10, false, 0},
      {10, 90, 100, 10, false, 0},   // fills the pane exactly
      {10, 91, 100, 10, true, 90},   // one character over: it starts the next page
      {100, 1, 100, 10, true, 0},    // a full pane resets before anything goes in
      {120, 5, 100, 10, true, 0},    // a pane already past its limit too
      {50, 140, 100, 10, true, 50},  // the rest fills the page after the banner exactly
      {50, 141, 100, 10, true, 140},
      {50, 327, 100, 10, true, 320},  // three more pages wiped, seven characters stay
      {10, 3, 10, 10, true, 2},       // a banner at the limit: still finite
  };
  for (const Case& c : cases) {
    CAPTURE(c.pane);
    CAPTURE(c.text);
    const AppendPlan plan = PlanAppend(c.pane, c.text, c.limit, c.banner);
    CHECK(plan.resetFirst == c.resetFirst);
    CHECK(plan.skip == c.skip);
  }

  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    const size_t limit = 1 + random() % 60, banner = random() % 20;
    const size_t pane = random() % (limit + 10), text = random() % 200;
    CAPTURE(limit);
    CAPTURE(banner);
    CAPTURE(pane);
    CAPTURE(text);
    const AppendPlan expected = PieceByPiece(pane, text, limit, banner);
    const AppendPlan plan = PlanAppend(pane, text, limit, banner);
    CHECK(plan.resetFirst == expected.resetFirst);
    CHECK(plan.skip == expected.skip);
  }
}

TEST_CASE("counting a rendering, and rendering only its tail, agree with rendering it all") {
  std::mt19937 random(99);
  for (int round = 0; round < 3000; ++round) {
    const std::string text = RandomRead(random);
    for (bool advanced : {false, true}) {
      const RenderWidths widths = MakeRenderWidths(advanced, Latin1Letters);
      std::string all;
      RenderTranscriptText(text.data(), text.size(), widths, all);
      const size_t total = CountTranscriptText(text.data(), text.size(), widths);
      REQUIRE(total == all.size());
      for (size_t from : {size_t{0}, total / 3, total - total / 7, total, total + 2}) {
        std::string tail = "x";
        RenderTranscriptTail(text.data(), text.size(), widths, total, from, tail);
        CHECK(tail == "x" + (from < total ? all.substr(from) : std::string()));
      }
    }
    std::string dump;
    AppendHexDumpText(dump, text.data(), static_cast<int>(text.size()));
    REQUIRE(HexDumpLength(static_cast<int>(text.size())) == dump.size());
    const size_t from = random() % (dump.size() + 1);
    std::string tail;
    AppendHexDumpTail(tail, text.data(), static_cast<int>(text.size()), from);
    CHECK(tail == dump.substr(from));
  }
}
