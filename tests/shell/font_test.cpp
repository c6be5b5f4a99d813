#include "support/harness.h"

#include <cstdint>
#include <string>
#include <vector>

#include "shell/control_font.h"
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

namespace {
struct FaceSeen {
  std::string face;
  LOGFONTA asked = {};
  int cellHeight = 0, averageWidth = 0;
  bool positioning = false;  // has OpenType positioning tables
};

FaceSeen FaceOf(HWND control) {
  const HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  FaceSeen seen;
  GetObjectA(font, sizeof seen.asked, &seen.asked);
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, font);
  constexpr DWORD kGpos = 'G' | ('P' << 8) | ('O' << 16) | (static_cast<DWORD>('S') << 24);
  seen.positioning = GetFontData(dc, kGpos, 0, nullptr, 0) != GDI_ERROR;
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, LF_FACESIZE, face);
  seen.face = face;
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  seen.cellHeight = metrics.tmHeight;
  seen.averageWidth = metrics.tmAveCharWidth;
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return seen;
}
}  // namespace

TEST_SUITE("any byte") {
  TEST_CASE("the controls' font: a copy without positioning under Wine, else the system's") {
    FreshWindow w;
    CHECK(RunsOnWine());  // so the window above took the copy
    const struct {
      const char* name;
      bool made;  // the window's own, else one made for the row and handed to the controls
      bool copyFace;
    } rows[] = {
        {"the window's, as it started here", true, true},
        {"the private copy", false, true},
        {"the system's face as it is, as on Windows", false, false},
    };
    const HWND controls[] = {app.controls.outputPane,       app.controls.connectButton,
                             app.controls.disconnectButton, app.controls.sendButton,
                             app.controls.sendLine,         app.controls.hostField,
                             app.controls.portField,        app.controls.clearButton};
    for (const auto& row : rows) {
      const std::string name = row.name;
      CAPTURE(name);
      Controls made;
      if (!row.made) {
        CreateControlFont(made, row.copyFace);
        CHECK((made.controlFontFile != nullptr) == row.copyFace);
        for (HWND control : controls)
          SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(made.controlFont), 0);
      }
      for (HWND control : controls) {
        const FaceSeen seen = FaceOf(control);
        CAPTURE(seen.face);
        CHECK(seen.asked.lfHeight == 15);
        CHECK(seen.asked.lfWidth == 6);
        CHECK(seen.asked.lfWeight == FW_NORMAL);
        // As the face rounds its ascent and descent: Wine's Tahoma comes out at 14.
        CHECK(seen.cellHeight >= 14);
        CHECK(seen.cellHeight <= 15);
        CHECK(seen.averageWidth == 6);
        CHECK((seen.face == "Telvane Controls") == row.copyFace);
        if (row.copyFace) CHECK_FALSE(seen.positioning);
      }
      if (row.made) continue;
      for (HWND control : controls)
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(app.controls.controlFont), 0);
      DeleteObject(made.controlFont);
      if (made.controlFontFile) RemoveFontMemResourceEx(made.controlFontFile);
    }
  }
}
