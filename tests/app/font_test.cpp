#include "support/harness.h"

#include <string>

#include "codec/output_pane.h"

// Received bytes reach the pane raw. Wine's text shaper reads outside its glyph
// buffer when a mark (0x98, the small tilde) starts a shaped run, so these run the
// program's own appends with every byte value at the start of a line. The suite also
// runs in a Wine prefix with no fonts of its own (tests/font_plain_prefix.sh).
TEST_SUITE("any byte") {
  TEST_CASE("every byte value can start a transcript line, in every mode") {
    FreshWindow w;
    for (TransferMode mode : {TransferMode::Advanced, TransferMode::Binary, TransferMode::Ascii}) {
      CAPTURE(static_cast<int>(mode));
      SetTransferMode(mode);
      // Sixteen byte values to an append: each append is laid out and painted whole.
      for (int first = 0; first < 256; first += 16) {
        std::string bytes;
        for (int b = first; b < first + 16; ++b) {
          const char c = static_cast<char>(b);
          // Alone on a line, after a tab, before another mark and after a space.
          bytes += std::string(1, c) + "\r\n" + "A\t" + c + "\r\n" + c + "\x98 " + c + "\n";
        }
        AppendOutput(bytes.data(), static_cast<int>(bytes.size()));
        UpdateWindow(app.outputPane);
      }
      CHECK(IsWindow(app.outputPane));
      if (mode != TransferMode::Ascii) continue;
      // Shown as received: nothing replaced or dropped but the zero byte.
      const std::string tail = Transcript();
      for (int b = 1; b < 256; ++b) {
        if (b == '\r' || b == '\n') continue;
        CAPTURE(b);
        CHECK(tail.find("\r\n" + std::string(1, static_cast<char>(b)) + "\r\nA\t") !=
              std::string::npos);
      }
    }
  }
}
