// Received data reaches the pane once per frame instead of read by read; whatever
// the reads and wherever the frames fall, the pane must end up byte for byte as if
// every read had been appended on its own.
#include "support/harness.h"

#include <random>
#include <string>
#include <vector>

#include "codec/binary_mode.h"
#include "codec/output_pane.h"
#include "codec/transcript_text.h"

namespace {

bool Latin1Letters(unsigned char byte) { return byte >= 0xC0 && byte != 0xD7 && byte != 0xF7; }

// Bytes that steer the rendering (breaks, NULs, escapes), mixed with any byte at all
// and with long runs that hold no line break.
std::string RandomRead(std::mt19937& random) {
  const char steering[] = {'\r', '\n', '\0', '\t', 'a', '\\', '\x1B', '\x7F', '\xE9', '\xA4'};
  const size_t sizes[] = {0, 1, 2, 7, 40, 300, 1500, 6000};
  std::string read(sizes[random() % 8] + random() % 9, '\0');
  const bool longLine = random() % 5 == 0;
  for (char& c : read) {
    if (longLine)
      c = static_cast<char>('A' + random() % 26);
    else
      c = random() % 2 ? steering[random() % sizeof steering] : static_cast<char>(random());
  }
  return read;
}

}  // namespace

TEST_CASE("counting a rendering, and rendering only its tail, agree with rendering it all") {
  std::mt19937 random(99);
  for (int round = 0; round < 3000; ++round) {
    const std::string text = RandomRead(random);
    for (bool advanced : {false, true}) {
      const RenderWidths widths = MakeRenderWidths(advanced, Latin1Letters);
      std::string all;
      RenderTranscriptText(text.data(), text.size(), advanced, Latin1Letters, all);
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

TEST_CASE("reads shown once per frame, a piece at a time, leave the pane as appending each read would") {
  std::mt19937 random(4242);
  for (TransferMode mode : {TransferMode::Ascii, TransferMode::Advanced, TransferMode::Binary}) {
    for (int stream = 0; stream < 12; ++stream) {
      CAPTURE(static_cast<int>(mode));
      CAPTURE(stream);
      std::vector<std::string> reads(1 + random() % 40);
      std::vector<bool> frameAfter(reads.size());
      std::vector<size_t> pieceAfter(reads.size());  // part of what waits, drawn early
      for (size_t i = 0; i < reads.size(); ++i) {
        reads[i] = RandomRead(random);
        frameAfter[i] = random() % 4 == 0;
        pieceAfter[i] = random() % 3 == 0 ? 1 + random() % 4000 : 0;
      }
      // A small pane, so that a stream fills and resets it many times, at every
      // kind of boundary.
      const size_t limit = 400 + random() % 3000;

      std::vector<std::string> expected;  // the pane at each frame, read by read
      std::vector<std::string> shown;
      for (int way = 0; way < 2; ++way) {
        FreshWindow w;
        SetTransferMode(mode);
        SendMessageA(app.outputPane, EM_SETLIMITTEXT, limit, 0);
        AppendOutput("before the stream\r");  // a CR whose LF may come in the first read
        for (size_t i = 0; i < reads.size(); ++i) {
          const std::string& read = reads[i];
          const int count = static_cast<int>(read.size());
          if (way == 0) {
            if (mode == TransferMode::Binary) {
              std::string dump;
              AppendHexDumpText(dump, read.data(), count);
              AppendOutput(dump.c_str(), static_cast<int>(dump.size()));
            } else {
              AppendOutput(read.c_str(), count);  // a NUL follows the bytes in a string
            }
          } else if (mode == TransferMode::Binary) {
            QueueHexDump(read.data(), count);
          } else {
            QueueReceivedText(read.c_str(), count);
          }
          if (way == 1 && pieceAfter[i] > 0) ShowQueuedOutputPart(pieceAfter[i]);
          if (!frameAfter[i] && i + 1 < reads.size()) continue;
          if (way == 1) ShowQueuedOutput();
          (way == 0 ? expected : shown).push_back(Transcript());
        }
        AppendOutput("\r\nafter the stream");  // what comes next goes in after it all
        (way == 0 ? expected : shown).push_back(Transcript());
      }
      REQUIRE(shown.size() == expected.size());
      for (size_t i = 0; i < shown.size(); ++i) {
        CAPTURE(i);
        CHECK(shown[i] == expected[i]);
      }
    }
  }
}
