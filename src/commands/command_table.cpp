#include "commands/command_table.h"

#include "commands/reports.h"
#include "commands/switches.h"
#include "commands/web_pages.h"
#include "session/session_commands.h"
#include "session/session_runner.h"
#include "text/texts.h"
#include "view/output_pane.h"
#include "view/scheme_colors.h"

namespace {

// Runs the command the send line holds and empties it; an unmatched text stays, to be
// corrected.
void RunCommandLine() {
  char text[kCommandTextSize];
  GetWindowTextA(app.controls.sendLine, text, sizeof text);
  const ParsedCommand parsed = ParseCommandLine(text);
  if (parsed.command == Command::None) return;
  RunCommand(parsed.command, parsed.scheme);
  SetWindowTextA(app.controls.sendLine, "");
}

// Idle (or while connecting), the send line is the command line.
void SendOrRunCommandLine() {
  SetFocus(app.controls.sendLine);
  if (app.session.connected())
    SendCommand();
  else
    RunCommandLine();
}

// What the pane's menu acts on is the transcript as it stands, drawn whole.
void SelectWholeTranscript() {
  ShowQueuedOutput();
  SetFocus(app.controls.outputPane);
  SendMessageA(app.controls.outputPane, EM_SETSEL, 0, -1);
}

void CopySelection() {
  ShowQueuedOutputKeepingSelection();
  SendMessageA(app.controls.outputPane, WM_COPY, 0, 0);
}

}  // namespace

void RunCommand(Command command, int scheme) {
  ApplyDelivered();
  switch (command) {
    case Command::None: break;
    case Command::Connect: ConnectCommand(); break;
    case Command::Disconnect: DisconnectCommand(); break;
    case Command::Send: SendOrRunCommandLine(); break;
    case Command::Clear: ResetTranscript(); break;
    case Command::About: ShowAbout(); break;
    case Command::Help: ShowHelp(); break;
    case Command::WinsockReport: ShowWinsockReport(); break;
    case Command::StatisticsReport: ShowStatistics(); break;
    case Command::Tcp: SwitchProtocol(true); break;
    case Command::Udp: SwitchProtocol(false); break;
    case Command::ToggleProtocol: SwitchProtocol(!app.choices.useTcp); break;
    case Command::Binary: SwitchMode(TransferMode::Binary); break;
    case Command::Ascii: SwitchMode(TransferMode::Ascii); break;
    case Command::Advanced: SwitchMode(TransferMode::Advanced); break;
    case Command::Scheme: ApplyScheme(scheme - 1); break;
    case Command::WebPage: OpenLanguagePage(); break;
    case Command::VisitHomePage: OpenWebPage(kHomePageUrl); break;
    case Command::SelectAll: SelectWholeTranscript(); break;
    case Command::Copy: CopySelection(); break;
  }
}

Command CommandOfMode(TransferMode mode) {
  switch (mode) {
    case TransferMode::Ascii: return Command::Ascii;
    case TransferMode::Advanced: return Command::Advanced;
    case TransferMode::Binary: return Command::Binary;
  }
  return Command::None;
}
