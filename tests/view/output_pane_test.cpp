#include "support/harness.h"

#include <string>

#include "view/output_pane.h"

namespace {

const std::string kBanner =
    "---------------------------------------------------\r\n"
    "   Telvane - Kestrelink\r\n"
    "               telvane.example\r\n"
    "---------------------------------------------------\r\n"
    "\r\n"
    "This software is provided without any warranty.\r\n"
    "In no event will the author be held liable for any damages arising from the use of this "
    "software.\r\n";

size_t PaneLimit() {
  return static_cast<size_t>(SendMessageA(app.controls.outputPane, EM_GETLIMITTEXT, 0, 0));
}

// What the pane holds once the shown text of one append has gone in piece by piece:
// a full pane is reset to the banner before the next character, and when the last
// reset fell between a CR and its LF, the text after the banner starts after the LF.
std::string FilledPieceByPiece(std::string pane, const std::string& shown, size_t limit) {
  bool splitBreak = false;
  char previous = '\0';
  for (char c : shown) {
    if (pane.size() >= limit) {
      pane = kBanner;
      splitBreak = previous == '\r' && c == '\n';
    }
    pane += c;
    previous = c;
  }
  if (splitBreak) pane.erase(kBanner.size(), 1);
  return pane;
}

// Numbered lines ending in a bare LF, about `length` bytes in all.
std::string NumberedLines(size_t length, const char* tag) {
  std::string text;
  for (int n = 0; text.size() < length; ++n)
    text += std::string(tag) + " " + std::to_string(n) + " the quick brown fox\n";
  return text;
}

std::string WithCrLf(const std::string& lfText) {
  std::string shown;
  for (char c : lfText) shown += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return shown;
}

// Sits in front of the pane for one test: counts what reaches it, and can act like a
// pane that runs out of memory or misreports its limit.
class PaneSpy {
 public:
  PaneSpy() {
    spy = this;
    previous_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(app.controls.outputPane, GWLP_WNDPROC,
                                                            reinterpret_cast<LONG_PTR>(&Proc)));
  }
  ~PaneSpy() {
    SetWindowLongPtrA(app.controls.outputPane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    spy = nullptr;
  }

  int insertions = 0;
  int textsSet = 0;
  int insertionsWithoutMemory = 0;  // these report EN_ERRSPACE and insert nothing
  int limitsOverstated = 0;         // these answers to EM_GETLIMITTEXT add 1000

 private:
  static LRESULT CALLBACK Proc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT) ++spy->textsSet;
    if (message == EM_REPLACESEL) {
      ++spy->insertions;
      if (spy->insertionsWithoutMemory > 0) {
        --spy->insertionsWithoutMemory;
        SendMessageA(GetParent(pane), WM_COMMAND, MAKEWPARAM(kOutputPaneId, EN_ERRSPACE),
                     reinterpret_cast<LPARAM>(pane));
        return 0;
      }
    }
    const LRESULT result = CallWindowProcA(spy->previous_, pane, message, wParam, lParam);
    if (message == EM_GETLIMITTEXT && spy->limitsOverstated > 0) {
      --spy->limitsOverstated;
      return result + 1000;
    }
    return result;
  }

  static PaneSpy* spy;
  WNDPROC previous_;
};
PaneSpy* PaneSpy::spy = nullptr;

}  // namespace

TEST_CASE("the transcript starts as the banner, and clear brings back exactly the banner") {
  FreshWindow w;
  CHECK(BannerText() == kBanner);
  CHECK(Transcript() == kBanner);

  AppendOutput("\r\n=== Connection closed by remote host ( x )\r\n");
  app.transcript.helpArmed = 0;
  app.transcript.statsArmed = 0;
  SendMessageA(app.controls.clearButton, BM_CLICK, 0, 0);
  CHECK(Transcript() == kBanner);
  CHECK(app.transcript.helpArmed == 1);
  CHECK(app.transcript.statsArmed == 1);
  AppendOutput("next");
  CHECK(Transcript() == kBanner + "next");
}

TEST_CASE("clicks and full and out-of-memory notices of clear or the pane reset it, others don't") {
  FreshWindow w;
  const struct {
    int id, code;
    Phase state;
    bool resets;
  } cases[] = {
      {kOutputPaneId, EN_MAXTEXT, Phase::Idle, true},
      {kOutputPaneId, EN_ERRSPACE, Phase::Idle, true},
      {kOutputPaneId, BN_CLICKED, Phase::Idle, true},
      {kOutputPaneId, BN_CLICKED, Phase::Connected, true},
      {kOutputPaneId, EN_MAXTEXT, Phase::Connected, true},
      {kClearButtonId, BN_CLICKED, Phase::Idle, true},
      {kClearButtonId, EN_MAXTEXT, Phase::Idle, true},
      {kClearButtonId, EN_ERRSPACE, Phase::Idle, true},
      {kClearButtonId, EN_ERRSPACE, Phase::Connecting, true},
      {kOutputPaneId, EN_CHANGE, Phase::Idle, false},
      {kOutputPaneId, EN_UPDATE, Phase::Idle, false},
      {kSendLineId, EN_MAXTEXT, Phase::Idle, false},
      {kSendLineId, BN_CLICKED, Phase::Idle, false},
  };
  for (const auto& c : cases) {
    CAPTURE(c.id);
    CAPTURE(c.code);
    CAPTURE(static_cast<int>(c.state));
    SetSessionPhase(c.state);
    AppendOutput("text");
    app.transcript.helpArmed = 0;
    app.transcript.statsArmed = 0;
    const std::string before = Transcript();
    CHECK(SendMessageA(w.hwnd(), WM_COMMAND, MAKEWPARAM(c.id, c.code), 0) == 0);
    CHECK(Transcript() == (c.resets ? kBanner : before));
    CHECK(app.transcript.helpArmed == (c.resets ? 1 : 0));
    CHECK(app.transcript.statsArmed == (c.resets ? 1 : 0));
  }
}

TEST_CASE("line breaks become CR LF in the pane, also where a CR and an LF come in two calls") {
  FreshWindow w;
  AppendOutput("abc\r");
  AppendOutput("\ndef");
  CHECK(TranscriptTail() == "abc\r\r\ndef");

  ResetTranscript();
  AppendOutput("a\nb");
  AppendOutput("c\rd");
  AppendOutput("e\r\nf\n\r");
  CHECK(TranscriptTail() == "a\r\nbc\r\nde\r\nf\r\n\r");
}

TEST_CASE("received bytes show by mode: a NUL hides nothing, Advanced escapes control bytes") {
  FreshWindow w;
  const char received[] = "AB\0CD\r\nEF\x1B\\t";
  const struct {
    TransferMode mode;
    const char* shown;
  } cases[] = {
      {TransferMode::Ascii, "ABCD\r\nEF\x1B\\t"},
      {TransferMode::Binary, "ABCD\r\nEF\x1B\\t"},
      {TransferMode::Advanced, "AB\\x00CD\r\nEF\\x1B\\t"},
  };
  for (const auto& c : cases) {
    SetTransferMode(c.mode);
    ResetTranscript();
    AppendOutput(received, 12);
    CHECK(TranscriptTail() == c.shown);
  }

  SetTransferMode(TransferMode::Advanced);
  ResetTranscript();
  AppendOutput("A\tB\x7F\x07");
  CHECK(TranscriptTail() == "A\\tB\\x7F\\a");
  if (GetACP() == 1252) {  // e acute is a letter there, the currency sign is not
    ResetTranscript();
    AppendOutput("\xE9\xA4");
    CHECK(TranscriptTail() == "\xE9\\xA4");
  }
}

TEST_CASE("lengths: 0 reads to the NUL, a positive one is exact, a negative one shows nothing") {
  FreshWindow w;
  const struct {
    const char* text;
    int length;
    const char* shown;
  } cases[] = {
      {"abcdef", 0, "abcdef"}, {"abcdef", 3, "abc"}, {"abc\r\ndef", 4, "abc\r"},
      {"abcdef", -1, ""},      {"", 0, ""},
  };
  for (const auto& c : cases) {
    CAPTURE(c.text);
    CAPTURE(c.length);
    ResetTranscript();
    app.transcript.helpArmed = 0;
    app.transcript.statsArmed = 0;
    AppendOutput(c.text, c.length);
    CHECK(TranscriptTail() == c.shown);
    CHECK(app.transcript.helpArmed == 1);  // every append re-arms both, even one that shows nothing
    CHECK(app.transcript.statsArmed == 1);
  }
}

TEST_CASE("an append scrolls the end of the transcript into view") {
  FreshWindow w;
  AppendOutput(NumberedLines(8000, "line").c_str());
  AppendOutput("last");
  CHECK(SendMessageA(app.controls.outputPane, EM_GETFIRSTVISIBLELINE, 0, 0) > 0);
  const LRESULT where = SendMessageA(app.controls.outputPane, EM_POSFROMCHAR,
                                     GetWindowTextLengthA(app.controls.outputPane) - 1, 0);
  RECT client;
  GetClientRect(app.controls.outputPane, &client);
  const int y = static_cast<short>(HIWORD(where));
  CHECK(y >= 0);
  CHECK(y < client.bottom);
}

TEST_CASE("a pane filled exactly to its limit keeps its text until the next append") {
  FreshWindow w;
  const size_t limit = PaneLimit();
  REQUIRE(limit > kBanner.size() + 100);
  std::string fill = WithCrLf(NumberedLines(limit, "fill"));
  fill.resize(limit - kBanner.size());  // a CR cut from its LF stays alone at the end
  AppendOutput(fill.c_str());
  CHECK(Transcript() == kBanner + fill);
  AppendOutput("x");
  CHECK(Transcript() == kBanner + "x");
}

TEST_CASE("an append that overflows the pane continues after the banner, nothing of it lost") {
  FreshWindow w;
  const size_t limit = PaneLimit();
  std::string fill = WithCrLf(NumberedLines(limit, "fill"));
  fill.resize(limit - kBanner.size() - 50);
  AppendOutput(fill.c_str());
  const std::string text = NumberedLines(300, "over");
  PaneSpy spy;
  AppendOutput(text.c_str());
  CHECK(Transcript() == FilledPieceByPiece(kBanner + fill, WithCrLf(text), limit));
  CHECK(TranscriptTail().size() == WithCrLf(text).size() - 50);
  CHECK(spy.insertions == 1);
}

TEST_CASE("a reset inside an insertion that the append did not foresee loses none of it") {
  FreshWindow w;
  const size_t limit = PaneLimit();
  std::string fill = WithCrLf(NumberedLines(limit, "fill"));
  fill.resize(limit - kBanner.size() - 50);
  const std::string text = NumberedLines(300, "next");

  SUBCASE("the pane runs out of memory once") {
    AppendOutput("older text\n");
    PaneSpy spy;
    spy.insertionsWithoutMemory = 1;
    AppendOutput(text.c_str());
    CHECK(Transcript() == kBanner + WithCrLf(text));
  }
  SUBCASE("the pane fills up earlier than its limit said: the real cut and EN_MAXTEXT") {
    AppendOutput(fill.c_str());
    PaneSpy spy;
    spy.limitsOverstated = 1;
    AppendOutput(text.c_str());
    CHECK(Transcript() == kBanner + WithCrLf(text));
    CHECK(spy.textsSet >= 2);  // the pane's own reset, then the clean one
  }
  SUBCASE("a pane that never takes anything does not hold the append up for ever") {
    PaneSpy spy;
    spy.insertionsWithoutMemory = 1000;
    AppendOutput(text.c_str());
    CHECK(Transcript() == kBanner);
    CHECK(spy.insertions <= 5);
    CHECK(app.transcript.helpArmed == 1);
  }
}

TEST_CASE("a 100 KB append crossing the limit several times ends as piece-by-piece filling") {
  FreshWindow w;
  const size_t limit = PaneLimit();
  AppendOutput("start\n");
  const std::string before = Transcript();
  const std::string text = NumberedLines(100 * 1024, "bulk");
  const std::string shown = WithCrLf(text);
  REQUIRE(shown.size() > 3 * limit);

  PaneSpy spy;
  AppendOutput(text.c_str(), static_cast<int>(text.size()));
  const std::string expected = FilledPieceByPiece(before, shown, limit);
  CHECK(Transcript().size() == expected.size());
  CHECK(Transcript() == expected);
  CHECK(expected.compare(expected.size() - 40, 40, shown, shown.size() - 40, 40) == 0);
  CHECK(spy.insertions == 1);  // one insertion and one reset, however many pages it spans
  CHECK(spy.textsSet == 1);
}

TEST_CASE("100 KB in small appends crosses the limit at every kind of boundary") {
  FreshWindow w;
  const size_t limit = PaneLimit();
  std::string expected = Transcript();
  std::string text = NumberedLines(100 * 1024, "small");
  for (size_t at = 0, step = 1; at < text.size(); at += step, step = step % 97 + 13) {
    const std::string piece = text.substr(at, step);
    AppendOutput(piece.c_str(), static_cast<int>(piece.size()));
    // Pieces cut between CR and LF would change the rendering; these have no CR.
    expected = FilledPieceByPiece(expected, WithCrLf(piece), limit);
  }
  CHECK(Transcript() == expected);
}

TEST_CASE("a reset never leaves the LF of a split line break at the top of the pane") {
  FreshWindow w;
  const size_t limit = PaneLimit();
  const size_t page = limit - kBanner.size();
  for (size_t shift = 0; shift < 3; ++shift) {
    CAPTURE(shift);
    ResetTranscript();
    // The last reset falls between a CR and its LF, before the CR, after the LF.
    std::string shown(2 * page + 10, 'x');
    const size_t cr = 2 * page - 1 + (shift == 1 ? 1 : 0) - (shift == 2 ? 1 : 0);
    shown.replace(cr, 2, "\r\n");
    shown += "tail";
    AppendOutput(shown.c_str(), static_cast<int>(shown.size()));
    const std::string tail = TranscriptTail();
    CHECK(Transcript() == FilledPieceByPiece(kBanner, shown, limit));
    CHECK(tail.compare(tail.size() - 4, 4, "tail") == 0);
    CHECK(tail[0] != '\n');
  }
}
