#include "view/status_parts.h"

#include "base/app_state.h"
#include "base/status_bar.h"
#include "rules/counts.h"
#include "rules/texts.h"

namespace {
void ShowCount(int part, const char* format, int64_t count) {
  char number[kCountTextSize];
  char text[48];
  wsprintfA(text, format, FormatCount(count, number));
  SetStatusText(part, text);
}
}  // namespace

void ShowTransferMode() { SetStatusText(kStatusMode, ModeRowOf(CurrentTransferMode()).statusText); }

void ShowProtocol() {
  SetStatusText(kStatusProtocol, app.choices.useTcp ? kStatusTcp : kStatusUdp);
}

void ShowSessionBytesIn() {
  ShowCount(kStatusIn, "In: %s bytes", app.session.counters().sessionIn);
}

void ShowSessionBytesOut() {
  ShowCount(kStatusOut, "Out: %s bytes", app.session.counters().sessionOut);
}
