#include "settings/settings_file.h"

#include <cstring>

#include "app/app_state.h"
#include "app/leading_number.h"
#include "app/status_bar.h"
#include "app/texts.h"
#include "settings/schemes.h"

namespace {

constexpr char kSection[] = "Telvane/Settings";
constexpr int kValueSize = 64;
constexpr int kPositionSize = 6;  // five characters: a longer stored value is cut
constexpr char kDefaultHost[] = "127.0.0.1";
constexpr char kDefaultPort[] = "80";
constexpr char kFallbackPort[] = "79";
constexpr char kDefaultPosition[] = "-100";
constexpr int kMinWidth = 700;
constexpr int kMinHeight = 75;
constexpr int kOffScreenSlack = 5;   // how far left of or above the screen a window may start
constexpr int kOversizeSlack = 30;   // how much larger than the screen a window may be
constexpr int kDefaultWidth = 700;
constexpr int kDefaultHeight = 400;

char testExecutablePath[MAX_PATH];

void BuildSettingsPath() {
  char exePath[MAX_PATH] = {};
  if (testExecutablePath[0]) {
    lstrcpynA(exePath, testExecutablePath, MAX_PATH);
  } else {
    // A full buffer means a cut name, which would put the file somewhere else.
    const DWORD length = GetModuleFileNameA(nullptr, exePath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) exePath[0] = '\0';
  }
  SettingsPathFor(exePath, app.settingsPath, MAX_PATH);
}

// Without a usable path every key reads as its default and nothing is written.
void ReadValue(const char* key, const char* fallback, char* text, int size) {
  if (app.settingsPath[0])
    GetPrivateProfileStringA(kSection, key, fallback, text, size, app.settingsPath);
  else
    lstrcpynA(text, fallback, size);
}

int ReadNumber(const char* key, const char* fallback, int size) {
  char text[kValueSize];
  ReadValue(key, fallback, text, size);
  return LeadingNumber(text);
}

void WriteValue(const char* key, const char* value) {
  if (app.settingsPath[0]) WritePrivateProfileStringA(kSection, key, value, app.settingsPath);
}

// Only 1..65534 is kept; 65535 and everything else fall back.
bool IsStoredPortAccepted(const char* text) {
  return static_cast<unsigned>(LeadingNumber(text)) - 1u <= 65533u;
}

void LoadHost() {
  char host[kValueSize];
  ReadValue("host", kDefaultHost, host, kValueSize);
  SetWindowTextA(app.hostField, host);
  lstrcpynA(app.lastHost, host, kHostTextSize);
}

void LoadPort() {
  char port[kValueSize];
  ReadValue("port", kDefaultPort, port, kValueSize);
  SetWindowTextA(app.portField, IsStoredPortAccepted(port) ? port : kFallbackPort);
  GetWindowTextA(app.portField, app.lastPort, kPortTextSize);
}

void LoadProtocol() {
  app.useTcp = ReadNumber("protocol", "0", kValueSize) == 0;
  ShowProtocol();
}

void LoadMode() {
  SetTransferMode(ModeRowOfCode(ReadNumber("mode", "0", kValueSize)).mode);
  ShowTransferMode();
}

void LoadScheme() {
  const unsigned index = static_cast<unsigned>(ReadNumber("scheme", "1", kValueSize)) - 1u;
  app.schemeIndex = index < static_cast<unsigned>(kSchemeCount) ? static_cast<int>(index) : 0;
}

void WriteFormatted(const char* key, const char* format, int value) {
  char text[16];
  wsprintfA(text, format, value);
  WriteValue(key, text);
}

}  // namespace

bool SettingsPathFor(const char* exePath, char* path, int size) {
  path[0] = '\0';
  const int length = static_cast<int>(std::strlen(exePath));
  int nameStart = length;
  while (nameStart > 0 && !std::strchr("\\/:", exePath[nameStart - 1])) --nameStart;
  if (nameStart == length) return false;

  int dot = -1;
  for (int i = nameStart; i < length; ++i)
    if (exePath[i] == '.') dot = i;
  int keep = length;
  const char* ending = ".ini";
  if (dot >= 0 && length - dot - 1 == 3) {
    keep = length - 3;
    ending = "ini";
  } else if (dot >= 0) {
    keep = dot;
  }
  const int endingLength = static_cast<int>(std::strlen(ending));
  if (keep + endingLength >= size) return false;
  std::memcpy(path, exePath, static_cast<size_t>(keep));
  std::memcpy(path + keep, ending, static_cast<size_t>(endingLength) + 1);
  return true;
}

void SetExecutablePathForTesting(const char* path) {
  testExecutablePath[0] = '\0';
  if (path) lstrcpynA(testExecutablePath, path, MAX_PATH);
}

void ShowProtocol() { SetStatusText(kStatusProtocol, app.useTcp ? kStatusTcp : kStatusUdp); }

void ShowTransferMode() { SetStatusText(kStatusMode, ModeRowOf(CurrentTransferMode()).statusText); }

void LoadSettings() {
  BuildSettingsPath();
  LoadHost();
  LoadPort();
  LoadProtocol();
  LoadMode();
  LoadScheme();
}

RECT DefaultWindowRectangle() {
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - kDefaultWidth / 2;
  const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - kDefaultHeight / 2;
  return RECT{x, y, x + kDefaultWidth, y + kDefaultHeight};
}

void RestoreWindowPlacement() {
  BuildSettingsPath();
  int x = ReadNumber("xpos", kDefaultPosition, kPositionSize);
  int y = ReadNumber("ypos", kDefaultPosition, kPositionSize);
  int width = ReadNumber("width", kDefaultPosition, kPositionSize);
  int height = ReadNumber("height", kDefaultPosition, kPositionSize);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const bool accepted = x >= -kOffScreenSlack && x <= screenWidth &&
                        y >= -kOffScreenSlack && y <= screenHeight &&
                        width >= kMinWidth && width <= screenWidth + kOversizeSlack &&
                        height >= kMinHeight && height <= screenHeight + kOversizeSlack;
  if (!accepted) {
    const RECT r = DefaultWindowRectangle();
    x = r.left;
    y = r.top;
    width = r.right - r.left;
    height = r.bottom - r.top;
  }
  MoveWindow(app.mainWindow, x, y, width, height, TRUE);
}

void SaveSettings() {
  WriteValue("host", app.lastHost);
  WriteValue("port", app.lastPort);
  WriteValue("protocol", app.useTcp ? "0" : "1");
  WriteFormatted("mode", "%d", ModeRowOf(CurrentTransferMode()).settingsCode);
  const char scheme[2] = {static_cast<char>('1' + app.schemeIndex), '\0'};
  WriteValue("scheme", scheme);
  RECT r = {};
  GetWindowRect(app.mainWindow, &r);
  WriteFormatted("xpos", "%d", r.left);
  WriteFormatted("ypos", "%d", r.top);
  WriteFormatted("width", "%u", r.right - r.left);
  WriteFormatted("height", "%u", r.bottom - r.top);
}
