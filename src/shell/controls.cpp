#include "shell/controls.h"

#include <commctrl.h>

#include <initializer_list>
#include <string>

#include "base/status_bar.h"
#include "rules/texts.h"
#include "settings/settings_file.h"
#include "shell/control_font.h"

namespace {

constexpr int kPortFieldLimit = 5;  // "65535"
constexpr int kMinWidthChars = 100;
constexpr int kMinHeightChars = 5;

HWND CreateChild(HWND parent, const char* className, DWORD style, const char* text, int id) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
  HWND control =
      CreateWindowExA(WS_EX_CLIENTEDGE, className, text, style, 0, 0, 0, 0, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(app.controls.controlFont), 0);
  return control;
}

void LimitText(HWND edit, int limit) { SendMessageA(edit, EM_LIMITTEXT, limit, 0); }

// The parts end at fixed distances from the bar's right end, whatever its width.
void ShowStatusParts() {
  int partEnds[sizeof kStatusPartEndChars / sizeof kStatusPartEndChars[0]];
  for (size_t i = 0; i < sizeof partEnds / sizeof partEnds[0]; ++i)
    partEnds[i] = app.layout.clientWidth - kStatusPartEndChars[i] * app.layout.charWidth;
  SetStatusParts(partEnds);
}

}  // namespace

void CreateControls(HWND window) {
  CreateControlFont();
  InitCommonControls();

  constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
  constexpr DWORD kLineStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
  constexpr DWORD kNumberStyle = kLineStyle | ES_NUMBER;
  constexpr DWORD kPaneStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                               ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN;
  static_assert(kPaneStyle == 0x503010C4 && kButtonStyle == 0x50000000 &&
                    kLineStyle == 0x50000080 && kNumberStyle == 0x50002080,
                "the styles the controls have always had");
  app.controls.outputPane = CreateChild(window, "edit", kPaneStyle, "", kOutputPaneId);
  app.controls.connectButton =
      CreateChild(window, "BUTTON", kButtonStyle, "connect", kConnectButtonId);
  app.controls.disconnectButton =
      CreateChild(window, "BUTTON", kButtonStyle, "disconnect", kDisconnectButtonId);
  app.controls.sendButton = CreateChild(window, "BUTTON", kButtonStyle, "send", kSendButtonId);
  app.controls.sendLine = CreateChild(window, "edit", kLineStyle, "", kSendLineId);
  LimitText(app.controls.sendLine, kSendLineLimit);
  app.controls.hostField = CreateChild(window, "edit", kLineStyle, "", kHostFieldId);
  LimitText(app.controls.hostField, kHostTextSize - 1);
  app.controls.portField = CreateChild(window, "edit", kNumberStyle, "", kPortFieldId);
  LimitText(app.controls.portField, kPortFieldLimit);
  app.controls.clearButton = CreateChild(window, "BUTTON", kButtonStyle, "clear", kClearButtonId);

  app.controls.statusBar =
      CreateStatusWindowA(WS_CHILD | WS_VISIBLE, kStatusInitial, window, kStatusBarId);
  ShowStatusParts();  // for a window not yet sized: WM_SIZE sets them again
  SetStatusText(kStatusConnection, kStatusNotConnected);
  SetStatusText(kStatusIn, kStatusInZero);
  SetStatusText(kStatusOut, kStatusOutZero);
}

void LayoutControls(LPARAM sizeParam) {
  app.layout.clientWidth = LOWORD(sizeParam);
  app.layout.clientHeight = HIWORD(sizeParam);
  const int ch = app.layout.charHeight;
  const int cw = app.layout.charWidth;
  const int W = app.layout.clientWidth;
  const int H = app.layout.clientHeight;
  const int top = ch / 4;
  const int fieldHeight = 2 * ((2 * ch) / 3);
  const int buttonHeight = fieldHeight + 3;

  RECT bar = {};
  GetWindowRect(app.controls.statusBar, &bar);
  const int S = bar.bottom - bar.top;
  // One batch: each control is moved and repainted once, also at start-up.
  struct Place {
    HWND control;
    int x, y, width, height;
  };
  const Place places[] = {
      {app.controls.hostField, cw, top, 15 * cw, fieldHeight},
      {app.controls.portField, 17 * cw, top, 7 * cw, fieldHeight},
      {app.controls.connectButton, 25 * cw, top, 9 * cw, buttonHeight},
      {app.controls.disconnectButton, 34 * cw, top, 11 * cw, buttonHeight},
      {app.controls.sendLine, 46 * cw, top, W - 64 * cw, buttonHeight},
      {app.controls.sendButton, W - 17 * cw, top, 8 * cw, buttonHeight},
      {app.controls.clearButton, W - 9 * cw, top, 8 * cw, buttonHeight},
      {app.controls.outputPane, 0, 2 * ch, W, H - S - 2 * ch},
      {app.controls.statusBar, 0, H - S, W, S},
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
  ShowStatusParts();

  InvalidateRect(app.controls.sendButton, nullptr, TRUE);
  InvalidateRect(app.controls.clearButton, nullptr, TRUE);
  InvalidateRect(app.controls.mainWindow, nullptr, FALSE);
}

void SetMinimumTrackSize(MINMAXINFO* info) {
  info->ptMinTrackSize.x = kMinWidthChars * app.layout.charWidth;
  info->ptMinTrackSize.y = kMinHeightChars * app.layout.charHeight;
}

void MoveToDefaultRectangle() {
  const RECT r = DefaultWindowRectangle();
  MoveWindow(app.controls.mainWindow, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void RegisterToolTips() {
  const struct {
    HWND control;
    const char* text;
  } tips[] = {
      {app.controls.hostField, "enter IP or hostname"},
      {app.controls.portField, "enter destination port"},
      {app.controls.connectButton, "connect to target"},
      {app.controls.disconnectButton, "close connection"},
      {app.controls.sendButton, "send data to destination"},
      {app.controls.clearButton, "clear output window"},
      {app.controls.sendLine, "enter data to send"},
  };
  HINSTANCE instance = GetModuleHandleA(nullptr);
  // Owned by the main window, so that it is destroyed with it.
  HWND tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 app.controls.mainWindow, nullptr, instance, nullptr);
  if (!tooltip) return;
  for (const auto& tip : tips) {
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;  // the structure without its trailing lParam
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = app.controls.mainWindow;
    tool.uId = reinterpret_cast<UINT_PTR>(tip.control);
    tool.hinst = instance;
    tool.lpszText = const_cast<char*>(tip.text);
    if (!SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) return;
  }
  SendMessageA(tooltip, TTM_ACTIVATE, TRUE, 0);
}

void ScrollEntryFieldsHome() {
  for (HWND field : {app.controls.hostField, app.controls.portField}) {
    DWORD start = 0, end = 0;
    SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    SendMessageA(field, EM_SETSEL, 0, 0);
    SendMessageA(field, EM_SCROLLCARET, 0, 0);
    SendMessageA(field, EM_SETSEL, start, end);
  }
}
