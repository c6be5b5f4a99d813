// Left clicks on the status bar: mode menu, protocol toggle, statistics; a warning
// instead while a session is open.
#include "commands/command_line.h"
#include "commands/input_fields.h"
#include "commands/menus.h"
#include "app/texts.h"

namespace {

constexpr char kConnectedWarning[] =
    "Settings can't be changed as long as Telvane is connected!\r\n"
    "In order to change settings, you have to disconnect first.";
constexpr char kWarningCaption[] = "Telvane";

}  // namespace

void OnStatusBarClick(int part) {
  if (app.connected) {
    if (part == kStatusMode || part == kStatusProtocol)
      MessageBoxA(app.mainWindow, kConnectedWarning, kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  switch (part) {
    case kStatusMode: ShowModeMenu(); break;
    case kStatusProtocol: SwitchProtocol(!app.useTcp); break;
    case kStatusIn:
    case kStatusOut:
      SendMessageA(app.mainWindow, kReportRequest, kReportRequestTag, kStatisticsReportArg);
      break;
    default: break;
  }
}
