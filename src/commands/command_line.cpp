#include "commands/command_line.h"

#include "base/requests.h"
#include "commands/web_pages.h"
#include "rules/command_parse.h"
#include "rules/web_page_address.h"
#include "view/scheme_colors.h"

namespace {

void OpenLanguagePage() {
  char address[kWebPageAddressSize];
  LanguagePageAddress(GetSystemDefaultLangID(), address);
  OpenWebPage(address);
}

void RunCommand(const ParsedCommand& parsed) {
  switch (parsed.command) {
    case Command::About: RequestAbout(); break;
    case Command::Help: RequestHelp(); break;
    case Command::WinsockReport: RequestReport(kWinsockReportArg); break;
    case Command::StatisticsReport: RequestReport(kStatisticsReportArg); break;
    case Command::Tcp: SwitchProtocol(true); break;
    case Command::Udp: SwitchProtocol(false); break;
    case Command::Binary: RequestMode(kModeBinaryId); break;
    case Command::Ascii: RequestMode(kModeAsciiId); break;
    case Command::Advanced: RequestMode(kModeAdvancedId); break;
    case Command::WebPage: OpenLanguagePage(); break;
    case Command::Scheme: ApplyScheme(parsed.scheme - 1); break;
    case Command::None: break;
  }
}

}  // namespace

void RunCommandLine() {
  char text[kCommandTextSize];
  GetWindowTextA(app.controls.sendLine, text, sizeof text);
  const ParsedCommand parsed = ParseCommandLine(text);
  if (parsed.command == Command::None) return;  // kept for the user to correct
  RunCommand(parsed);
  SetWindowTextA(app.controls.sendLine, "");
}
