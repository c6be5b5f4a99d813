#include "commands/menus.h"

#include "commands/command_table.h"
#include "text/texts.h"

HMENU CreateOutputMenu() {
  char visit[64];
  wsprintfA(visit, "&Visit %s", kHomePageHost);
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, kMenuHelpId, "&Help");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, kMenuCopyId, "&Copy selected");
  AppendMenuA(menu, MF_STRING, kMenuSelectAllId, "&Select all");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, kMenuVisitId, visit);
  AppendMenuA(menu, MF_STRING, kMenuAboutId, "&About Telvane");
  return menu;
}

void ShowOutputMenu(LPARAM position) {
  POINT at = {LOWORD(position), HIWORD(position)};
  ClientToScreen(app.controls.outputPane, &at);
  DWORD start = 0, end = 0;
  SendMessageA(app.controls.outputPane, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EnableMenuItem(app.controls.outputMenu, kMenuCopyId,
                 MF_BYCOMMAND | (start == end ? MF_GRAYED : MF_ENABLED));
  TrackPopupMenu(app.controls.outputMenu, TPM_RIGHTBUTTON, at.x, at.y, 0, app.controls.outputPane,
                 nullptr);
}

void OnOutputMenuCommand(int id) {
  switch (id) {
    case kMenuHelpId: RunCommand(Command::Help); break;
    case kMenuAboutId: RunCommand(Command::About); break;
    case kMenuVisitId: RunCommand(Command::VisitHomePage); break;
    case kMenuSelectAllId: RunCommand(Command::SelectAll); break;
    case kMenuCopyId: RunCommand(Command::Copy); break;
    default: break;
  }
}

int ShowModeMenu() {
  const UINT position = static_cast<UINT>(app.session.mode());  // the items follow the table
  CheckMenuRadioItem(app.controls.modeMenu, 0, kTransferModeCount - 1, position, MF_BYPOSITION);
  // The mode part starts where the part before it ends.
  const int left = app.layout.clientWidth - kStatusPartEndChars[kStatusMode - 1] * kCharWidth;
  POINT at = {left, app.layout.clientHeight};
  ClientToScreen(app.controls.mainWindow, &at);
  return TrackPopupMenu(app.controls.modeMenu, TPM_RIGHTBUTTON | TPM_VCENTERALIGN | TPM_RETURNCMD,
                        at.x, at.y, 0, app.controls.mainWindow, nullptr);
}
