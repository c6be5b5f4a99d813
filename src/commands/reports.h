// The texts printed on request: help, Winsock report, statistics, About box.
#pragma once

#include <windows.h>
#include <winsock.h>

#include <cstdint>

extern const char kHelpText[];
extern const char kAboutCaption[];
// Eight lines joined by LF alone, ending with the home page.
const char* AboutText();

// Report buffers hold the longest possible report; the Winsock texts are cut to
// their documented lengths even when the start-up data lacks a terminating NUL.
constexpr int kReportSize = 1024;
void FormatWinsockReport(const WSADATA& info, char (&out)[kReportSize]);
void FormatStatisticsReport(int succeeded, int failed, int64_t bytesSent, int64_t bytesReceived,
                            char (&out)[kReportSize]);

// Each into the transcript, or the About box.
void ShowHelp();  // once until the transcript changes
void ShowAbout();
void ShowWinsockReport();
void ShowStatistics();  // once until the transcript changes
