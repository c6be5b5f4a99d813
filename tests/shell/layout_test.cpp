#include "support/harness.h"

#include <commctrl.h>

namespace {

RECT ChildRect(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, app.controls.mainWindow, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void CheckRect(HWND child, int x, int y, int width, int height) {
  const RECT r = ChildRect(child);
  CHECK(r.left == x);
  CHECK(r.top == y);
  CHECK(r.right - r.left == width);
  CHECK(r.bottom - r.top == height);
}

std::vector<int> StatusEdges() {
  int edges[6] = {};
  const LRESULT count =
      SendMessageA(app.controls.statusBar, SB_GETPARTS, 6, reinterpret_cast<LPARAM>(edges));
  return std::vector<int>(edges, edges + count);
}

}  // namespace

TEST_CASE("a resize lays the controls out in character units") {
  FreshWindow w;
  SendMessageA(w.hwnd(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(692, 373));
  RECT bar;
  GetWindowRect(app.controls.statusBar, &bar);
  const int S = bar.bottom - bar.top;
  REQUIRE(S > 0);

  CheckRect(app.controls.hostField, 7, 3, 105, 20);
  CheckRect(app.controls.portField, 119, 3, 49, 20);
  CheckRect(app.controls.connectButton, 175, 3, 63, 23);
  CheckRect(app.controls.disconnectButton, 238, 3, 77, 23);
  CheckRect(app.controls.sendLine, 322, 3, 244, 23);
  CheckRect(app.controls.sendButton, 573, 3, 56, 23);
  CheckRect(app.controls.clearButton, 629, 3, 56, 23);
  CheckRect(app.controls.outputPane, 0, 30, 692, 373 - S - 30);
  CheckRect(app.controls.statusBar, 0, 373 - S, 692, S);
  CHECK(StatusEdges() == std::vector<int>{202, 342, 412, 482, 587, 692});
  CHECK(app.layout.clientWidth == 692);
  CHECK(app.layout.clientHeight == 373);

  SUBCASE("only the send line, the right-hand buttons and part 0 follow the width") {
    SendMessageA(w.hwnd(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(900, 373));
    CheckRect(app.controls.hostField, 7, 3, 105, 20);
    CheckRect(app.controls.disconnectButton, 238, 3, 77, 23);
    CheckRect(app.controls.sendLine, 322, 3, 452, 23);
    CheckRect(app.controls.sendButton, 781, 3, 56, 23);
    CheckRect(app.controls.clearButton, 837, 3, 56, 23);
    CHECK(StatusEdges() == std::vector<int>{410, 550, 620, 690, 795, 900});
  }
  SUBCASE("a minimised window's empty client area is laid out by the same formulas") {
    SendMessageA(w.hwnd(), WM_SIZE, SIZE_MINIMIZED, 0);
    CHECK(app.layout.clientWidth == 0);
    CHECK(app.layout.clientHeight == 0);
    CHECK(StatusEdges() == std::vector<int>{-490, -350, -280, -210, -105, 0});
  }
}

TEST_CASE("the window cannot be made smaller than 700 x 75") {
  FreshWindow w;
  MINMAXINFO info = {};
  info.ptMaxSize = {1234, 567};
  info.ptMaxTrackSize = {2000, 1500};
  CHECK(SendMessageA(w.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)) == 0);
  CHECK(info.ptMinTrackSize.x == 700);
  CHECK(info.ptMinTrackSize.y == 75);
  CHECK(info.ptMaxSize.x == 1234);  // the rest stays as the system filled it
  CHECK(info.ptMaxTrackSize.y == 1500);
}

TEST_CASE("maximise comes back to the centred default rectangle") {
  FreshWindow w;
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - 350;
  const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - 200;
  MoveWindow(w.hwnd(), 10, 20, 800, 500, TRUE);

  SUBCASE("SC_MAXIMIZE itself") {
    SendMessageA(w.hwnd(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    CHECK(IsZoomed(w.hwnd()));
    SendMessageA(w.hwnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
    RECT r;
    GetWindowRect(w.hwnd(), &r);
    CHECK(r.left == x);
    CHECK(r.top == y);
    CHECK(r.right - r.left == 700);
    CHECK(r.bottom - r.top == 400);
  }
  SUBCASE("a command that differs in the low bits only gets the default handling") {
    SendMessageA(w.hwnd(), WM_SYSCOMMAND, SC_MAXIMIZE | 2, 0);
    SendMessageA(w.hwnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
    RECT r;
    GetWindowRect(w.hwnd(), &r);
    CHECK(r.left == 10);
    CHECK(r.top == 20);
    CHECK(r.right - r.left == 800);
  }
}

TEST_CASE("the edits refuse text beyond their limits") {
  FreshWindow w;
  SetWindowTextA(app.controls.portField, "");
  TypeChars(app.controls.portField, "123456");
  CHECK(WindowText(app.controls.portField) == "12345");
  SetWindowTextA(app.controls.hostField, "");
  TypeChars(app.controls.hostField, std::string(64, 'h'));
  CHECK(WindowText(app.controls.hostField).size() == 63);
  SetFocus(app.controls.sendLine);
  for (int i = 0; i < 252; ++i)
    SendMessageA(app.controls.sendLine, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("x"));
  CHECK(WindowText(app.controls.sendLine).size() == 251);
}
