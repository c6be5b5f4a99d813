// The settings file's values: what is read, with defaults, and what is kept of it. Pure.
#pragma once

#include <cstddef>
#include <string>

#include "text/transfer_modes.h"

// Where the main window goes: its left, top, width and height in screen pixels.
struct WindowPlace {
  int x, y, width, height;
};

// The values as the file holds them, each a text; a key that is missing reads as
// its default.
struct StoredSettings {
  std::string host = "127.0.0.1";
  std::string port = "80";
  std::string protocol = "0";  // 0 TCP, anything else UDP
  std::string mode = "0";      // the transfer mode's settings code
  std::string scheme = "1";    // 1..9
  std::string x = "-100", y = "-100", width = "-100", height = "-100";
};

// What the program makes of them.
struct Settings {
  std::string host;  // at most 63 characters
  std::string port;  // a number 1..65534 as stored (leading zeros and all), else "79"
  bool useTcp;
  TransferMode mode;
  int schemeIndex;     // 0..8
  WindowPlace window;  // on the screen, not too small or too large, else the default
};

// What the file's reader takes of a value, at most.
constexpr size_t kSettingsValueChars = 63;

// Values out of range fall back: the port to "79", the mode to ASCII, the scheme to
// the first, a window that would not fit the screen to the default place. Only the
// first five characters of a position or size count.
Settings ClampSettings(const StoredSettings& stored, int screenWidth, int screenHeight);

// The centred 700 x 400 rectangle: the place when the stored one is unusable, and
// where the window goes before maximising.
WindowPlace DefaultWindowPlace(int screenWidth, int screenHeight);

// The settings file that belongs to an executable: its name with the extension
// "ini" (X.exe -> X.ini; X.program -> X.ini; X -> X.ini). False, with path empty,
// when there is no name or the result does not fit in size bytes.
bool SettingsPathFor(const char* exePath, char* path, int size);
