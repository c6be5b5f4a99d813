#include "base/status_bar.h"

#include <commctrl.h>

void SetStatusText(int part, const char* text) {
  SendMessageA(app.controls.statusBar, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(text));
}

void SetStatusParts(const int (&rightEdges)[6]) {
  SendMessageA(app.controls.statusBar, SB_SETPARTS, 6, reinterpret_cast<LPARAM>(rightEdges));
}
