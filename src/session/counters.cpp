#include "session/counters.h"

#include "app/app_state.h"
#include "app/status_bar.h"
#include "app/texts.h"

char* FormatCount(int64_t count, char* text) {
  // Work on the magnitude as unsigned so that the most negative count has one too.
  uint64_t magnitude = count < 0 ? 0 - static_cast<uint64_t>(count) : static_cast<uint64_t>(count);
  char digits[kCountTextSize];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  char* out = text;
  if (count < 0) *out++ = '-';
  while (n > 0) *out++ = digits[--n];
  *out = '\0';
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

void ShowSessionBytesIn() { ShowCount(kStatusIn, "In: %s bytes", app.sessionBytesIn); }
void ShowSessionBytesOut() { ShowCount(kStatusOut, "Out: %s bytes", app.sessionBytesOut); }
