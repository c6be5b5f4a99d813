#include "session/counters.h"

#include <charconv>

#include "app/app_state.h"
#include "app/status_bar.h"
#include "app/texts.h"

char* FormatCount(int64_t count, char* text) {
  *std::to_chars(text, text + kCountTextSize - 1, count).ptr = '\0';  // always fits
  return text;
}

namespace {
void ShowCount(int part, const char* format, int64_t count) {
  char number[kCountTextSize];
  char text[48];
  wsprintfA(text, format, FormatCount(count, number));
  SetStatusText(part, text);
}
}  // namespace

void ShowSessionBytesIn() { ShowCount(kStatusIn, "In: %s bytes", app.session.counters().sessionIn); }
void ShowSessionBytesOut() { ShowCount(kStatusOut, "Out: %s bytes", app.session.counters().sessionOut); }
