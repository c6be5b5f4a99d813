// The settings file's values: where the file is, and what is kept of what it holds.
#include <doctest.h>

#include <string>

#include "parse/settings_values.h"

namespace {
constexpr int kMaxPath = 260;  // MAX_PATH
}  // namespace

TEST_CASE("the settings file is named after the executable") {
  struct Row {
    const char* exe;
    const char* ini;
  };
  const Row rows[] = {
      {"C:\\tools\\telvane.exe", "C:\\tools\\telvane.ini"},
      {"C:\\tools\\TELVANE.EXE", "C:\\tools\\TELVANE.ini"},
      {"C:\\my.tools\\telvane.exe", "C:\\my.tools\\telvane.ini"},
      {"C:\\tools\\telvane.program", "C:\\tools\\telvane.ini"},
      {"C:\\tools\\telvane.x", "C:\\tools\\telvane.ini"},
      {"C:\\tools\\telvane.", "C:\\tools\\telvane.ini"},
      {"C:\\tools\\tel.vane.bin", "C:\\tools\\tel.vane.ini"},
      {"C:\\tools\\telvane", "C:\\tools\\telvane.ini"},
      {"C:\\my.tools\\telvane", "C:\\my.tools\\telvane.ini"},
      {"/unix/style.dir/telvane", "/unix/style.dir/telvane.ini"},
      {"telvane.exe", "telvane.ini"},
      {"C:\\tools\\", ""},
      {"", ""},
  };
  for (const Row& row : rows) {
    CAPTURE(row.exe);
    char path[kMaxPath] = "junk";
    CHECK(SettingsPathFor(row.exe, path, kMaxPath) == (row.ini[0] != '\0'));
    CHECK(std::string(path) == row.ini);
  }

  SUBCASE("a name whose settings path would not fit gives no path") {
    const std::string folder = "C:\\" + std::string(kMaxPath - 12, 'd') + "\\";
    char path[kMaxPath] = "junk";
    CHECK(SettingsPathFor((folder + "tel.exe").c_str(), path, kMaxPath));  // 259 + NUL
    CHECK(std::string(path) == folder + "tel.ini");
    CHECK_FALSE(SettingsPathFor((folder + "telv").c_str(), path, kMaxPath));  // would be 260
    CHECK(std::string(path).empty());
  }
}

TEST_CASE("stored values are kept when usable, and fall back one by one when not") {
  struct Row {
    const char* what;
    StoredSettings stored;
    Settings kept;
  };
  const WindowPlace centred = {290, 312, 700, 400};  // on a 1280 x 1024 screen
  const auto Stored = [](auto change) {
    StoredSettings stored;
    change(stored);
    return stored;
  };
  const Settings defaults = {"127.0.0.1", "80", true, TransferMode::Ascii, 0, centred};
  const auto Kept = [&](auto change) {
    Settings kept = defaults;
    change(kept);
    return kept;
  };
  const std::string longHost(70, 'h');
  const Row rows[] = {
      {"nothing stored", {}, defaults},
      {"a long host is cut", Stored([&](StoredSettings& s) { s.host = longHost; }),
       Kept([&](Settings& k) { k.host = longHost.substr(0, 63); })},
      {"a port as typed", Stored([](StoredSettings& s) { s.port = "00080"; }),
       Kept([](Settings& k) { k.port = "00080"; })},
      {"the highest port kept", Stored([](StoredSettings& s) { s.port = "65534"; }),
       Kept([](Settings& k) { k.port = "65534"; })},
      {"65535 falls back", Stored([](StoredSettings& s) { s.port = "65535"; }),
       Kept([](Settings& k) { k.port = "79"; })},
      {"port 0", Stored([](StoredSettings& s) { s.port = "0"; }),
       Kept([](Settings& k) { k.port = "79"; })},
      {"no port", Stored([](StoredSettings& s) { s.port = ""; }),
       Kept([](Settings& k) { k.port = "79"; })},
      {"UDP", Stored([](StoredSettings& s) { s.protocol = "1"; }),
       Kept([](Settings& k) { k.useTcp = false; })},
      {"any protocol but 0 is UDP", Stored([](StoredSettings& s) { s.protocol = "7"; }),
       Kept([](Settings& k) { k.useTcp = false; })},
      {"no number is 0: TCP", Stored([](StoredSettings& s) { s.protocol = "tcp"; }), defaults},
      {"Advanced", Stored([](StoredSettings& s) { s.mode = "1"; }),
       Kept([](Settings& k) { k.mode = TransferMode::Advanced; })},
      {"Binary", Stored([](StoredSettings& s) { s.mode = "2"; }),
       Kept([](Settings& k) { k.mode = TransferMode::Binary; })},
      {"an unknown mode is ASCII", Stored([](StoredSettings& s) { s.mode = "3"; }), defaults},
      {"scheme 9", Stored([](StoredSettings& s) { s.scheme = "9"; }),
       Kept([](Settings& k) { k.schemeIndex = 8; })},
      {"scheme 10 is the first", Stored([](StoredSettings& s) { s.scheme = "10"; }), defaults},
      {"scheme 0 is the first", Stored([](StoredSettings& s) { s.scheme = "0"; }), defaults},
      {"a window at its limits", Stored([](StoredSettings& s) {
         s.x = "-5", s.y = "1024", s.width = "1310", s.height = "75";
       }),
       Kept([](Settings& k) {
         k.window = {-5, 1024, 1310, 75};
       })},
      {"a window too narrow",
       Stored([](StoredSettings& s) { s.x = "0", s.y = "0", s.width = "699", s.height = "400"; }),
       defaults},
      {"a window too far left",
       Stored([](StoredSettings& s) { s.x = "-6", s.y = "0", s.width = "700", s.height = "400"; }),
       defaults},
      {"a window too wide",
       Stored([](StoredSettings& s) { s.x = "0", s.y = "0", s.width = "1311", s.height = "400"; }),
       defaults},
      {"a window too low",
       Stored([](StoredSettings& s) { s.x = "0", s.y = "0", s.width = "700", s.height = "74"; }),
       defaults},
      {"only five characters of a position count", Stored([](StoredSettings& s) {
         s.x = "0000012", s.y = "10", s.width = "700", s.height = "400";
       }),
       Kept([](Settings& k) {
         k.window = {0, 10, 700, 400};
       })},
  };
  for (const Row& row : rows) {
    CAPTURE(row.what);
    const Settings kept = ClampSettings(row.stored, 1280, 1024);
    CHECK(kept.host == row.kept.host);
    CHECK(kept.port == row.kept.port);
    CHECK(kept.useTcp == row.kept.useTcp);
    CHECK(kept.mode == row.kept.mode);
    CHECK(kept.schemeIndex == row.kept.schemeIndex);
    CHECK(kept.window.x == row.kept.window.x);
    CHECK(kept.window.y == row.kept.window.y);
    CHECK(kept.window.width == row.kept.window.width);
    CHECK(kept.window.height == row.kept.window.height);
  }
  const WindowPlace small = DefaultWindowPlace(800, 600);
  CHECK(small.x == 50);
  CHECK(small.y == 100);
}
