// The command line of the send field and the requests it shares with menus and clicks.
#pragma once

#include "app/app_state.h"

// What a text typed into the send line asks for.
enum class Command {
  None,  // unmatched: the text stays in the send line
  About,
  Help,
  WinsockReport,
  StatisticsReport,
  Tcp,
  Udp,
  Binary,
  Ascii,
  Advanced,
  WebPage,
  Scheme,
};

struct ParsedCommand {
  Command command;
  int scheme;  // 1..9 with Command::Scheme, else 0
};

// Pure: reads at most the first 30 characters, lower-cased; nothing else is normalised.
ParsedCommand ParseCommandLine(const char* typed);

// Enter released in the send line while no session is open.
void RunCommandLine();

// Handlers of the requests that reach the main window (reports.cpp, switches.cpp).
void HelpRequest();
void AboutRequest();
void OnReportRequest(LPARAM which);  // 1 Winsock report, 2 statistics
void SwitchProtocol(bool tcp);
void SwitchMode(int menuId);
