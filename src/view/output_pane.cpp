// The transcript: appends with the line-break and escape rules, resets to the banner.
#include "view/output_pane.h"

#include <string>

#include "base/app_state.h"
#include "text/binary_mode.h"
#include "text/texts.h"
#include "text/transcript_text.h"

namespace {

// Bumped by every reset, so that an append notices a reset inside its own insertion.
unsigned resetCount = 0;

// A reset that the plan did not foresee (no memory, a limit that moved) costs the
// piece being inserted; it is inserted again after the banner, but not for ever.
constexpr int kInsertAttempts = 3;

// The code page does not change while the program runs: one table per mode.
const RenderWidths& WidthsOfMode(TransferMode mode) {
  static const RenderWidths plain = MakeRenderWidths(false, IsAnsiAlphaNumeric);
  static const RenderWidths advanced = MakeRenderWidths(true, IsAnsiAlphaNumeric);
  return mode == TransferMode::Advanced ? advanced : plain;
}

size_t BannerLength() {
  static const size_t length = static_cast<size_t>(lstrlenA(BannerText()));
  return length;
}

// The pane and what belongs to it: the one place this file reaches for the record.
struct Pane {
  HWND edit;
  TranscriptState& state;
};
Pane ThePane() { return {app.controls.outputPane, app.transcript}; }

size_t PaneLength(HWND pane) { return static_cast<size_t>(GetWindowTextLengthA(pane)); }

size_t PaneLimit(HWND pane) {
  return static_cast<size_t>(SendMessageA(pane, EM_GETLIMITTEXT, 0, 0));
}

// Positions past the end count as the end; any selection is dropped.
void MoveCaretToEnd(HWND pane) {
  SendMessageA(pane, EM_SETSEL, static_cast<WPARAM>(-2), static_cast<LPARAM>(-2));
}

// text is NUL-terminated right after its length characters. One insertion when it
// fits; otherwise the pane is reset and gets the part that no later reset of this
// same append would wipe, so the pane ends as if it had been filled piece by piece.
void InsertAtEnd(HWND pane, const char* text, size_t length) {
  const size_t bannerLength = BannerLength();
  for (int attempt = 0; attempt < kInsertAttempts && length > 0; ++attempt) {
    const AppendPlan plan = PlanAppend(PaneLength(pane), length, PaneLimit(pane), bannerLength);
    if (plan.resetFirst) ResetTranscript();
    const size_t skip = plan.skip + (CutSplitsLineBreak(text, length, plan.skip) ? 1 : 0);
    text += skip;
    length -= skip;
    const unsigned resetsBefore = resetCount;
    MoveCaretToEnd(pane);
    SendMessageA(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
    if (resetCount == resetsBefore) return;
    // The pane reset itself inside the insertion; what of the piece survived is
    // unknown, so start it again after a bare banner.
    ResetTranscript();
  }
}

// Replacing the selected whole leaves the caret at the end, where the pane scrolls
// anyway: the scroll bars change once, not once for the text and again for the scroll.
void ReplaceAll(HWND pane, const std::string& text) {
  if (text.size() > PaneLimit(pane)) {  // a limit lowered since the backlog was planned
    SetWindowTextA(pane, text.c_str());
    return;
  }
  SendMessageA(pane, EM_SETSEL, 0, -1);
  SendMessageA(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void ScrollToEnd(HWND pane) {
  const LRESULT lines = SendMessageA(pane, EM_GETLINECOUNT, 0, 0);
  SendMessageA(pane, EM_LINESCROLL, 0, lines);
}

// Anything written to the transcript lets help and statistics be printed again.
void Rearm(TranscriptState& state) {
  state.helpArmed = 1;
  state.statsArmed = 1;
}

void Queue(size_t length, const TranscriptBacklog::Render& render) {
  const Pane pane = ThePane();
  TranscriptBacklog& backlog = pane.state.backlog;
  if (backlog.empty()) backlog.Begin(PaneLength(pane.edit), PaneLimit(pane.edit), BannerLength());
  backlog.Add(length, render);
  Rearm(pane.state);
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

void AppendOutput(const char* text, int length) { AppendOutput(text, length, app.session.mode()); }

void AppendOutput(const char* text, int length, TransferMode mode) {
  ShowQueuedOutput();
  if (length == 0) length = lstrlenA(text);
  std::string shown;
  if (length > 0)
    RenderTranscriptText(text, static_cast<size_t>(length), WidthsOfMode(mode), shown);
  const Pane pane = ThePane();
  MoveCaretToEnd(pane.edit);  // drops any selection, even when nothing is shown
  InsertAtEnd(pane.edit, shown.c_str(), shown.size());
  ScrollToEnd(pane.edit);
  Rearm(pane.state);
}

void ResetTranscript() {
  const Pane pane = ThePane();
  pane.state.backlog.Clear();  // the reset would wipe it anyway
  ++resetCount;
  SetWindowTextA(pane.edit, BannerText());
  Rearm(pane.state);
}

void QueueReceivedText(const char* bytes, int count) {
  QueueReceivedText(bytes, count, app.session.mode());
}

void QueueReceivedText(const char* bytes, int count, TransferMode mode) {
  if (count <= 0) return Rearm(ThePane().state);
  const size_t size = static_cast<size_t>(count);
  const RenderWidths& widths = WidthsOfMode(mode);
  const size_t length = CountTranscriptText(bytes, size, widths);
  Queue(length, [&](size_t from, std::string& out) {
    RenderTranscriptTail(bytes, size, widths, length, from, out);
  });
}

void QueueHexDump(const char* bytes, int count) {
  Queue(HexDumpLength(count),
        [&](size_t from, std::string& out) { AppendHexDumpTail(out, bytes, count, from); });
}

size_t QueuedOutputLength() { return ThePane().state.backlog.text().size(); }
bool HasQueuedOutput() { return !ThePane().state.backlog.empty(); }

void ShowQueuedOutput() {
  while (ShowQueuedOutputPart(static_cast<size_t>(-1))) {
  }
}

void ShowQueuedOutputKeepingSelection() {
  const HWND pane = ThePane().edit;
  DWORD start = 0, end = 0;
  SendMessageA(pane, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const unsigned resetsBefore = resetCount;
  ShowQueuedOutput();
  // What was selected is still where it was, unless the pane went back to the banner.
  if (resetCount == resetsBefore) SendMessageA(pane, EM_SETSEL, start, end);
}

bool ShowQueuedOutputPart(size_t maxChars) {
  const Pane pane = ThePane();
  TranscriptBacklog& backlog = pane.state.backlog;
  if (backlog.empty()) return false;
  bool resetFirst = false;
  const std::string text = backlog.TakeFront(maxChars, resetFirst);
  if (resetFirst) {
    // The banner and what follows it in one go: each change of the pane's text costs
    // a lot when a theme draws its scroll bars. It fits: the backlog keeps no more.
    ++resetCount;
    ReplaceAll(pane.edit, BannerText() + text);
    Rearm(pane.state);
  } else {
    MoveCaretToEnd(pane.edit);
    InsertAtEnd(pane.edit, text.c_str(), text.size());
  }
  ScrollToEnd(pane.edit);
  return !backlog.empty();
}
