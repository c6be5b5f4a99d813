// Received text: how long a read's rendering is, its tail rendered alone, and the
// backlog that keeps only what a pane with a limit and a reset rule would still show,
// against a pane filled one character at a time.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "text/binary_mode.h"
#include "text/transcript_backlog.h"
#include "text/transcript_text.h"

namespace {

const std::string kBanner = "[banner]\r\n[text]\r\n";

bool OddBytesAreLetters(unsigned char byte) { return byte & 1; }

// A pane that takes one character at a time: full, it goes back to the banner. After
// the last such reset of one append it never starts with the LF of a wiped CR.
struct ModelPane {
  std::string text = kBanner;
  size_t limit;
  void Append(const std::string& added) {
    size_t lastReset = std::string::npos;
    for (size_t i = 0; i < added.size(); ++i) {
      if (text.size() >= limit) {
        text = kBanner;
        lastReset = i;
      }
      text += added[i];
    }
    if (lastReset != std::string::npos && lastReset > 0 && added[lastReset] == '\n' &&
        added[lastReset - 1] == '\r')
      text.erase(kBanner.size(), 1);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const bool advanced = data[0] & 1;
  const bool binary = data[0] & 2;
  ModelPane model;
  model.limit = kBanner.size() + 8 + data[1] % 96;  // small: many resets
  const RenderWidths widths = MakeRenderWidths(advanced, OddBytesAreLetters);
  std::string pane = kBanner;  // what the backlog's pieces make of the pane
  TranscriptBacklog backlog;
  size_t at = 2;
  while (at < size) {
    const size_t length = data[at++] % 48;
    const size_t count = length < size - at ? length : size - at;
    const char* read = reinterpret_cast<const char*>(data + at);
    at += count;
    // What the pane gets for the read, whole, and counted or rendered from any point.
    std::string full;
    size_t total;
    if (binary) {
      AppendHexDumpText(full, read, static_cast<int>(count));
      total = HexDumpLength(static_cast<int>(count));
    } else {
      RenderTranscriptText(read, count, widths, full);
      total = CountTranscriptText(read, count, widths);
    }
    FUZZ_CHECK(total == full.size());
    for (size_t from : {size_t{0}, size_t{1}, total / 2, total ? total - 1 : 0, total}) {
      std::string tail;
      if (binary)
        AppendHexDumpTail(tail, read, static_cast<int>(count), from);
      else
        RenderTranscriptTail(read, count, widths, total, from, tail);
      FUZZ_CHECK(tail == (from < total ? full.substr(from) : std::string()));
    }
    model.Append(full);
    if (backlog.empty()) backlog.Begin(pane.size(), model.limit, kBanner.size());
    backlog.Add(total, [&](size_t from, std::string& out) { out += full.substr(from); });
    // Now and then the pane catches up, a piece at a time.
    if (at < size && data[at] % 3 == 0) {
      bool resetFirst = false;
      const std::string piece = backlog.TakeFront(1 + data[at] % 40, resetFirst);
      pane = (resetFirst ? kBanner : pane) + piece;
    }
  }
  while (!backlog.empty()) {
    bool resetFirst = false;
    const std::string piece = backlog.TakeFront(16, resetFirst);
    pane = (resetFirst ? kBanner : pane) + piece;
  }
  FUZZ_CHECK(pane == model.text);
  return 0;
}
