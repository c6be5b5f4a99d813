#include "codec/binary_mode.h"

LRESULT HexEntryProc(HWND sendLine, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(app.sendLinePrevProc, sendLine, message, wParam, lParam);
}
