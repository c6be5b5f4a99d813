// The least a program does to put Telvane's window on screen: the same class, window,
// font, eight controls and status bar, laid out the same way, then the message loop.
// No settings, tooltips, Winsock or subclassing. telvane_startup compares Telvane's
// start-up with this one's.
#include <windows.h>  // before the headers that build on it

#include <commctrl.h>

namespace {

constexpr int kChar = 7, kLine = 15;
HWND controls[9];  // host, port, connect, disconnect, send line, send, clear, pane, status

LRESULT CALLBACK ControlsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) {
    const int W = LOWORD(lParam), H = HIWORD(lParam), top = kLine / 4, field = 2 * (2 * kLine / 3);
    RECT bar = {};
    GetWindowRect(controls[8], &bar);
    const int S = bar.bottom - bar.top;
    const RECT places[9] = {{kChar, top, 15 * kChar, field},
                            {17 * kChar, top, 7 * kChar, field},
                            {25 * kChar, top, 9 * kChar, field + 3},
                            {34 * kChar, top, 11 * kChar, field + 3},
                            {46 * kChar, top, W - 64 * kChar, field + 3},
                            {W - 17 * kChar, top, 8 * kChar, field + 3},
                            {W - 9 * kChar, top, 8 * kChar, field + 3},
                            {0, 2 * kLine, W, H - S - 2 * kLine},
                            {0, H - S, W, S}};
    HDWP batch = BeginDeferWindowPos(9);
    for (int i = 0; i < 9 && batch; ++i)
      batch = DeferWindowPos(batch, controls[i], nullptr, places[i].left, places[i].top,
                             places[i].right, places[i].bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    if (batch) EndDeferWindowPos(batch);
    int ends[6];
    for (int i = 0; i < 6; ++i) ends[i] = W - (60 - 10 * i) * kChar;
    SendMessageA(controls[8], SB_SETPARTS, 6, reinterpret_cast<LPARAM>(ends));
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND Child(HWND parent, HFONT font, const char* kind, DWORD style, const char* text, int id) {
  HWND control = CreateWindowExA(WS_EX_CLIENTEDGE, kind, text, style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  return control;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showState) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = ControlsWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INACTIVEBORDER + 1);
  windowClass.lpszClassName = "ControlsWindow";
  if (!RegisterClassA(&windowClass)) return 1;
  const int width = 700, height = 400;
  HWND window = CreateWindowExA(0, "ControlsWindow", "Controls window", WS_OVERLAPPEDWINDOW,
                                GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2,
                                GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2, width, height,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  HFONT font = CreateFontA(15, 6, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
  InitCommonControls();
  const DWORD button = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
  const DWORD line = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
  const DWORD pane = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                     ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN;
  controls[7] = Child(window, font, "edit", pane,
                      "---------------------------------------------------\r\n"
                      "   Controls window\r\n"
                      "---------------------------------------------------\r\n\r\n",
                      107);
  controls[2] = Child(window, font, "BUTTON", button, "connect", 102);
  controls[3] = Child(window, font, "BUTTON", button, "disconnect", 103);
  controls[5] = Child(window, font, "BUTTON", button, "send", 104);
  controls[4] = Child(window, font, "edit", line, "", 106);
  controls[0] = Child(window, font, "edit", line, "", 100);
  controls[1] = Child(window, font, "edit", line | ES_NUMBER, "", 101);
  controls[6] = Child(window, font, "BUTTON", button, "clear", 105);
  controls[8] = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "", window, 108);
  RECT client = {};
  GetClientRect(window, &client);
  SendMessageA(window, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
  SetFocus(controls[0]);
  ShowWindow(window, showState);
  UpdateWindow(window);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
