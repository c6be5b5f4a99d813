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

TEST_CASE("maximise comes back to the centred default rectangle; only SC_MAXIMIZE itself") {
  FreshWindow w;
  const RECT moved = {10, 20, 810, 520};
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - 350;
  const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - 200;
  const RECT centred = {x, y, x + 700, y + 400};
  const struct {
    const char* name;
    WPARAM wParam;
    const RECT& restored;  // after maximising and restoring
  } rows[] = {
      {"SC_MAXIMIZE", SC_MAXIMIZE, centred},
      {"low bits 2", SC_MAXIMIZE | 2, moved},
      {"low bits 15", SC_MAXIMIZE | 15, moved},
      {"a high word", MAKEWPARAM(SC_MAXIMIZE, 1), moved},
  };
  for (const auto& row : rows) {
    const std::string name = row.name;
    CAPTURE(name);
    MoveWindow(w.hwnd(), moved.left, moved.top, moved.right - moved.left, moved.bottom - moved.top,
               TRUE);
    CHECK(SendMessageA(w.hwnd(), WM_SYSCOMMAND, row.wParam, 0) == 0);
    CHECK(IsZoomed(w.hwnd()));  // the default handling maximises either way
    SendMessageA(w.hwnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
    RECT r;
    GetWindowRect(w.hwnd(), &r);
    CHECK(r.left == row.restored.left);
    CHECK(r.top == row.restored.top);
    CHECK(r.right == row.restored.right);
    CHECK(r.bottom == row.restored.bottom);
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
