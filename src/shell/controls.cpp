#include "shell/controls.h"

#include <commctrl.h>

#include <initializer_list>
#include <string>

#include "base/status_bar.h"
#include "settings/settings_file.h"
#include "shell/control_font.h"
#include "text/texts.h"

namespace {

constexpr int kPortFieldLimit = 5;  // "65535"
constexpr int kMinWidthChars = 100;
constexpr int kMinHeightChars = 5;

HWND CreateChild(HWND parent, HFONT font, const char* className, DWORD style, const char* text,
                 int id) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
  HWND control =
      CreateWindowExA(WS_EX_CLIENTEDGE, className, text, style, 0, 0, 0, 0, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  return control;
}

void LimitText(HWND edit, int limit) { SendMessageA(edit, EM_LIMITTEXT, limit, 0); }

// The parts end at fixed distances from the bar's right end, whatever its width.
void ShowStatusParts(int clientWidth) {
  int partEnds[sizeof kStatusPartEndChars / sizeof kStatusPartEndChars[0]];
  for (size_t i = 0; i < sizeof partEnds / sizeof partEnds[0]; ++i)
    partEnds[i] = clientWidth - kStatusPartEndChars[i] * kCharWidth;
  SetStatusParts(partEnds);
}

}  // namespace

void CreateControls(HWND window, Controls& controls) {
  CreateControlFont(controls);
  const HFONT font = controls.controlFont;
  InitCommonControls();

  constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
  constexpr DWORD kLineStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
  constexpr DWORD kNumberStyle = kLineStyle | ES_NUMBER;
  constexpr DWORD kPaneStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                               ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN;
  static_assert(kPaneStyle == 0x503010C4 && kButtonStyle == 0x50000000 &&
                    kLineStyle == 0x50000080 && kNumberStyle == 0x50002080,
                "the styles the controls have always had");
  controls.outputPane = CreateChild(window, font, "edit", kPaneStyle, "", kOutputPaneId);
  controls.connectButton =
      CreateChild(window, font, "BUTTON", kButtonStyle, "connect", kConnectButtonId);
  controls.disconnectButton =
      CreateChild(window, font, "BUTTON", kButtonStyle, "disconnect", kDisconnectButtonId);
  controls.sendButton = CreateChild(window, font, "BUTTON", kButtonStyle, "send", kSendButtonId);
  controls.sendLine = CreateChild(window, font, "edit", kLineStyle, "", kSendLineId);
  LimitText(controls.sendLine, kSendLineLimit);
  controls.hostField = CreateChild(window, font, "edit", kLineStyle, "", kHostFieldId);
  LimitText(controls.hostField, kHostTextSize - 1);
  controls.portField = CreateChild(window, font, "edit", kNumberStyle, "", kPortFieldId);
  LimitText(controls.portField, kPortFieldLimit);
  controls.clearButton = CreateChild(window, font, "BUTTON", kButtonStyle, "clear", kClearButtonId);

  controls.statusBar =
      CreateStatusWindowA(WS_CHILD | WS_VISIBLE, kStatusInitial, window, kStatusBarId);
  ShowStatusParts(0);  // for a window not yet sized: WM_SIZE sets them again
  SetStatusText(kStatusConnection, kStatusNotConnected);
  SetStatusText(kStatusIn, kStatusInZero);
  SetStatusText(kStatusOut, kStatusOutZero);
}

void LayoutControls(const Controls& controls, Layout& layout, LPARAM sizeParam) {
  layout.clientWidth = LOWORD(sizeParam);
  layout.clientHeight = HIWORD(sizeParam);
  const int ch = kCharHeight;
  const int cw = kCharWidth;
  const int W = layout.clientWidth;
  const int H = layout.clientHeight;
  const int top = ch / 4;
  const int fieldHeight = 2 * ((2 * ch) / 3);
  const int buttonHeight = fieldHeight + 3;

  RECT bar = {};
  GetWindowRect(controls.statusBar, &bar);
  const int S = bar.bottom - bar.top;
  // One batch: each control is moved and repainted once, also at start-up.
  struct Place {
    HWND control;
    int x, y, width, height;
  };
  const Place places[] = {
      {controls.hostField, cw, top, 15 * cw, fieldHeight},
      {controls.portField, 17 * cw, top, 7 * cw, fieldHeight},
      {controls.connectButton, 25 * cw, top, 9 * cw, buttonHeight},
      {controls.disconnectButton, 34 * cw, top, 11 * cw, buttonHeight},
      {controls.sendLine, 46 * cw, top, W - 64 * cw, buttonHeight},
      {controls.sendButton, W - 17 * cw, top, 8 * cw, buttonHeight},
      {controls.clearButton, W - 9 * cw, top, 8 * cw, buttonHeight},
      {controls.outputPane, 0, 2 * ch, W, H - S - 2 * ch},
      {controls.statusBar, 0, H - S, W, S},
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
  ShowStatusParts(W);

  InvalidateRect(controls.sendButton, nullptr, TRUE);
  InvalidateRect(controls.clearButton, nullptr, TRUE);
  InvalidateRect(controls.mainWindow, nullptr, FALSE);
}

void SetMinimumTrackSize(MINMAXINFO* info) {
  info->ptMinTrackSize.x = kMinWidthChars * kCharWidth;
  info->ptMinTrackSize.y = kMinHeightChars * kCharHeight;
}

void MoveToDefaultRectangle(HWND window) {
  const RECT r = DefaultWindowRectangle();
  MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void RegisterToolTips(const Controls& controls) {
  const struct {
    HWND control;
    const char* text;
  } tips[] = {
      {controls.hostField, "enter IP or hostname"},
      {controls.portField, "enter destination port"},
      {controls.connectButton, "connect to target"},
      {controls.disconnectButton, "close connection"},
      {controls.sendButton, "send data to destination"},
      {controls.clearButton, "clear output window"},
      {controls.sendLine, "enter data to send"},
  };
  HINSTANCE instance = GetModuleHandleA(nullptr);
  // Owned by the main window, so that it is destroyed with it.
  HWND tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, controls.mainWindow,
                                 nullptr, instance, nullptr);
  if (!tooltip) return;
  for (const auto& tip : tips) {
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;  // the structure without its trailing lParam
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = controls.mainWindow;
    tool.uId = reinterpret_cast<UINT_PTR>(tip.control);
    tool.hinst = instance;
    tool.lpszText = const_cast<char*>(tip.text);
    if (!SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) return;
  }
  SendMessageA(tooltip, TTM_ACTIVATE, TRUE, 0);
}

void ScrollEntryFieldsHome(const Controls& controls) {
  for (HWND field : {controls.hostField, controls.portField}) {
    DWORD start = 0, end = 0;
    SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    SendMessageA(field, EM_SETSEL, 0, 0);
    SendMessageA(field, EM_SCROLLCARET, 0, 0);
    SendMessageA(field, EM_SETSEL, start, end);
  }
}
