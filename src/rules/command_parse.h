// What a text typed into the send line asks for while no session is open. Pure.
#pragma once

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

// Reads at most the first 30 characters, lower-cased; nothing else is normalised.
ParsedCommand ParseCommandLine(const char* typed);
