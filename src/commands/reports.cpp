#include "commands/reports.h"

#include "base/app_state.h"
#include "text/counts.h"
#include "text/texts.h"
#include "view/output_pane.h"

const char kHelpText[] =
    "\r\n"
    "\r\n"
    "---------------\r\n"
    "     Help\r\n"
    "---------------\r\n"
    "\r\n"
    "Enter destination IP or hostname and port and press \"connect\". Enter data to send and "
    "press \"send\"!\r\n"
    "See readme.txt for more detailed information.\r\n"
    "\r\n"
    "When program isn't connected, you can \"send\" the strings listed below (without \"\") to "
    "change the settings:\r\n"
    "- \":tcp\" to set TCP as current protocol\r\n"
    "- \":udp\" to set UDP as current protocol\r\n"
    "- \":bin\" or \":binary\" to switch to binary mode\r\n"
    "- \":adv\" or \":advanced\" to switch to advanced mode\r\n"
    "- \":ascii\" to switch to ASCII mode\r\n"
    "- \":scheme x\" to change color scheme; x is the number of the scheme (1-9)\r\n"
    "- \":stats\" to view connection statistics\r\n"
    "- \":winsock\" to obtain WinSock information\r\n"
    "- \":about\" to view credits\r\n"
    "\r\n"
    "NOTE: Protocol and mode can be additionally changed by clicking the appropriate part of the "
    "status bar!\r\n";

const char kAboutCaption[] = "About Telvane ...";

namespace {

constexpr char kWinsockFormat[] =
    "\r\n\r\n-------------------------------------\r\n      Winsock Information:\r\n"
    "-------------------------------------\r\n\r\nDescription:   %s\r\nVersion:   %u\r\n"
    "System Status:   %s\r\n\r\n";

// The counters are formatted beforehand: wsprintfA's %i is 32 bits wide.
constexpr char kStatisticsFormat[] =
    "\r\n\r\n-------------------------------------\r\n     Connection statistics:\r\n"
    "-------------------------------------\r\n\r\nConnections:   %s\r\n"
    "   ... successfull:   %i\r\n   ... failed:   %i\r\n\r\nTotal bytes sent:   %s\r\n"
    "Total bytes received:   %s\r\n\r\n";

}  // namespace

static_assert(sizeof kWinsockFormat + WSADESCRIPTION_LEN + WSASYS_STATUS_LEN + 10 < kReportSize,
              "the Winsock report must fit its buffer");
static_assert(sizeof kStatisticsFormat + 3 * kCountTextSize + 2 * 11 < kReportSize,
              "the statistics report must fit its buffer");

void FormatWinsockReport(const WSADATA& info, char (&out)[kReportSize]) {
  char description[sizeof info.szDescription];
  char status[sizeof info.szSystemStatus];
  // The fields may lack their NUL: lstrcpynA reads at most size - 1 bytes.
  lstrcpynA(description, info.szDescription, sizeof description);
  lstrcpynA(status, info.szSystemStatus, sizeof status);
  wsprintfA(out, kWinsockFormat, description, static_cast<unsigned>(info.wVersion), status);
}

void FormatStatisticsReport(int succeeded, int failed, int64_t bytesSent, int64_t bytesReceived,
                            char (&out)[kReportSize]) {
  char connections[kCountTextSize], sent[kCountTextSize], received[kCountTextSize];
  FormatCount(static_cast<int64_t>(succeeded) + failed, connections);
  FormatCount(bytesSent, sent);
  FormatCount(bytesReceived, received);
  wsprintfA(out, kStatisticsFormat, connections, succeeded, failed, sent, received);
}

void ShowHelp() {
  if (!app.transcript.helpArmed) return;
  AppendOutput(kHelpText);
  app.transcript.helpArmed = 0;  // the append armed it again
}

void ShowWinsockReport() {
  char report[kReportSize];
  FormatWinsockReport(app.network.winsockInfo, report);
  AppendOutput(report);
}

void ShowStatistics() {
  if (!app.transcript.statsArmed) return;
  char report[kReportSize];
  const SessionCounters& counters = app.session.counters();
  FormatStatisticsReport(counters.succeeded, counters.failed, counters.totalOut, counters.totalIn,
                         report);
  AppendOutput(report);
  app.transcript.statsArmed = 0;  // the append armed it again
}

#ifndef TELVANE_VERSION
#error "TELVANE_VERSION comes from the project's version in CMakeLists.txt"
#endif
#define ABOUT_INDENT "                "  // 16 spaces

const char* AboutText() {
  static constexpr char kAboutText[] = ABOUT_INDENT TELVANE_TITLE ABOUT_INDENT
      "\n" ABOUT_INDENT "Version: " TELVANE_VERSION " (build: 021109)" ABOUT_INDENT
      "\n"
      "\n" ABOUT_INDENT "A network test terminal for TCP and UDP.\n" ABOUT_INDENT
      "Written by the Telvane developers.\n" ABOUT_INDENT
      "Free to use, without any warranty.\n"
      "\n" ABOUT_INDENT TELVANE_HOME_PAGE_URL;
  return kAboutText;
}

void ShowAbout() { MessageBoxA(app.controls.mainWindow, AboutText(), kAboutCaption, MB_OK); }
