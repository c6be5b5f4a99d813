// What a text typed into the send line asks for, and the hidden page's address.
#include <doctest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "parse/command_parse.h"
#include "parse/web_page_address.h"

TEST_CASE("command words, case and surrounding spaces") {
  struct Row {
    const char* typed;
    Command command;
  };
  const Row rows[] = {
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
      {":HELP", Command::Help},
      {":WinSock", Command::WinsockReport},
      {":Orvald Kemmlitz", Command::WebPage},
      {" :help", Command::None},
      {":help ", Command::None},
      {":orvald  kemmlitz", Command::None},
      {":help                          ", Command::None},
      {"help", Command::None},
      {":", Command::None},
      {"", Command::None},
      {":advanc", Command::None},
      {":binaryx", Command::None},
      {":t-cp", Command::None},
      {":help\t", Command::None},
  };
  for (const Row& row : rows) {
    CAPTURE(row.typed);
    const ParsedCommand parsed = ParseCommandLine(row.typed);
    CHECK(parsed.command == row.command);
    CHECK(parsed.scheme == 0);
  }
}

TEST_CASE("the scheme form: seven characters, one ignored, a number 1 to 9") {
  struct Row {
    const char* typed;
    int scheme;  // 0: rejected
  };
  const std::string spaces22(22, ' ');
  const std::string cutAt30 = ":scheme" + spaces22 + "5";           // 30 characters: seen
  const std::string cutAt31 = ":scheme" + spaces22 + " 5";          // the digit is the 31st
  const std::string longTail = ":scheme 5" + std::string(40, 'z');  // the number ends early
  const Row rows[] = {
      {":scheme 4", 4},
      {":Scheme 4", 4},
      {":SCHEME 9", 9},
      {":scheme_4", 4},
      {":schemes 4", 4},
      {":scheme 7abc", 7},
      {":scheme 1", 1},
      {":scheme  3", 3},
      {":scheme +2", 2},
      {":scheme4", 0},
      {":scheme", 0},
      {":scheme ", 0},
      {":scheme 0", 0},
      {":scheme 10", 0},
      {":scheme -3", 0},
      {":scheme x", 0},
      {":scheme 99999999999999999999", 0},
      {":schem 4", 0},
      {" :scheme 4", 0},
      {cutAt30.c_str(), 5},
      {cutAt31.c_str(), 0},
      {longTail.c_str(), 5},
  };
  for (const Row& row : rows) {
    CAPTURE(row.typed);
    const ParsedCommand parsed = ParseCommandLine(row.typed);
    CHECK(parsed.command == (row.scheme ? Command::Scheme : Command::None));
    CHECK(parsed.scheme == row.scheme);
  }
}

TEST_CASE("the web page language is German only for the five German identifiers") {
  struct Row {
    uint16_t language;
    const char* address;
  };
  const Row rows[] = {
      {0x0407, "http://telvane.example/de/"}, {0x0807, "http://telvane.example/de/"},
      {0x0C07, "http://telvane.example/de/"}, {0x1007, "http://telvane.example/de/"},
      {0x1407, "http://telvane.example/de/"}, {0x0409, "http://telvane.example/en/"},
      {0x0007, "http://telvane.example/en/"}, {0x1807, "http://telvane.example/en/"},
      {0x0406, "http://telvane.example/en/"}, {0x0000, "http://telvane.example/en/"},
      {0x0408, "http://telvane.example/en/"},
  };
  for (const Row& row : rows) {
    CAPTURE(row.language);
    char address[kWebPageAddressSize] = {};
    LanguagePageAddress(row.language, address);
    CHECK(std::string(address) == row.address);
  }
}
