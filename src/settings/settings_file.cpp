#include "settings/settings_file.h"

#include <string>

#include "base/app_state.h"
#include "rules/settings_values.h"
#include "view/status_parts.h"

namespace {

constexpr char kSection[] = "Telvane/Settings";

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
  SettingsPathFor(exePath, app.choices.settingsPath, MAX_PATH);
}

// value holds the default; without a usable path every key reads as its default.
void Read(const char* key, std::string& value) {
  if (!app.choices.settingsPath[0]) return;
  char text[kSettingsValueChars + 1];
  GetPrivateProfileStringA(kSection, key, value.c_str(), text, sizeof text,
                           app.choices.settingsPath);
  value = text;
}

StoredSettings ReadStoredSettings() {
  StoredSettings stored;
  Read("host", stored.host);
  Read("port", stored.port);
  Read("protocol", stored.protocol);
  Read("mode", stored.mode);
  Read("scheme", stored.scheme);
  Read("xpos", stored.x);
  Read("ypos", stored.y);
  Read("width", stored.width);
  Read("height", stored.height);
  return stored;
}

void WriteValue(const char* key, const char* value) {
  if (app.choices.settingsPath[0])
    WritePrivateProfileStringA(kSection, key, value, app.choices.settingsPath);
}

void WriteFormatted(const char* key, const char* format, int value) {
  char text[16];
  wsprintfA(text, format, value);
  WriteValue(key, text);
}

}  // namespace

void SetExecutablePathForTesting(const char* path) {
  testExecutablePath[0] = '\0';
  if (path) lstrcpynA(testExecutablePath, path, MAX_PATH);
}

void LoadSettings() {
  BuildSettingsPath();
  const Settings settings = ClampSettings(ReadStoredSettings(), GetSystemMetrics(SM_CXSCREEN),
                                          GetSystemMetrics(SM_CYSCREEN));
  SetWindowTextA(app.controls.hostField, settings.host.c_str());
  lstrcpynA(app.choices.lastHost, settings.host.c_str(), kHostTextSize);
  SetWindowTextA(app.controls.portField, settings.port.c_str());
  GetWindowTextA(app.controls.portField, app.choices.lastPort, kPortTextSize);
  app.choices.useTcp = settings.useTcp;
  ShowProtocol();
  SetTransferMode(settings.mode);
  ShowTransferMode();
  app.choices.schemeIndex = settings.schemeIndex;
  app.choices.window = settings.window;
}

RECT DefaultWindowRectangle() {
  const WindowPlace w =
      DefaultWindowPlace(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  return RECT{w.x, w.y, w.x + w.width, w.y + w.height};
}

void RestoreWindowPlacement() {
  const WindowPlace& w = app.choices.window;
  MoveWindow(app.controls.mainWindow, w.x, w.y, w.width, w.height, TRUE);
}

void SaveSettings() {
  WriteValue("host", app.choices.lastHost);
  WriteValue("port", app.choices.lastPort);
  WriteValue("protocol", app.choices.useTcp ? "0" : "1");
  WriteFormatted("mode", "%d", ModeRowOf(CurrentTransferMode()).settingsCode);
  const char scheme[2] = {static_cast<char>('1' + app.choices.schemeIndex), '\0'};
  WriteValue("scheme", scheme);
  RECT r = {};
  GetWindowRect(app.controls.mainWindow, &r);
  WriteFormatted("xpos", "%d", r.left);
  WriteFormatted("ypos", "%d", r.top);
  WriteFormatted("width", "%u", r.right - r.left);
  WriteFormatted("height", "%u", r.bottom - r.top);
}
