#include "parse/settings_values.h"

#include <cstring>

#include "parse/leading_number.h"
#include "parse/scheme_table.h"

namespace {

constexpr char kFallbackPort[] = "79";
constexpr size_t kPositionChars = 5;  // a longer stored position or size is cut
constexpr int kMinWidth = 700;
constexpr int kMinHeight = 75;
constexpr int kOffScreenSlack = 5;  // how far left of or above the screen a window may start
constexpr int kOversizeSlack = 30;  // how much larger than the screen a window may be
constexpr int kDefaultWidth = 700;
constexpr int kDefaultHeight = 400;

int Number(const std::string& text) { return LeadingNumber(text.c_str()); }
int Position(const std::string& text) { return Number(text.substr(0, kPositionChars)); }

// Only 1..65534 is kept; 65535 and everything else fall back.
bool IsStoredPortAccepted(const std::string& text) {
  return static_cast<unsigned>(Number(text)) - 1u <= 65533u;
}

bool Fits(const WindowPlace& w, int screenWidth, int screenHeight) {
  return w.x >= -kOffScreenSlack && w.x <= screenWidth && w.y >= -kOffScreenSlack &&
         w.y <= screenHeight && w.width >= kMinWidth && w.width <= screenWidth + kOversizeSlack &&
         w.height >= kMinHeight && w.height <= screenHeight + kOversizeSlack;
}

}  // namespace

WindowPlace DefaultWindowPlace(int screenWidth, int screenHeight) {
  return {screenWidth / 2 - kDefaultWidth / 2, screenHeight / 2 - kDefaultHeight / 2, kDefaultWidth,
          kDefaultHeight};
}

Settings ClampSettings(const StoredSettings& stored, int screenWidth, int screenHeight) {
  Settings settings;
  settings.host = stored.host.substr(0, kSettingsValueChars);
  settings.port = IsStoredPortAccepted(stored.port) ? stored.port.substr(0, kSettingsValueChars)
                                                    : kFallbackPort;
  settings.useTcp = Number(stored.protocol) == 0;
  settings.mode = ModeRowOfCode(Number(stored.mode)).mode;
  const unsigned index = static_cast<unsigned>(Number(stored.scheme)) - 1u;
  settings.schemeIndex = index < static_cast<unsigned>(kSchemeCount) ? static_cast<int>(index) : 0;
  settings.window = {Position(stored.x), Position(stored.y), Position(stored.width),
                     Position(stored.height)};
  if (!Fits(settings.window, screenWidth, screenHeight))
    settings.window = DefaultWindowPlace(screenWidth, screenHeight);
  return settings;
}

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
