#include "settings/settings_file.h"

#include <string>

#include "base/app_state.h"
#include "parse/settings_values.h"
#include "session/session_runner.h"
#include "view/status_parts.h"

namespace {

constexpr char kSection[] = "Telvane/Settings";

// Every key, in the order a new file lists them; reading and writing both go by it.
struct Key {
  const char* name;
  std::string StoredSettings::*value;
};
const Key kKeys[] = {
    {"host", &StoredSettings::host},
    {"port", &StoredSettings::port},
    {"protocol", &StoredSettings::protocol},
    {"mode", &StoredSettings::mode},
    {"scheme", &StoredSettings::scheme},
    {"xpos", &StoredSettings::x},
    {"ypos", &StoredSettings::y},
    {"width", &StoredSettings::width},
    {"height", &StoredSettings::height},
};

void BuildSettingsPath(const char* givenExecutable, char (&settingsPath)[MAX_PATH]) {
  char exePath[MAX_PATH] = {};
  if (givenExecutable) {
    lstrcpynA(exePath, givenExecutable, MAX_PATH);
  } else {
    // A full buffer means a cut name, which would put the file somewhere else.
    const DWORD length = GetModuleFileNameA(nullptr, exePath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) exePath[0] = '\0';
  }
  SettingsPathFor(exePath, settingsPath, MAX_PATH);
}

// Every value that has a key in the file reads as it, the others keep their defaults;
// without a usable path all of them do.
StoredSettings ReadStoredSettings(const char* path) {
  StoredSettings stored;
  if (!path[0]) return stored;
  for (const Key& key : kKeys) {
    std::string& value = stored.*key.value;
    char text[kSettingsValueChars + 1];
    GetPrivateProfileStringA(kSection, key.name, value.c_str(), text, sizeof text, path);
    value = text;
  }
  return stored;
}

std::string Formatted(const char* format, int value) {
  char text[16];
  wsprintfA(text, format, value);
  return text;
}

// The choices and the window's place as the file keeps them.
StoredSettings ToStore(const Choices& choices, TransferMode mode, HWND window) {
  StoredSettings stored;
  stored.host = choices.lastHost;
  stored.port = choices.lastPort;
  stored.protocol = choices.useTcp ? "0" : "1";
  stored.mode = Formatted("%d", ModeRowOf(mode).settingsCode);
  stored.scheme = std::string(1, static_cast<char>('1' + choices.schemeIndex));
  RECT r = {};
  GetWindowRect(window, &r);
  stored.x = Formatted("%d", r.left);
  stored.y = Formatted("%d", r.top);
  stored.width = Formatted("%u", r.right - r.left);
  stored.height = Formatted("%u", r.bottom - r.top);
  return stored;
}

}  // namespace

void LoadSettings() {
  Choices& choices = app.choices;
  const Controls& controls = app.controls;
  BuildSettingsPath(app.surroundings.executablePath, choices.settingsPath);
  const Settings settings =
      ClampSettings(ReadStoredSettings(choices.settingsPath), GetSystemMetrics(SM_CXSCREEN),
                    GetSystemMetrics(SM_CYSCREEN));
  SetWindowTextA(controls.hostField, settings.host.c_str());
  lstrcpynA(choices.lastHost, settings.host.c_str(), kHostTextSize);
  SetWindowTextA(controls.portField, settings.port.c_str());
  GetWindowTextA(controls.portField, choices.lastPort, kPortTextSize);
  choices.useTcp = settings.useTcp;
  ShowProtocol(choices.useTcp);
  RunSession(ev::ModeSwitched{settings.mode});
  ShowTransferMode(settings.mode);
  choices.schemeIndex = settings.schemeIndex;
  choices.window = settings.window;
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
  const char* path = app.choices.settingsPath;
  if (!path[0]) return;
  const StoredSettings stored = ToStore(app.choices, app.session.mode(), app.controls.mainWindow);
  for (const Key& key : kKeys)
    WritePrivateProfileStringA(kSection, key.name, (stored.*key.value).c_str(), path);
}
