#include "commands/command_line.h"

void RunCommandLine() {}
void HelpRequest() {}
void AboutRequest() {}
void OnReportRequest(LPARAM) {}
void SwitchProtocol(bool) {}
void SwitchMode(int) {}
