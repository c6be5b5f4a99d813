// The command line of the send field and the requests it shares with menus and clicks.
#pragma once

#include "base/app_state.h"

// Enter released in the send line while no session is open.
void RunCommandLine();

// Handlers of the requests that reach the main window (reports.cpp, switches.cpp).
void HelpRequest();
void AboutRequest();
void OnReportRequest(LPARAM which);  // 1 Winsock report, 2 statistics
void SwitchProtocol(bool tcp);
void SwitchMode(int menuId);
