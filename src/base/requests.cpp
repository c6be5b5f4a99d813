#include "base/requests.h"

namespace {
void Send(UINT message, WPARAM wParam, LPARAM lParam) {
  SendMessageA(app.controls.mainWindow, message, wParam, lParam);
}
}  // namespace

void RequestConnect() { Send(WM_COMMAND, kConnectButtonId, 0); }
void RequestSend() { Send(WM_COMMAND, kSendButtonId, 0); }
void RequestMode(int menuId) { Send(WM_COMMAND, static_cast<WPARAM>(menuId), 0); }
void RequestHelp() { Send(kHelpRequest, VK_F1, 0); }
void RequestAbout() { Send(kAboutRequest, kAboutCommand, 0); }
void RequestReport(LPARAM which) { Send(kReportRequest, kReportRequestTag, which); }
