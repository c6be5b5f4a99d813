// The command line of the send field and the requests it shares with menus and clicks.
#pragma once

#include "app/app_state.h"

void RunCommandLine();
void HelpRequest();
void AboutRequest();
void OnReportRequest(LPARAM which);  // 1 Winsock report, 2 statistics
void SwitchProtocol(bool tcp);
void SwitchMode(int menuId);
