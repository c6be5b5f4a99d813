// The transfer modes: how each is stored, shown, offered in the mode menu and announced.
#pragma once

enum class TransferMode { Ascii, Advanced, Binary };

// Transfer-mode menu of the status bar.
enum ModeMenuId : int {
  kModeAsciiId = 301,
  kModeAdvancedId = 302,
  kModeBinaryId = 303,
};

struct TransferModeRow {
  TransferMode mode;
  int settingsCode;        // "mode" in the settings file
  const char* statusText;  // status part 2
  int menuId;
  const char* menuLabel;
  const char* switchLine;  // appended when the user switches to it
};

// In the order of the settings codes, which is also the order of the menu items.
constexpr TransferModeRow kTransferModes[] = {
    {TransferMode::Ascii, 0, "ASCII", kModeAsciiId, "&ASCII",
     "\r\n--- Switched to ASCII mode!\r\n"},
    {TransferMode::Advanced, 1, "Advanced", kModeAdvancedId, "A&dvanced",
     "\r\n--- Switched to advanced mode!\r\n"},
    {TransferMode::Binary, 2, "Binary", kModeBinaryId, "&Binary",
     "\r\n--- Switched to binary mode!\r\n"},
};
constexpr int kTransferModeCount = sizeof kTransferModes / sizeof kTransferModes[0];

constexpr bool TransferModesInOrder() {
  for (int i = 0; i < kTransferModeCount; ++i)
    if (static_cast<int>(kTransferModes[i].mode) != i || kTransferModes[i].settingsCode != i)
      return false;
  return true;
}
static_assert(TransferModesInOrder(),
              "a mode's row, settings code and menu position are one number");

constexpr const TransferModeRow& ModeRowOf(TransferMode mode) {
  return kTransferModes[static_cast<int>(mode)];
}

// An unknown settings code reads as ASCII.
constexpr const TransferModeRow& ModeRowOfCode(int code) {
  return code >= 0 && code < kTransferModeCount ? kTransferModes[code] : kTransferModes[0];
}

// nullptr when the ID is no mode's.
constexpr const TransferModeRow* ModeRowOfMenuId(int id) {
  for (const TransferModeRow& row : kTransferModes)
    if (row.menuId == id) return &row;
  return nullptr;
}
