// The requests that the controls, menus and commands make of the main window, each
// written once. They are sent, not posted: the handler has run when they return.
#pragma once

#include "base/app_state.h"

void RequestConnect();             // WM_COMMAND 102, as Enter in a target field
void RequestSend();                // WM_COMMAND 104, as Enter in the send line
void RequestMode(int menuId);      // WM_COMMAND 301..303
void RequestHelp();                // WM_KEYUP with F1
void RequestAbout();               // WM_SYSCOMMAND 201
void RequestReport(LPARAM which);  // WM_USER 1: kWinsockReportArg or kStatisticsReportArg
