// The transcript: appends with the line-break and escape rules, resets to the banner.
#include "view/output_pane.h"

#include <string>

#include "base/app_state.h"
#include "rules/binary_mode.h"
#include "rules/texts.h"
#include "rules/transcript_text.h"

namespace {

// Bumped by every reset, so that an append notices a reset inside its own insertion.
unsigned resetCount = 0;

// A reset that the plan did not foresee (no memory, a limit that moved) costs the
// piece being inserted; it is inserted again after the banner, but not for ever.
constexpr int kInsertAttempts = 3;

// The code page does not change while the program runs: one table per mode.
const RenderWidths& WidthsOfMode() {
  static const RenderWidths plain = MakeRenderWidths(false, IsAnsiAlphaNumeric);
  static const RenderWidths advanced = MakeRenderWidths(true, IsAnsiAlphaNumeric);
  return IsAdvancedMode() ? advanced : plain;
}

size_t BannerLength() {
  static const size_t length = static_cast<size_t>(lstrlenA(BannerText()));
  return length;
}

size_t PaneLength() { return static_cast<size_t>(GetWindowTextLengthA(app.controls.outputPane)); }

size_t PaneLimit() {
  return static_cast<size_t>(SendMessageA(app.controls.outputPane, EM_GETLIMITTEXT, 0, 0));
}

// Positions past the end count as the end; any selection is dropped.
void MoveCaretToEnd() {
  SendMessageA(app.controls.outputPane, EM_SETSEL, static_cast<WPARAM>(-2),
               static_cast<LPARAM>(-2));
}

// text is NUL-terminated right after its length characters. One insertion when it
// fits; otherwise the pane is reset and gets the part that no later reset of this
// same append would wipe, so the pane ends as if it had been filled piece by piece.
void InsertAtEnd(const char* text, size_t length) {
  const size_t bannerLength = BannerLength();
  for (int attempt = 0; attempt < kInsertAttempts && length > 0; ++attempt) {
    const AppendPlan plan = PlanAppend(PaneLength(), length, PaneLimit(), bannerLength);
    if (plan.resetFirst) ResetTranscript();
    const size_t skip = plan.skip + (CutSplitsLineBreak(text, length, plan.skip) ? 1 : 0);
    text += skip;
    length -= skip;
    const unsigned resetsBefore = resetCount;
    MoveCaretToEnd();
    SendMessageA(app.controls.outputPane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
    if (resetCount == resetsBefore) return;
    // The pane reset itself inside the insertion; what of the piece survived is
    // unknown, so start it again after a bare banner.
    ResetTranscript();
  }
}

void ScrollToEnd() {
  const LRESULT lines = SendMessageA(app.controls.outputPane, EM_GETLINECOUNT, 0, 0);
  SendMessageA(app.controls.outputPane, EM_LINESCROLL, 0, lines);
}

void Rearm() {
  app.transcript.helpArmed = 1;
  app.transcript.statsArmed = 1;
}

void Queue(size_t length, const TranscriptBacklog::Render& render) {
  TranscriptBacklog& backlog = app.transcript.backlog;
  if (backlog.empty()) backlog.Begin(PaneLength(), PaneLimit(), BannerLength());
  backlog.Add(length, render);
  Rearm();
}

}  // namespace

bool IsAnsiAlphaNumeric(unsigned char byte) {
  return IsCharAlphaNumericA(static_cast<CHAR>(byte)) != FALSE;
}

const char* BannerText() {
  static const std::string banner = std::string(51, '-') + "\r\n" + "   " + kAppTitle + "\r\n" +
                                    std::string(15, ' ') + kHomePageHost + "\r\n" +
                                    std::string(51, '-') + "\r\n" + "\r\n" +
                                    "This software is provided without any warranty.\r\n"
                                    "In no event will the author be held liable for any damages "
                                    "arising from the use of this software.\r\n";
  return banner.c_str();
}

void AppendOutput(const char* text, int length) {
  ShowQueuedOutput();
  if (length == 0) length = lstrlenA(text);
  std::string shown;
  if (length > 0) RenderTranscriptText(text, static_cast<size_t>(length), WidthsOfMode(), shown);
  MoveCaretToEnd();  // drops any selection, even when nothing is shown
  InsertAtEnd(shown.c_str(), shown.size());
  ScrollToEnd();
  Rearm();
}

void ResetTranscript() {
  app.transcript.backlog.Clear();  // the reset would wipe it anyway
  ++resetCount;
  SetWindowTextA(app.controls.outputPane, BannerText());
  Rearm();
}

void QueueReceivedText(const char* bytes, int count) {
  if (count <= 0) return Rearm();
  const size_t size = static_cast<size_t>(count);
  const RenderWidths& widths = WidthsOfMode();
  const size_t length = CountTranscriptText(bytes, size, widths);
  Queue(length, [&](size_t from, std::string& out) {
    RenderTranscriptTail(bytes, size, widths, length, from, out);
  });
}

void QueueHexDump(const char* bytes, int count) {
  Queue(HexDumpLength(count),
        [&](size_t from, std::string& out) { AppendHexDumpTail(out, bytes, count, from); });
}

size_t QueuedOutputLength() { return app.transcript.backlog.text().size(); }
bool HasQueuedOutput() { return !app.transcript.backlog.empty(); }

void ShowQueuedOutput() {
  while (ShowQueuedOutputPart(static_cast<size_t>(-1))) {
  }
}

bool ShowQueuedOutputPart(size_t maxChars) {
  TranscriptBacklog& backlog = app.transcript.backlog;
  if (backlog.empty()) return false;
  bool resetFirst = false;
  const std::string text = backlog.TakeFront(maxChars, resetFirst);
  if (resetFirst) {
    // The banner and what follows it in one go: each change of the pane's text costs
    // a lot when a theme draws its scroll bars. It fits: the backlog keeps no more.
    ++resetCount;
    SetWindowTextA(app.controls.outputPane, (BannerText() + text).c_str());
    Rearm();
  } else {
    MoveCaretToEnd();
    InsertAtEnd(text.c_str(), text.size());
  }
  ScrollToEnd();
  return !backlog.empty();
}
