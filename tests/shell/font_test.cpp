#include "support/harness.h"

#include <cstdint>
#include <string>
#include <vector>

#include "view/output_pane.h"

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
        UpdateWindow(app.controls.outputPane);
      }
      // The pane took every append whole: it ends with the last one's last byte.
      const std::string shown = Transcript();
      const std::string lastLine = " \xff\r\n";
      REQUIRE(shown.size() >= lastLine.size());
      CHECK(shown.substr(shown.size() - lastLine.size()) == lastLine);
      if (mode != TransferMode::Ascii) continue;
      // Shown as received: nothing replaced or dropped but the zero byte.
      for (int b = 1; b < 256; ++b) {
        if (b == '\r' || b == '\n') continue;
        CAPTURE(b);
        CHECK(shown.find("\r\n" + std::string(1, static_cast<char>(b)) + "\r\nA\t") !=
              std::string::npos);
      }
    }
  }
}

TEST_SUITE("any byte") {
  TEST_CASE("the controls draw with a face that has no OpenType positioning to crash on") {
    FreshWindow w;
    HDC dc = GetDC(app.controls.outputPane);
    HGDIOBJ old = SelectObject(
        dc, reinterpret_cast<HFONT>(SendMessageA(app.controls.outputPane, WM_GETFONT, 0, 0)));
    constexpr DWORD kGpos = 'G' | ('P' << 8) | ('O' << 16) | (static_cast<DWORD>('S') << 24);
    CHECK(GetFontData(dc, kGpos, 0, nullptr, 0) == GDI_ERROR);
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, LF_FACESIZE, face);
    SelectObject(dc, old);
    ReleaseDC(app.controls.outputPane, dc);
    CHECK(std::string(face) == "Telvane Controls");
  }
}
