#include "commands/command_line.h"

#include <cstring>

#include "app/leading_number.h"
#include "commands/web_pages.h"
#include "settings/schemes.h"

namespace {

struct CommandWord {
  const char* word;
  Command command;
};

// Compared in this order; the words are all different, so at most one matches.
const CommandWord kCommandTable[] = {
    {":about", Command::About},
    {":help", Command::Help},
    {":winsock", Command::WinsockReport},
    {":stats", Command::StatisticsReport},
    {":tcp", Command::Tcp},
    {":udp", Command::Udp},
    {":bin", Command::Binary},
    {":binary", Command::Binary},
    {":ascii", Command::Ascii},
    {":adv", Command::Advanced},
    {":advanced", Command::Advanced},
    {":orvald", Command::WebPage},
    {":kemmlitz", Command::WebPage},
    {":orvald kemmlitz", Command::WebPage},
};

constexpr char kSchemeWord[] = ":scheme";
constexpr size_t kSchemeWordLength = sizeof kSchemeWord - 1;

// ":scheme" in the first seven characters, the eighth ignored, the number from the ninth.
int ParseScheme(const char* text) {
  if (std::strncmp(text, kSchemeWord, kSchemeWordLength) != 0) return 0;
  const size_t length = std::strlen(text);
  const int number = length > kSchemeWordLength + 1 ? LeadingNumber(text + kSchemeWordLength + 1) : 0;
  return number >= 1 && number <= 9 ? number : 0;
}

void SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) {
  SendMessageA(app.mainWindow, message, wParam, lParam);
}

void OpenLanguagePage() {
  char address[kWebPageAddressSize];
  LanguagePageAddress(GetSystemDefaultLangID(), address);
  OpenWebPage(address);
}

void RunCommand(const ParsedCommand& parsed) {
  switch (parsed.command) {
    case Command::About: SendToMainWindow(WM_SYSCOMMAND, kAboutCommand, 0); break;
    case Command::Help: SendToMainWindow(WM_KEYUP, VK_F1, 0); break;
    case Command::WinsockReport:
      SendToMainWindow(kReportRequest, kReportRequestTag, kWinsockReportArg);
      break;
    case Command::StatisticsReport:
      SendToMainWindow(kReportRequest, kReportRequestTag, kStatisticsReportArg);
      break;
    case Command::Tcp: SwitchProtocol(true); break;
    case Command::Udp: SwitchProtocol(false); break;
    case Command::Binary: SendToMainWindow(WM_COMMAND, kModeBinaryId, 0); break;
    case Command::Ascii: SendToMainWindow(WM_COMMAND, kModeAsciiId, 0); break;
    case Command::Advanced: SendToMainWindow(WM_COMMAND, kModeAdvancedId, 0); break;
    case Command::WebPage: OpenLanguagePage(); break;
    case Command::Scheme: ApplyScheme(parsed.scheme - 1); break;
    case Command::None: break;
  }
}

}  // namespace

ParsedCommand ParseCommandLine(const char* typed) {
  char text[kCommandTextSize];
  lstrcpynA(text, typed, sizeof text);
  CharLowerA(text);
  for (const CommandWord& entry : kCommandTable)
    if (std::strcmp(text, entry.word) == 0) return {entry.command, 0};
  const int scheme = ParseScheme(text);
  if (scheme) return {Command::Scheme, scheme};
  return {Command::None, 0};
}

void RunCommandLine() {
  char text[kCommandTextSize];
  GetWindowTextA(app.sendLine, text, sizeof text);
  const ParsedCommand parsed = ParseCommandLine(text);
  if (parsed.command == Command::None) return;  // kept for the user to correct
  RunCommand(parsed);
  SetWindowTextA(app.sendLine, "");
}
