// Left clicks on the status bar: mode menu, protocol toggle, statistics; a warning
// instead while a session is open.
#include "commands/command_table.h"
#include "commands/input_fields.h"
#include "commands/menus.h"
#include "session/session_runner.h"
#include "text/texts.h"

namespace {

constexpr char kConnectedWarning[] =
    "Settings can't be changed as long as Telvane is connected!\r\n"
    "In order to change settings, you have to disconnect first.";
constexpr char kWarningCaption[] = "Telvane";

void WarnConnected() {
  MessageBoxA(app.controls.mainWindow, kConnectedWarning, kWarningCaption,
              MB_OK | MB_ICONEXCLAMATION);
}

// The menu runs a loop of its own that handles socket events too: a pending connect
// may have completed by the time a mode is chosen, and a session keeps its mode.
void ChooseMode() {
  const int choice = ShowModeMenu();
  if (choice == 0) return;
  const TransferModeRow* row = ModeRowOfMenuId(choice);
  if (app.session.connected())
    WarnConnected();
  else if (row)
    RunCommand(CommandOfMode(row->mode));
}

}  // namespace

void OnStatusBarClick(int part) {
  ApplyDelivered();  // a click is the user's: the session may have ended before it
  if (app.session.connected()) {
    if (part == kStatusMode || part == kStatusProtocol) WarnConnected();
    return;
  }
  switch (part) {
    case kStatusMode: ChooseMode(); break;
    case kStatusProtocol: RunCommand(Command::ToggleProtocol); break;
    case kStatusIn:
    case kStatusOut: RunCommand(Command::StatisticsReport); break;
    default: break;
  }
}
