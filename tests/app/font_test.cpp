#include "support/harness.h"

#include <cstdio>

#include "codec/output_pane.h"

// Received bytes reach the pane raw; drawing any of them must not bring the program
// down. Some fallback faces crash Wine's text shaper on bytes such as 0x98 at the start
// of a line, which is why the control font names its face.
TEST_CASE("the pane draws every byte value at the start of a line and after others") {
  FreshWindow w;
  for (int b = 1; b < 256; ++b) {
    if (b == '\r' || b == '\n') continue;
    const char c = static_cast<char>(b);
    const std::string text = std::string("x\r\n") + c + " x\x01" + c + "." + c + c;
    SetWindowTextA(app.outputPane, text.c_str());
    UpdateWindow(app.outputPane);
  }
  PumpFor(50);
  CHECK(IsWindow(app.outputPane));
}
