#include "support/harness.h"

#include "view/scheme_colors.h"

namespace {

struct Colours {
  COLORREF text;
  COLORREF background;
};

// Scheme 1..9, as the user knows them.
const Colours kExpected[9] = {
    {RGB(255, 255, 255), RGB(0, 0, 180)}, {RGB(0, 255, 0), RGB(0, 0, 0)},
    {RGB(255, 255, 255), RGB(0, 0, 0)},   {RGB(255, 255, 0), RGB(205, 10, 10)},
    {RGB(0, 0, 0), RGB(180, 180, 180)},   {RGB(0, 0, 0), RGB(255, 255, 255)},
    {RGB(255, 255, 0), RGB(0, 0, 0)},     {RGB(0, 0, 0), RGB(255, 255, 168)},
    {RGB(255, 255, 0), RGB(10, 10, 175)},
};

constexpr COLORREF kUntouchedText = RGB(1, 2, 3);
constexpr COLORREF kUntouchedBack = RGB(4, 5, 6);

struct AskedColours {
  COLORREF text;
  COLORREF background;
  LRESULT result;
};

// What a control asking the main window for its colours gets, on a real device context.
AskedColours AskColours(HWND mainWindow, HWND control, bool viaDefault = false) {
  HDC dc = CreateCompatibleDC(nullptr);
  SetTextColor(dc, kUntouchedText);
  SetBkColor(dc, kUntouchedBack);
  const WPARAM wParam = reinterpret_cast<WPARAM>(dc);
  const LPARAM lParam = reinterpret_cast<LPARAM>(control);
  const LRESULT result = viaDefault ? DefWindowProcA(mainWindow, WM_CTLCOLOREDIT, wParam, lParam)
                                    : SendMessageA(mainWindow, WM_CTLCOLOREDIT, wParam, lParam);
  AskedColours asked{GetTextColor(dc), GetBkColor(dc), result};
  DeleteDC(dc);
  return asked;
}

void CheckPaneColours(HWND mainWindow, const Colours& expected) {
  const AskedColours asked = AskColours(mainWindow, app.controls.outputPane);
  CHECK(asked.text == expected.text);
  CHECK(asked.background == expected.background);
  CHECK(reinterpret_cast<HBRUSH>(asked.result) == app.controls.backgroundBrush);
  LOGBRUSH brush = {};
  REQUIRE(GetObjectA(reinterpret_cast<HBRUSH>(asked.result), sizeof brush, &brush) == sizeof brush);
  CHECK(brush.lbStyle == BS_SOLID);
  CHECK(brush.lbColor == expected.background);
}

// Colour of a pixel of the output pane near its bottom right corner, below any text.
COLORREF PaneCornerPixel() {
  RECT client = {};
  GetClientRect(app.controls.outputPane, &client);
  HDC dc = GetDC(app.controls.outputPane);
  const COLORREF pixel = GetPixel(dc, client.right - 3, client.bottom - 3);
  ReleaseDC(app.controls.outputPane, dc);
  return pixel;
}

}  // namespace

TEST_CASE("the output pane takes the colours of the stored scheme") {
  for (int scheme = 1; scheme <= 9; ++scheme) {
    CAPTURE(scheme);
    FreshWindow w("[Telvane/Settings]\r\nscheme=" + std::to_string(scheme) + "\r\n");
    CHECK(app.choices.schemeIndex == scheme - 1);
    CheckPaneColours(w.hwnd(), kExpected[scheme - 1]);
  }
}

TEST_CASE("a scheme change applies to the next colour request") {
  FreshWindow w;
  CheckPaneColours(w.hwnd(), kExpected[0]);
  for (int index = 8; index >= 0; --index) {
    CAPTURE(index);
    const HBRUSH old = app.controls.backgroundBrush;
    ApplyScheme(index);
    CHECK(app.choices.schemeIndex == index);
    // The old brush is gone; GDI may hand its handle to the new one, whose colour
    // the pane check below reads.
    CHECK((GetObjectType(old) == 0 || old == app.controls.backgroundBrush));
    CheckPaneColours(w.hwnd(), kExpected[index]);
  }

  SUBCASE("an index outside 0..8 changes nothing") {
    ApplyScheme(3);
    const HBRUSH brush = app.controls.backgroundBrush;
    for (int index : {-1, 9, 100}) {
      ApplyScheme(index);
      CHECK(app.choices.schemeIndex == 3);
      CHECK(app.controls.backgroundBrush == brush);
    }
    CheckPaneColours(w.hwnd(), kExpected[3]);
  }
}

TEST_CASE("a scheme change repaints the whole pane at once") {
  FreshWindow w;
  UpdateWindow(w.hwnd());
  RECT update = {};
  REQUIRE(PumpUntil([&] { return !GetUpdateRect(app.controls.outputPane, &update, FALSE); }));

  ApplyScheme(3);
  RECT client = {};
  GetClientRect(app.controls.outputPane, &client);
  REQUIRE(GetUpdateRect(app.controls.outputPane, &update, FALSE));
  CHECK(update.left == client.left);
  CHECK(update.top == client.top);
  CHECK(update.right == client.right);
  CHECK(update.bottom == client.bottom);

  UpdateWindow(app.controls.outputPane);
  CHECK(PaneCornerPixel() == kExpected[3].background);
}

TEST_CASE("other edit controls keep the default colours") {
  FreshWindow w("[Telvane/Settings]\r\nscheme=4\r\n");
  for (HWND control : {app.controls.hostField, app.controls.portField, app.controls.sendLine}) {
    const AskedColours asked = AskColours(w.hwnd(), control);
    const AskedColours byDefault = AskColours(w.hwnd(), control, true);
    CHECK(asked.result == byDefault.result);
    CHECK(asked.text == byDefault.text);
    CHECK(asked.background == byDefault.background);
    CHECK(asked.text != kExpected[3].text);
    CHECK(reinterpret_cast<HBRUSH>(asked.result) != app.controls.backgroundBrush);
  }
}

TEST_CASE("the brush lives until the window is destroyed") {
  FreshWindow w;
  const HBRUSH brush = app.controls.backgroundBrush;
  REQUIRE(GetObjectType(brush) == OBJ_BRUSH);
  w.Close();
  CHECK(GetObjectType(brush) == 0);
}
