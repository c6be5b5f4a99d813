// The pure pieces of the command line and the reports.
#include <climits>
#include <cstring>
#include <string>

#include "commands/reports.h"
#include "commands/web_pages.h"
#include "support/harness.h"

TEST_CASE("the Winsock report") {
  char report[kReportSize];
  WSADATA info = {};
  info.wVersion = 0x0002;
  lstrcpyA(info.szDescription, "WinSock 2.0");
  lstrcpyA(info.szSystemStatus, "Running");
  FormatWinsockReport(info, report);
  CHECK(std::string(report) ==
        "\r\n\r\n-------------------------------------\r\n      Winsock Information:\r\n"
        "-------------------------------------\r\n\r\nDescription:   WinSock 2.0\r\n"
        "Version:   2\r\nSystem Status:   Running\r\n\r\n");

  SUBCASE("version 1.1 prints as one number") {
    info.wVersion = 0x0101;
    FormatWinsockReport(info, report);
    CHECK(std::string(report).find("\r\nVersion:   257\r\n") != std::string::npos);
  }

  SUBCASE("texts that fill their fields without a terminating zero stay bounded") {
    struct {
      WSADATA info;
      char after[64];
    } padded;
    memset(&padded, 'x', sizeof padded);
    padded.info.wVersion = 0x0002;
    char guarded[kReportSize + 16];
    memset(guarded, '#', sizeof guarded);
    FormatWinsockReport(padded.info, *reinterpret_cast<char(*)[kReportSize]>(guarded));
    const std::string text = guarded;
    CHECK(text.find("Description:   " + std::string(256, 'x') + "\r\n") != std::string::npos);
    CHECK(text.find("System Status:   " + std::string(128, 'x') + "\r\n") != std::string::npos);
    CHECK(text.size() < static_cast<size_t>(kReportSize));
    for (int i = kReportSize; i < kReportSize + 16; ++i) CHECK(guarded[i] == '#');
  }
}

TEST_CASE("the statistics report with counters beyond 32 bits") {
  char report[kReportSize];
  FormatStatisticsReport(3, 2, 5000000000LL, 12, report);
  CHECK(std::string(report) ==
        "\r\n\r\n-------------------------------------\r\n     Connection statistics:\r\n"
        "-------------------------------------\r\n\r\nConnections:   5\r\n"
        "   ... successfull:   3\r\n   ... failed:   2\r\n\r\nTotal bytes sent:   5000000000\r\n"
        "Total bytes received:   12\r\n\r\n");

  // The total of the two connection counters does not wrap either.
  FormatStatisticsReport(INT_MAX, INT_MAX, INT64_MAX, INT64_MAX, report);
  CHECK(std::string(report).find("Connections:   4294967294\r\n") != std::string::npos);
}

TEST_CASE("the help text: 22 lines") {
  const char* const lines[22] = {
      "",
      "",
      "---------------",
      "     Help",
      "---------------",
      "",
      "Enter destination IP or hostname and port and press \"connect\". Enter data to send and "
      "press \"send\"!",
      "See readme.txt for more detailed information.",
      "",
      "When program isn't connected, you can \"send\" the strings listed below (without \"\") to "
      "change the settings:",
      "- \":tcp\" to set TCP as current protocol",
      "- \":udp\" to set UDP as current protocol",
      "- \":bin\" or \":binary\" to switch to binary mode",
      "- \":adv\" or \":advanced\" to switch to advanced mode",
      "- \":ascii\" to switch to ASCII mode",
      "- \":scheme x\" to change color scheme; x is the number of the scheme (1-9)",
      "- \":stats\" to view connection statistics",
      "- \":winsock\" to obtain WinSock information",
      "- \":about\" to view credits",
      "",
      "NOTE: Protocol and mode can be additionally changed by clicking the appropriate part of the "
      "status bar!",
      "",
  };
  std::string expected = lines[0];
  for (int i = 1; i < 22; ++i) expected += std::string("\r\n") + lines[i];
  CHECK(std::string(kHelpText) == expected);
}

TEST_CASE("the About text: eight lines joined by LF") {
  const std::string indent(16, ' ');
  std::string text = AboutText();
  CHECK(text.find('\r') == std::string::npos);
  std::vector<std::string> lines;
  for (size_t start = 0;;) {
    const size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  REQUIRE(lines.size() == 8);
  CHECK(lines[0] == indent + "Telvane - Kestrelink" + indent);
  CHECK(lines[1] == indent + "Version: 1.0.1 (build: 021109)" + indent);
  CHECK(lines[2].empty());
  for (int i = 3; i < 6; ++i) {
    CHECK(lines[i].compare(0, 16, indent) == 0);
    CHECK(lines[i].size() > 16);
    CHECK(lines[i][16] != ' ');
  }
  CHECK(lines[6].empty());
  CHECK(lines[7] == indent + "http://telvane.example/");
  CHECK(std::string(kAboutCaption) == "About Telvane ...");
}
