#include "shell/control_font.h"

#include <string>

#include "parse/font_file.h"

namespace {

constexpr char kControlFace[] = "Tahoma";
// The private copy of whatever face kControlFace comes out as, without its layout tables.
constexpr char kPrivateControlFace[] = "Telvane Controls";
// Cell height and average character width the control font is asked for.
constexpr int kFontHeight = 15;
constexpr int kFontWidth = 6;

// face null: the system picks the face that matches the metrics.
HFONT CreateControlFace(const char* face) {
  return CreateFontA(kFontHeight, kFontWidth, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0,
                     face);
}

// The file of the face font comes out as: the whole collection when it is one of many.
std::string FontFileOf(HFONT font) {
  std::string data;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  for (DWORD table : {0x66637474u /* ttcf */, 0u}) {
    const DWORD size = GetFontData(dc, table, 0, nullptr, 0);
    if (size == GDI_ERROR || size == 0) continue;
    data.resize(size);
    if (GetFontData(dc, table, 0, &data[0], size) != size) data.clear();
    break;
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return data;
}

std::string FaceOf(HFONT font) {
  char face[LF_FACESIZE] = {};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  GetTextFaceA(dc, LF_FACESIZE, face);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return face;
}

}  // namespace

bool RunsOnWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Wine 8 lays out every line of an edit control with its text shaper, whose mark
// positioning crashes the process when a line starts with a mark such as 0x98 (the
// small tilde) and the face has OpenType positioning tables. Which face that is
// depends on the prefix and the host (without the prefix's own fonts, fontconfig's
// DejaVu Sans; any named face falls back to it). So the controls draw with a private
// copy of that face whose layout tables are hidden: same glyphs and advances, no
// shaping. Where the copy cannot be made (a bitmap face has no such tables), the
// face itself. Windows has no such fault: there the copy would only cost start-up
// time and keep font linking from the face's name.
void CreateControlFont(Controls& controls, bool copyFace) {
  controls.controlFontFile = nullptr;
  if (!copyFace) {
    controls.controlFont = CreateControlFace(nullptr);
    return;
  }
  controls.controlFont = CreateControlFace(kControlFace);
  const std::string copy =
      WithoutLayoutTables(FontFileOf(controls.controlFont), kPrivateControlFace);
  if (copy.empty()) return;
  DWORD faces = 0;
  HANDLE file = AddFontMemResourceEx(const_cast<char*>(copy.data()),
                                     static_cast<DWORD>(copy.size()), nullptr, &faces);
  if (!file) return;
  HFONT font = CreateControlFace(kPrivateControlFace);
  if (FaceOf(font) != kPrivateControlFace) {
    DeleteObject(font);
    RemoveFontMemResourceEx(file);
    return;
  }
  DeleteObject(controls.controlFont);
  controls.controlFont = font;
  controls.controlFontFile = file;
}
