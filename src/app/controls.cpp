#include "app/controls.h"

#include <commctrl.h>

#include <initializer_list>
#include <string>

#include "app/font_file.h"
#include "app/status_bar.h"
#include "app/texts.h"
#include "settings/settings_file.h"

namespace {

constexpr char kControlFace[] = "Tahoma";
// The private copy of whatever face kControlFace comes out as, without its layout tables.
constexpr char kPrivateControlFace[] = "Telvane Controls";
constexpr int kCharHeight = 15;
constexpr int kCharWidth = 7;
// Cell height and average character width the control font is asked for.
constexpr int kFontHeight = 15;
constexpr int kFontWidth = 6;
constexpr int kPortFieldLimit = 5;  // "65535"
constexpr int kMinWidthChars = 100;
constexpr int kMinHeightChars = 5;

HWND CreateChild(HWND parent, const char* className, DWORD style, const char* text, int id) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
  HWND control = CreateWindowExA(WS_EX_CLIENTEDGE, className, text, style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                 nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(app.controlFont), 0);
  return control;
}

HFONT CreateControlFace(const char* face) {
  return CreateFontA(kFontHeight, kFontWidth, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, face);
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

// Wine 8 lays out every line of an edit control with its text shaper, whose mark
// positioning crashes the process when a line starts with a mark such as 0x98 (the
// small tilde) and the face has OpenType positioning tables. Which face that is
// depends on the prefix and the host (without the prefix's own fonts, fontconfig's
// DejaVu Sans; any named face falls back to it). So the controls draw with a private
// copy of that face whose layout tables are hidden: same glyphs and advances, no
// shaping. Where the copy cannot be made (a bitmap face has no such tables), the
// face itself.
void CreateControlFont() {
  app.controlFont = CreateControlFace(kControlFace);
  app.controlFontFile = nullptr;
  const std::string copy = WithoutLayoutTables(FontFileOf(app.controlFont), kPrivateControlFace);
  if (copy.empty()) return;
  DWORD faces = 0;
  HANDLE file = AddFontMemResourceEx(const_cast<char*>(copy.data()), static_cast<DWORD>(copy.size()),
                                     nullptr, &faces);
  if (!file) return;
  HFONT font = CreateControlFace(kPrivateControlFace);
  if (FaceOf(font) != kPrivateControlFace) {
    DeleteObject(font);
    RemoveFontMemResourceEx(file);
    return;
  }
  DeleteObject(app.controlFont);
  app.controlFont = font;
  app.controlFontFile = file;
}

void LimitText(HWND edit, int limit) { SendMessageA(edit, EM_LIMITTEXT, limit, 0); }

}  // namespace

void CreateControls(HWND window) {
  CreateControlFont();
  app.charHeight = kCharHeight;
  app.charWidth = kCharWidth;
  InitCommonControls();

  constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
  constexpr DWORD kLineStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
  constexpr DWORD kNumberStyle = kLineStyle | ES_NUMBER;
  constexpr DWORD kPaneStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                               ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN;
  static_assert(kPaneStyle == 0x503010C4 && kButtonStyle == 0x50000000 &&
                    kLineStyle == 0x50000080 && kNumberStyle == 0x50002080,
                "the styles the controls have always had");
  app.outputPane = CreateChild(window, "edit", kPaneStyle, "", kOutputPaneId);
  app.connectButton = CreateChild(window, "BUTTON", kButtonStyle, "connect", kConnectButtonId);
  app.disconnectButton =
      CreateChild(window, "BUTTON", kButtonStyle, "disconnect", kDisconnectButtonId);
  app.sendButton = CreateChild(window, "BUTTON", kButtonStyle, "send", kSendButtonId);
  app.sendLine = CreateChild(window, "edit", kLineStyle, "", kSendLineId);
  LimitText(app.sendLine, kSendLineLimit);
  app.hostField = CreateChild(window, "edit", kLineStyle, "", kHostFieldId);
  LimitText(app.hostField, kHostTextSize - 1);
  app.portField = CreateChild(window, "edit", kNumberStyle, "", kPortFieldId);
  LimitText(app.portField, kPortFieldLimit);
  app.clearButton = CreateChild(window, "BUTTON", kButtonStyle, "clear", kClearButtonId);

  app.statusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, kStatusInitial, window, kStatusBarId);
  SetStatusParts({10, 20, 30, 40, 50, 60});
  SetStatusText(kStatusConnection, kStatusNotConnected);
  SetStatusText(kStatusIn, kStatusInZero);
  SetStatusText(kStatusOut, kStatusOutZero);
}

void LayoutControls(LPARAM sizeParam) {
  app.clientWidth = LOWORD(sizeParam);
  app.clientHeight = HIWORD(sizeParam);
  const int ch = app.charHeight;
  const int cw = app.charWidth;
  const int W = app.clientWidth;
  const int H = app.clientHeight;
  const int top = ch / 4;
  const int fieldHeight = 2 * ((2 * ch) / 3);
  const int buttonHeight = fieldHeight + 3;

  RECT bar = {};
  GetWindowRect(app.statusBar, &bar);
  const int S = bar.bottom - bar.top;
  // One batch: each control is moved and repainted once, also at start-up.
  struct Place {
    HWND control;
    int x, y, width, height;
  };
  const Place places[] = {
      {app.hostField, cw, top, 15 * cw, fieldHeight},
      {app.portField, 17 * cw, top, 7 * cw, fieldHeight},
      {app.connectButton, 25 * cw, top, 9 * cw, buttonHeight},
      {app.disconnectButton, 34 * cw, top, 11 * cw, buttonHeight},
      {app.sendLine, 46 * cw, top, W - 64 * cw, buttonHeight},
      {app.sendButton, W - 17 * cw, top, 8 * cw, buttonHeight},
      {app.clearButton, W - 9 * cw, top, 8 * cw, buttonHeight},
      {app.outputPane, 0, 2 * ch, W, H - S - 2 * ch},
      {app.statusBar, 0, H - S, W, S},
  };
  HDWP batch = BeginDeferWindowPos(static_cast<int>(sizeof places / sizeof places[0]));
  for (const Place& p : places)
    if (batch)
      batch = DeferWindowPos(batch, p.control, nullptr, p.x, p.y, p.width, p.height,
                             SWP_NOZORDER | SWP_NOACTIVATE);
  if (batch)
    EndDeferWindowPos(batch);
  else  // no memory for a batch
    for (const Place& p : places) MoveWindow(p.control, p.x, p.y, p.width, p.height, TRUE);
  int partEnds[sizeof kStatusPartEndChars / sizeof kStatusPartEndChars[0]];
  for (size_t i = 0; i < sizeof partEnds / sizeof partEnds[0]; ++i)
    partEnds[i] = W - kStatusPartEndChars[i] * cw;
  SetStatusParts(partEnds);

  InvalidateRect(app.sendButton, nullptr, TRUE);
  InvalidateRect(app.clearButton, nullptr, TRUE);
  InvalidateRect(app.mainWindow, nullptr, FALSE);
}

void SetMinimumTrackSize(MINMAXINFO* info) {
  info->ptMinTrackSize.x = kMinWidthChars * app.charWidth;
  info->ptMinTrackSize.y = kMinHeightChars * app.charHeight;
}

void MoveToDefaultRectangle() {
  const RECT r = DefaultWindowRectangle();
  MoveWindow(app.mainWindow, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void RegisterToolTips() {
  static const char* const kTexts[7] = {
      "enter IP or hostname",    "enter destination port", "connect to target",
      "close connection",        "send data to destination", "clear output window",
      "enter data to send",
  };
  HINSTANCE instance = GetModuleHandleA(nullptr);
  // Owned by the main window, so that it is destroyed with it.
  HWND tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, app.mainWindow,
                                 nullptr, instance, nullptr);
  if (!tooltip) return;
  const auto controls = app.Windows();
  for (int i = 0; i < 7; ++i) {
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;  // the structure without its trailing lParam
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = app.mainWindow;
    tool.uId = reinterpret_cast<UINT_PTR>(controls[1 + i]);
    tool.hinst = instance;
    tool.lpszText = const_cast<char*>(kTexts[i]);
    if (!SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) return;
  }
  SendMessageA(tooltip, TTM_ACTIVATE, TRUE, 0);
}

void ScrollEntryFieldsHome() {
  for (HWND field : {app.hostField, app.portField}) {
    DWORD start = 0, end = 0;
    SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    SendMessageA(field, EM_SETSEL, 0, 0);
    SendMessageA(field, EM_SCROLLCARET, 0, 0);
    SendMessageA(field, EM_SETSEL, start, end);
  }
}
