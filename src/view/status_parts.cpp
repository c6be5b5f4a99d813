#include "view/status_parts.h"

#include "base/status_bar.h"
#include "text/counts.h"
#include "text/texts.h"

namespace {
void ShowCount(int part, const char* format, int64_t count) {
  char number[kCountTextSize];
  char text[48];
  wsprintfA(text, format, FormatCount(count, number));
  SetStatusText(part, text);
}
}  // namespace

void ShowTransferMode(TransferMode mode) { SetStatusText(kStatusMode, ModeRowOf(mode).statusText); }

void ShowProtocol(bool tcp) { SetStatusText(kStatusProtocol, tcp ? kStatusTcp : kStatusUdp); }

void ShowByteCounts(int64_t in, int64_t out) {
  ShowCount(kStatusIn, "In: %s bytes", in);
  ShowCount(kStatusOut, "Out: %s bytes", out);
}
