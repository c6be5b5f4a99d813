#include "support/harness.h"

#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "support/real_program.h"
#include "view/scheme_colors.h"

namespace {

std::string Ini(const std::string& lines) { return "[Telvane/Settings]\r\n" + lines; }

RECT WindowRectangle(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return r;
}

RECT CentredDefault() {
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - 350;
  const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - 200;
  return RECT{x, y, x + 700, y + 400};
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

// The non-empty lines of a settings file, in file order.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\r' || c == '\n') {
      if (!line.empty()) lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::vector<std::string> ExpectedFile(const std::string& host, const std::string& port,
                                      const char* protocol, const char* mode, const char* scheme,
                                      const RECT& r) {
  return {"[Telvane/Settings]",
          "host=" + host,
          "port=" + port,
          std::string("protocol=") + protocol,
          std::string("mode=") + mode,
          std::string("scheme=") + scheme,
          "xpos=" + std::to_string(r.left),
          "ypos=" + std::to_string(r.top),
          "width=" + std::to_string(r.right - r.left),
          "height=" + std::to_string(r.bottom - r.top)};
}

}  // namespace

TEST_CASE("first start without a settings file uses every default") {
  FreshWindow w;
  CHECK(WindowText(app.controls.hostField) == "127.0.0.1");
  CHECK(WindowText(app.controls.portField) == "80");
  CHECK(std::string(app.choices.lastHost) == "127.0.0.1");
  CHECK(std::string(app.choices.lastPort) == "80");
  CHECK(app.choices.useTcp == 1);
  CHECK(StatusPart(3) == "TCP/IP");
  CHECK(CurrentTransferMode() == TransferMode::Ascii);
  CHECK(StatusPart(2) == "ASCII");
  CHECK(app.choices.schemeIndex == 0);
  CHECK(std::string(app.choices.settingsPath) == w.iniPath());
  const RECT r = WindowRectangle(w.hwnd());
  CAPTURE(Describe(r));
  CHECK(SameRect(r, CentredDefault()));
}

TEST_CASE("stored values are read, and invalid ones fall back") {
  struct Row {
    const char* line;
    const char* portField;  // null: not checked
    int useTcp;             // -1: not checked
    int mode;               // TransferMode, -1: not checked
    int schemeIndex;        // -1: not checked
  };
  const Row rows[] = {
      {"port=0", "79", -1, -1, -1},
      {"port=1", "1", -1, -1, -1},
      {"port=65534", "65534", -1, -1, -1},
      {"port=65535", "79", -1, -1, -1},
      {"port=-1", "79", -1, -1, -1},
      {"port=abc", "79", -1, -1, -1},
      {"port=", "79", -1, -1, -1},
      {"port=80abc", "80abc", -1, -1, -1},
      {"port=0023", "0023", -1, -1, -1},
      {"port=4294967376", "79", -1, -1, -1},
      {"protocol=0", nullptr, 1, -1, -1},
      {"protocol=1", nullptr, 0, -1, -1},
      {"protocol=2", nullptr, 0, -1, -1},
      {"protocol=udp", nullptr, 1, -1, -1},
      {"mode=0", nullptr, -1, static_cast<int>(TransferMode::Ascii), -1},
      {"mode=1", nullptr, -1, static_cast<int>(TransferMode::Advanced), -1},
      {"mode=2", nullptr, -1, static_cast<int>(TransferMode::Binary), -1},
      {"mode=7", nullptr, -1, static_cast<int>(TransferMode::Ascii), -1},
      {"mode=-1", nullptr, -1, static_cast<int>(TransferMode::Ascii), -1},
      {"scheme=0", nullptr, -1, -1, 0},
      {"scheme=1", nullptr, -1, -1, 0},
      {"scheme=4", nullptr, -1, -1, 3},
      {"scheme=9", nullptr, -1, -1, 8},
      {"scheme=10", nullptr, -1, -1, 0},
      {"scheme=-5", nullptr, -1, -1, 0},
      {"scheme=x", nullptr, -1, -1, 0},
  };
  const char* const modeTexts[] = {"ASCII", "Advanced", "Binary"};
  for (const Row& row : rows) {
    CAPTURE(row.line);
    FreshWindow w(Ini(std::string(row.line) + "\r\n"));
    if (row.portField) {
      CHECK(WindowText(app.controls.portField) == row.portField);
      CHECK(std::string(app.choices.lastPort) == row.portField);
    }
    if (row.useTcp >= 0) {
      CHECK(app.choices.useTcp == row.useTcp);
      CHECK(StatusPart(3) == (row.useTcp ? "TCP/IP" : "UDP/IP"));
    }
    if (row.mode >= 0) {
      CHECK(static_cast<int>(CurrentTransferMode()) == row.mode);
      CHECK(StatusPart(2) == modeTexts[row.mode]);
    }
    if (row.schemeIndex >= 0) CHECK(app.choices.schemeIndex == row.schemeIndex);
  }
}

TEST_CASE("host and port texts are taken as stored") {
  SUBCASE("a host name") {
    FreshWindow w(Ini("host=example.invalid\r\nport=7\r\n"));
    CHECK(WindowText(app.controls.hostField) == "example.invalid");
    CHECK(std::string(app.choices.lastHost) == "example.invalid");
    CHECK(std::string(app.choices.lastPort) == "7");
  }
  SUBCASE("a long host is cut to the 63 characters the field holds") {
    FreshWindow w(Ini("host=" + std::string(80, 'h') + "\r\n"));
    CHECK(WindowText(app.controls.hostField) == std::string(63, 'h'));
    CHECK(std::string(app.choices.lastHost) == std::string(63, 'h'));
  }
  SUBCASE("a long accepted port keeps its text in the field, seven characters of it remembered") {
    FreshWindow w(Ini("port=000000080\r\n"));
    CHECK(WindowText(app.controls.portField) == "000000080");
    CHECK(std::string(app.choices.lastPort) == "0000000");
  }
}

TEST_CASE("the stored window rectangle is used only when it passes all eight tests") {
  const int W = GetSystemMetrics(SM_CXSCREEN);
  const int H = GetSystemMetrics(SM_CYSCREEN);
  struct Row {
    std::string x, y, width, height;
    bool accepted;
  };
  const std::string w = std::to_string(W), h = std::to_string(H);
  const Row rows[] = {
      {"10", "20", "800", "500", true},
      {"-5", "20", "800", "500", true},
      {"-6", "20", "800", "500", false},
      {w, "20", "800", "500", true},
      {std::to_string(W + 1), "20", "800", "500", false},
      {"10", "-5", "800", "500", true},
      {"10", "-6", "800", "500", false},
      {"10", h, "800", "500", true},
      {"10", std::to_string(H + 1), "800", "500", false},
      {"10", "20", "699", "500", false},
      {"10", "20", "700", "500", true},
      {"10", "20", std::to_string(W + 31), "500", false},
      {"10", "20", "800", "74", false},
      {"10", "20", "800", "75", true},
      {"10", "20", "800", std::to_string(H + 31), false},
      // Where the window was closed while minimised.
      {"-32000", "-32000", "160", "28", false},
      // Only five characters are read.
      {"10", "20", "1000000", "500", false},
      {"10", "20", "0080099", "500", true},  // read as 800
  };
  for (const Row& row : rows) {
    const std::string ini = Ini("xpos=" + row.x + "\r\nypos=" + row.y + "\r\nwidth=" + row.width +
                                "\r\nheight=" + row.height + "\r\n");
    CAPTURE(ini);
    FreshWindow fresh(ini);
    const RECT r = WindowRectangle(fresh.hwnd());
    CAPTURE(Describe(r));
    if (row.accepted) {
      const int x = std::stoi(row.x), y = std::stoi(row.y);
      const int width = std::stoi(row.width.substr(0, 5)), height = std::stoi(row.height);
      CHECK(SameRect(r, RECT{x, y, x + width, y + height}));
    } else {
      CHECK(SameRect(r, CentredDefault()));
    }
  }

  SUBCASE("a rectangle missing one key is not used") {
    FreshWindow fresh(Ini("xpos=10\r\nypos=20\r\nwidth=800\r\n"));
    CHECK(SameRect(WindowRectangle(fresh.hwnd()), CentredDefault()));
  }
}

TEST_CASE("the nine keys are written at exit, in order") {
  SUBCASE("first start, closed at once") {
    FreshWindow w;
    const RECT r = WindowRectangle(w.hwnd());
    w.Close();
    CHECK(Lines(ReadFile(w.iniPath())) == ExpectedFile("127.0.0.1", "80", "0", "0", "1", r));
  }

  SUBCASE("the last successful target is written, not the fields' text") {
    for (bool connectedOnce : {false, true}) {
      CAPTURE(connectedOnce);
      FreshWindow w(Ini("host=first.invalid\r\nport=21\r\n"));
      if (connectedOnce) {  // what a successful connect leaves behind
        lstrcpyA(app.choices.lastHost, "127.0.0.2");
        lstrcpyA(app.choices.lastPort, "8080");
      }
      SetWindowTextA(app.controls.hostField, "");
      TypeChars(app.controls.hostField, "typed.invalid");
      SetWindowTextA(app.controls.portField, "");
      TypeChars(app.controls.portField, "9");
      REQUIRE(WindowText(app.controls.hostField) == "typed.invalid");
      const RECT r = WindowRectangle(w.hwnd());
      w.Close();
      CHECK(Lines(ReadFile(w.iniPath())) ==
            ExpectedFile(connectedOnce ? "127.0.0.2" : "first.invalid",
                         connectedOnce ? "8080" : "21", "0", "0", "1", r));
    }
  }

  SUBCASE("a fallback port is written as the fallback") {
    FreshWindow w(Ini("port=65535\r\n"));
    w.Close();
    const std::vector<std::string> lines = Lines(ReadFile(w.iniPath()));
    REQUIRE(lines.size() == 10u);
    CHECK(lines[1] == "port=79");
  }

  SUBCASE("keys of an existing file are replaced where they stand; others stay") {
    FreshWindow w("[Other]\r\nkeep=1\r\n[Telvane/Settings]\r\nscheme=3\r\nhost=a.invalid\r\n");
    w.Close();
    const std::vector<std::string> lines = Lines(ReadFile(w.iniPath()));
    REQUIRE(lines.size() == 12u);
    CHECK(lines[0] == "[Other]");
    CHECK(lines[1] == "keep=1");
    CHECK(lines[2] == "[Telvane/Settings]");
    CHECK(lines[3] == "scheme=3");
    CHECK(lines[4] == "host=a.invalid");
    CHECK(lines[5] == "port=80");
  }
}

TEST_CASE("what is written at exit is read back at the next start") {
  std::string saved;
  RECT placed = {};
  {
    FreshWindow w;
    MoveWindow(w.hwnd(), 40, 30, 820, 450, TRUE);
    placed = WindowRectangle(w.hwnd());
    lstrcpyA(app.choices.lastHost, "localhost");
    lstrcpyA(app.choices.lastPort, "7");
    app.choices.useTcp = 0;
    SetTransferMode(TransferMode::Binary);
    ApplyScheme(8);
    w.Close();
    saved = ReadFile(w.iniPath());
  }
  CHECK(Lines(saved) == ExpectedFile("localhost", "7", "1", "2", "9", placed));

  FreshWindow again(saved);
  CHECK(WindowText(app.controls.hostField) == "localhost");
  CHECK(WindowText(app.controls.portField) == "7");
  CHECK(app.choices.useTcp == 0);
  CHECK(StatusPart(3) == "UDP/IP");
  CHECK(CurrentTransferMode() == TransferMode::Binary);
  CHECK(StatusPart(2) == "Binary");
  CHECK(app.choices.schemeIndex == 8);
  CHECK(SameRect(WindowRectangle(again.hwnd()), placed));

  SUBCASE("Advanced mode travels as 1") {
    SetTransferMode(TransferMode::Advanced);
    again.Close();
    const std::vector<std::string> lines = Lines(ReadFile(again.iniPath()));
    REQUIRE(lines.size() == 10u);
    CHECK(lines[4] == "mode=1");
  }
}

TEST_CASE("the real program keeps its settings beside itself") {
  const std::string folder = MakeTempFolder();
  const std::string exe = folder + "\\telvane.exe";
  REQUIRE(CopyFileA(BesideTestProgram("telvane.exe").c_str(), exe.c_str(), FALSE));
  WriteFile(folder + "\\telvane.ini", Ini("host=beside.invalid\r\nscheme=5\r\n"));

  // Started from another folder, so that only the executable's own path can lead there.
  const ProgramRun run = RunAndClose(exe, "\"" + exe + "\"", BesideTestProgram(""));
  CHECK(run.windowAppeared);
  CHECK(run.ended);

  const std::vector<std::string> lines = Lines(ReadFile(folder + "\\telvane.ini"));
  REQUIRE(lines.size() == 10u);
  CHECK(lines[1] == "host=beside.invalid");
  CHECK(lines[2] == "scheme=5");
  RemoveFolder(folder);
}
