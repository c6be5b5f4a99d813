// Received data reaches the pane once per frame instead of read by read; whatever
// the reads and wherever the frames fall, the pane must end up byte for byte as if
// every read had been appended on its own.
#include "support/harness.h"

#include <random>
#include <string>
#include <vector>

#include "rules/random_reads.h"
#include "text/binary_mode.h"
#include "text/transcript_text.h"
#include "view/output_pane.h"

TEST_CASE(
    "reads shown once per frame, a piece at a time, leave the pane as appending each read would") {
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
        SendMessageA(app.controls.outputPane, EM_SETLIMITTEXT, limit, 0);
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
