// The settings' values: whatever the file holds, what is kept is usable.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "parse/leading_number.h"
#include "parse/settings_values.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int screenWidth = 640 + data[0] * 8;
  const int screenHeight = 480 + data[1] * 4;
  // Nine values, one per line.
  std::vector<std::string> values(9);
  size_t field = 0;
  for (size_t i = 2; i < size && field < values.size(); ++i) {
    if (data[i] == '\n')
      ++field;
    else if (data[i] != 0)  // a value read from the file ends at a NUL
      values[field] += static_cast<char>(data[i]);
  }
  StoredSettings stored;
  std::string* texts[] = {&stored.host, &stored.port,   &stored.protocol,
                          &stored.mode, &stored.scheme, &stored.x,
                          &stored.y,    &stored.width,  &stored.height};
  for (size_t i = 0; i < values.size(); ++i)
    if (!values[i].empty()) *texts[i] = values[i];
  const Settings kept = ClampSettings(stored, screenWidth, screenHeight);
  FUZZ_CHECK(kept.host.size() <= 63);
  const int port = LeadingNumber(kept.port.c_str());
  FUZZ_CHECK(kept.port == "79" || (port >= 1 && port <= 65534));
  FUZZ_CHECK(kept.schemeIndex >= 0 && kept.schemeIndex <= 8);
  FUZZ_CHECK(static_cast<int>(kept.mode) >= 0 && static_cast<int>(kept.mode) <= 2);
  // The stored place where it passes every test, else the default one.
  const WindowPlace& w = kept.window;
  const WindowPlace centred = DefaultWindowPlace(screenWidth, screenHeight);
  const bool fits = w.x >= -5 && w.x <= screenWidth && w.y >= -5 && w.y <= screenHeight &&
                    w.width >= 700 && w.width <= screenWidth + 30 && w.height >= 75 &&
                    w.height <= screenHeight + 30;
  const bool isDefault = w.x == centred.x && w.y == centred.y && w.width == centred.width &&
                         w.height == centred.height;
  FUZZ_CHECK(fits || isDefault);

  // The file's path from the executable's: it fits, or there is none.
  const std::string exe = values[0] + values[1];
  for (int room : {1, 8, 260}) {
    std::vector<char> path(static_cast<size_t>(room));
    const bool found = SettingsPathFor(exe.c_str(), path.data(), room);
    const size_t length = std::strlen(path.data());
    FUZZ_CHECK(length < static_cast<size_t>(room));
    FUZZ_CHECK(found ? length >= 4 && std::strcmp(path.data() + length - 3, "ini") == 0
                     : length == 0);
  }
  return 0;
}
