// The output pane's context menu, the mode menu, status-bar clicks and the boxes.
#include <string>

#include "commands/reports.h"
#include "fixtures.h"
#include "support/peers.h"
#include "text/texts.h"
#include "view/output_pane.h"

namespace {

std::string MenuText(HMENU menu, UINT position) {
  char text[64] = {};
  GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

void RightClickPane(int x, int y) {
  SendMessageA(app.controls.outputPane, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y));
  SendMessageA(app.controls.outputPane, WM_RBUTTONUP, 0, MAKELPARAM(x, y));
}

// Opens the pane's menu at (10, 10), lets inMenu look at it, then types mnemonic
// (0: dismiss the menu). Returns whether the menu showed.
bool UseOutputMenu(
    char mnemonic, const std::function<void()>& inMenu = [] {}) {
  bool shown = false;
  ModalWatcher watcher([&] {
    HWND menu = OpenMenuWindow();
    if (!menu) return false;
    shown = true;
    inMenu();
    if (mnemonic)
      ChooseMenuMnemonic(menu, mnemonic);
    else
      EndMenu();
    return true;
  });
  RightClickPane(10, 10);
  PumpFor(50);  // the chosen item's WM_COMMAND is posted to the pane
  CHECK_FALSE(watcher.timedOut());
  return shown;
}

const char kWarning[] =
    "Settings can't be changed as long as Telvane is connected!\r\n"
    "In order to change settings, you have to disconnect first.";

}  // namespace

TEST_CASE("the output pane's menu has its seven items") {
  FreshWindow w;
  HMENU menu = app.controls.outputMenu;
  REQUIRE(GetMenuItemCount(menu) == 7);
  struct Row {
    UINT id;  // 0: separator
    const char* text;
  };
  const Row rows[] = {
      {201, "&Help"},          {0, ""}, {205, "&Copy selected"},
      {204, "&Select all"},    {0, ""}, {203, "&Visit telvane.example"},
      {202, "&About Telvane"},
  };
  for (UINT i = 0; i < 7; ++i) {
    CAPTURE(i);
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID;
    REQUIRE(GetMenuItemInfoA(menu, i, TRUE, &info));
    if (rows[i].id == 0) {
      CHECK((info.fType & MFT_SEPARATOR) != 0);
    } else {
      CHECK(info.wID == rows[i].id);
      CHECK(MenuText(menu, i) == rows[i].text);
    }
  }
}

TEST_CASE("a right click shows the menu at the mouse; copy is grey without a selection") {
  FreshWindow w;
  AppendOutput("hello world");
  SendMessageA(app.controls.outputPane, EM_SETSEL, 0, 0);
  UINT state = 0;
  RECT rect = {};
  CHECK(UseOutputMenu(0, [&] {
    state = GetMenuState(app.controls.outputMenu, kMenuCopyId, MF_BYCOMMAND);
    GetWindowRect(OpenMenuWindow(), &rect);
  }));
  CHECK((state & MF_GRAYED) != 0);
  POINT at = {10, 10};
  ClientToScreen(app.controls.outputPane, &at);
  CHECK(rect.left == at.x);
  CHECK(rect.top == at.y);
  for (UINT id : {kMenuHelpId, kMenuAboutId, kMenuVisitId, kMenuSelectAllId})
    CHECK((GetMenuState(app.controls.outputMenu, id, MF_BYCOMMAND) & MF_GRAYED) == 0);
}

TEST_CASE("copy selected copies exactly the selection") {
  FreshWindow w;
  SetClipboardText("old");
  AppendOutput("hello world");
  const int length = GetWindowTextLengthA(app.controls.outputPane);
  SendMessageA(app.controls.outputPane, EM_SETSEL, length - 5, length);
  UINT state = MF_GRAYED;
  CHECK(UseOutputMenu(
      'c', [&] { state = GetMenuState(app.controls.outputMenu, kMenuCopyId, MF_BYCOMMAND); }));
  CHECK((state & MF_GRAYED) == 0);
  CHECK(ClipboardText() == "world");
}

TEST_CASE("select all selects the whole transcript and keeps the focus in the pane") {
  FreshWindow w;
  AppendOutput("some text");
  SetFocus(app.controls.sendLine);
  CHECK(UseOutputMenu('s'));
  DWORD start = 1, end = 0;
  SendMessageA(app.controls.outputPane, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  CHECK(start == 0);
  CHECK(end == static_cast<DWORD>(GetWindowTextLengthA(app.controls.outputPane)));
  CHECK(GetFocus() == app.controls.outputPane);
}

TEST_CASE("help and visit from the menu") {
  FreshWindow w;
  PageRecorder recorder;
  CHECK(UseOutputMenu('h'));
  CHECK(TranscriptTail() == kHelpText);
  CHECK(UseOutputMenu('v'));
  REQUIRE(recorder.pages().size() == 1);
  CHECK(recorder.pages()[0] == "http://telvane.example/");
  CHECK(UseOutputMenu(0));
  CHECK(TranscriptTail() == kHelpText);
}

TEST_CASE("the About box from the menu and from WM_SYSCOMMAND 201 with any high word") {
  FreshWindow w;
  int boxes = 0;
  BoxContents box;
  ModalWatcher watcher(
      [&] {
        if (HWND found = OpenMessageBox()) {
          box = ReadMessageBox(found);
          CloseMessageBox(found);
          ++boxes;
        }
        return false;
      },
      8000);
  CHECK(UseOutputMenu('a'));
  PumpUntil([&] { return boxes >= 1; }, 3000);
  CHECK(boxes == 1);
  CHECK(box.caption == "About Telvane ...");
  CHECK(box.text == AboutText());
  CHECK_FALSE(box.hasIcon);
  const struct {
    const char* name;
    WPARAM wParam;
    Phase state;
    bool shows;
  } rows[] = {
      {"201", kAboutCommand, Phase::Idle, true},
      {"201 while connected", kAboutCommand, Phase::Connected, true},
      {"201, high word 0x1234", MAKEWPARAM(kAboutCommand, 0x1234), Phase::Idle, true},
      {"201, high word 0xFFFF", MAKEWPARAM(kAboutCommand, 0xFFFF), Phase::Connecting, true},
      {"202", 202, Phase::Idle, false},
      {"200", 200, Phase::Idle, false},
  };
  for (const auto& row : rows) {
    const std::string name = row.name;
    CAPTURE(name);
    SetSessionPhase(row.state);
    const int before = boxes;
    CHECK(SendMessageA(w.hwnd(), WM_SYSCOMMAND, row.wParam, 0) == 0);
    CHECK(boxes == before + (row.shows ? 1 : 0));
  }
  CHECK(box.text == AboutText());
}

TEST_CASE("the mode menu: radio mark on the current mode, anchored at status part 2") {
  FreshWindow w;
  struct Row {
    TransferMode current;
    UINT markedPosition;
    char mnemonic;
    const char* message;  // null: dismissed, nothing changes
    const char* status;
    Phase state;
  };
  const Row rows[] = {
      {TransferMode::Ascii, 0, 'b', "\r\n--- Switched to binary mode!\r\n", "Binary", Phase::Idle},
      {TransferMode::Binary, 2, 'd', "\r\n--- Switched to advanced mode!\r\n", "Advanced",
       Phase::Idle},
      {TransferMode::Advanced, 1, 'a', "\r\n--- Switched to ASCII mode!\r\n", "ASCII", Phase::Idle},
      {TransferMode::Binary, 2, 0, nullptr, nullptr, Phase::Idle},
      {TransferMode::Ascii, 0, 'd', "\r\n--- Switched to advanced mode!\r\n", "Advanced",
       Phase::Connecting},
  };
  for (const Row& row : rows) {
    CAPTURE(row.markedPosition);
    CAPTURE(static_cast<int>(row.state));
    SetSessionPhase(row.state);
    SetTransferMode(row.current);
    const std::string transcript = Transcript();
    const std::string status = StatusPart(2);
    UINT marks[3] = {};
    UINT radio = 0;
    RECT rect = {};
    ModalWatcher watcher([&] {
      HWND menu = OpenMenuWindow();
      if (!menu) return false;
      for (UINT i = 0; i < 3; ++i)
        marks[i] = GetMenuState(app.controls.modeMenu, i, MF_BYPOSITION) & MF_CHECKED;
      MENUITEMINFOA info = {};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE;
      GetMenuItemInfoA(app.controls.modeMenu, row.markedPosition, TRUE, &info);
      radio = info.fType & MFT_RADIOCHECK;
      GetWindowRect(menu, &rect);
      if (row.mnemonic)
        ChooseMenuMnemonic(menu, row.mnemonic);
      else
        EndMenu();
      return true;
    });
    ClickStatusPart(2);
    CHECK_FALSE(watcher.timedOut());
    // The choice takes effect when the menu closes.
    if (row.message)
      PumpUntil([&] { return StatusPart(2) == row.status; }, 2000);
    else
      PumpFor(100);
    for (UINT i = 0; i < 3; ++i) CHECK((marks[i] != 0) == (i == row.markedPosition));
    CHECK(radio != 0);
    POINT anchor = {app.layout.clientWidth - 50 * kCharWidth, app.layout.clientHeight};
    ClientToScreen(w.hwnd(), &anchor);
    CHECK(rect.left == anchor.x);
    CHECK(abs((rect.top + rect.bottom) / 2 - anchor.y) <= 1);
    if (row.message) {
      CHECK(Transcript() == transcript + row.message);
      CHECK(StatusPart(2) == row.status);
    } else {
      CHECK(Transcript() == transcript);
      CHECK(StatusPart(2) == status);
      CHECK(CurrentTransferMode() == row.current);
    }
  }
}

TEST_CASE("status-bar clicks while idle or connecting") {
  FreshWindow w;
  const char* const toUdp = "\r\n--- Using UDP/IP now!\r\n";
  const char* const toTcp = "\r\n--- Using TCP/IP now!\r\n";
  const struct {
    int part;
    Phase state;
    bool armed;         // statsArmed
    const char* added;  // null: the statistics report
    const char* protocol;
  } rows[] = {
      {3, Phase::Idle, true, toUdp, "UDP/IP"},
      {3, Phase::Idle, true, toTcp, "TCP/IP"},
      {3, Phase::Connecting, true, toUdp, "UDP/IP"},
      {0, Phase::Idle, true, "", "UDP/IP"},
      {1, Phase::Connecting, true, "", "UDP/IP"},
      {4, Phase::Idle, true, nullptr, "UDP/IP"},
      {5, Phase::Idle, false, "", "UDP/IP"},
      {5, Phase::Connecting, true, nullptr, "UDP/IP"},
      {4, Phase::Connecting, false, "", "UDP/IP"},
  };
  app.choices.useTcp = 1;
  for (const auto& row : rows) {
    CAPTURE(row.part);
    CAPTURE(static_cast<int>(row.state));
    CAPTURE(row.armed);
    SetSessionPhase(row.state);
    app.transcript.statsArmed = row.armed;
    const std::string before = Transcript();
    ClickStatusPart(row.part);
    const std::string added = Transcript().substr(before.size());
    if (row.added)
      CHECK(added == row.added);
    else
      CHECK(added.find("Connection statistics:") != std::string::npos);
    CHECK(StatusPart(3) == row.protocol);
    CHECK(app.choices.useTcp == (std::string(row.protocol) == "TCP/IP"));
  }
}

namespace {
// A TCP connect in ASCII mode to peer, started (not waited for).
void StartAsciiConnect(const TcpEchoServer& peer) {
  app.choices.useTcp = 1;
  SetTransferMode(TransferMode::Ascii);
  SetWindowTextA(app.controls.hostField, "127.0.0.1");
  SetWindowTextA(app.controls.portField, peer.PortText().c_str());
  SendMessageA(app.controls.mainWindow, WM_COMMAND, kConnectButtonId, 0);
}
}  // namespace

TEST_CASE("status-bar clicks while connected: a warning for mode and protocol, else nothing") {
  TcpEchoServer peer;
  REQUIRE(peer.ok());
  FreshWindow w;
  StartAsciiConnect(peer);
  REQUIRE(PumpUntil([] { return app.session.connected() != 0; }));
  const std::string transcript = Transcript();
  std::vector<BoxContents> boxes;
  bool menuSeen = false;
  ModalWatcher watcher(
      [&] {
        if (OpenMenuWindow()) {
          menuSeen = true;
          EndMenu();
        }
        if (HWND found = OpenMessageBox()) {
          boxes.push_back(ReadMessageBox(found));
          CloseMessageBox(found);
        }
        return false;
      },
      10000);
  for (int part = 0; part < 6; ++part) {
    CAPTURE(part);
    const size_t before = boxes.size();
    ClickStatusPart(part);
    CHECK(boxes.size() == before + ((part == 2 || part == 3) ? 1 : 0));
  }
  CHECK(app.session.connected());
  CHECK_FALSE(menuSeen);
  REQUIRE(boxes.size() == 2);
  for (const BoxContents& box : boxes) {
    CHECK(box.caption == "Telvane");
    CHECK(box.text == kWarning);
    CHECK(box.hasIcon);
  }
  CHECK(app.choices.useTcp == 1);
  CHECK(CurrentTransferMode() == TransferMode::Ascii);
  CHECK(Transcript() == transcript);
}

TEST_CASE("a connect that completes while the mode menu is open keeps the session's mode") {
  TcpEchoServer peer;
  REQUIRE(peer.ok());
  FreshWindow w;
  StartAsciiConnect(peer);
  REQUIRE(app.session.connecting());
  REQUIRE_FALSE(app.session.connected());
  const std::string status = StatusPart(2);

  // The menu's own loop handles the connect; Binary is chosen only after it.
  bool chosen = false;
  std::vector<BoxContents> boxes;
  ModalWatcher watcher(
      [&] {
        if (!chosen) {
          HWND menu = OpenMenuWindow();
          if (menu && app.session.connected()) {
            ChooseMenuMnemonic(menu, 'b');
            chosen = true;
          }
          return false;
        }
        if (HWND box = OpenMessageBox()) {
          boxes.push_back(ReadMessageBox(box));
          CloseMessageBox(box);
          return true;
        }
        return false;
      },
      5000);
  ClickStatusPart(2);
  PumpFor(100);
  CHECK(chosen);
  CHECK_FALSE(watcher.timedOut());
  CHECK(app.session.connected());
  CHECK(CurrentTransferMode() == TransferMode::Ascii);
  CHECK(StatusPart(2) == status);
  CHECK(TranscriptTail().find("Switched") == std::string::npos);
  REQUIRE(boxes.size() == 1);
  CHECK(boxes[0].text == kWarning);
}

TEST_CASE("the keyboard's menu key shows the pane's own menu, never the control's") {
  FreshWindow w;
  AppendOutput("hello world");
  bool shown = false;
  RECT rect = {};
  {
    ModalWatcher watcher([&] {
      HWND menu = OpenMenuWindow();
      if (!menu) return false;
      shown =
          reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0)) == app.controls.outputMenu;
      GetWindowRect(menu, &rect);
      EndMenu();
      return true;
    });
    SendMessageA(app.controls.outputPane, WM_CONTEXTMENU,
                 reinterpret_cast<WPARAM>(app.controls.outputPane), -1);
    PumpFor(20);
    CHECK_FALSE(watcher.timedOut());
  }
  CHECK(shown);
  POINT corner = {0, 0};
  ClientToScreen(app.controls.outputPane, &corner);
  CHECK(rect.left == corner.x);
  CHECK(rect.top == corner.y);
}
