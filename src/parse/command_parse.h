// The program's commands, and what a text typed into the send line asks for while no
// session is open. Pure.
#pragma once

// The program's commands: one each, whichever key, click, menu, message or command
// line asks for it.
enum class Command {
  None,  // the command line: unmatched, the text stays in the send line
  Connect,
  Disconnect,
  Send,  // while no session is open: the command line
  Clear,
  About,
  Help,
  WinsockReport,
  StatisticsReport,
  Tcp,
  Udp,
  ToggleProtocol,
  Binary,
  Ascii,
  Advanced,
  Scheme,
  WebPage,  // the page of the hidden commands
  VisitHomePage,
  SelectAll,
  Copy,
};

struct ParsedCommand {
  Command command;
  int scheme;  // 1..9 with Command::Scheme, else 0
};

// Reads at most the first 30 characters, lower-cased; nothing else is normalised.
ParsedCommand ParseCommandLine(const char* typed);
