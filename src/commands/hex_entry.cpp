#include "commands/hex_entry.h"

#include "text/binary_mode.h"
#include "view/connection_view.h"
#include "view/output_pane.h"

namespace {

LRESULT PassOn(HWND line, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(app.controls.sendLinePrevProc, line, message, wParam, lParam);
}

// Puts the caret at the end (typed text only ever grows there) and reads the line.
int ReadLineAtEnd(HWND line, char (&text)[kSendLineSize]) {
  SendMessageA(line, EM_SETSEL, static_cast<WPARAM>(-2), -2);
  text[0] = '\0';
  GetWindowTextA(line, text, kSendLineSize);
  return lstrlenA(text);
}

// Letters and digits count as the code page has them: the line can hold any text
// typed before the switch to Binary.
int CountDigits(const char* text) { return CountHexDigits(text, IsAnsiAlphaNumeric); }

LRESULT OnHexDigit(HWND line, WPARAM digit, LPARAM lParam) {
  char text[kSendLineSize];
  const int length = ReadLineAtEnd(line, text);
  if (length >= kSendLineLimit) return 0;
  if (CountDigits(text) % 2 == 0) {
    // The digit starts a byte: nothing to send until its second digit comes.
    ApplyControlStates(ControlPhase::HalfByte);
    if (length != 0 && text[length - 1] != ' ') SendMessageA(line, WM_CHAR, ' ', kHexEntryMarker);
  } else {
    ApplyControlStates(ControlPhase::Connected);
  }
  return PassOn(line, WM_CHAR, digit, lParam);
}

LRESULT OnHexBackspace(HWND line, LPARAM lParam) {
  if (lParam == kHexEntryMarker) return PassOn(line, WM_CHAR, '\b', lParam);
  char text[kSendLineSize];
  const int length = ReadLineAtEnd(line, text);
  if (CountDigits(text) % 2 != 0) {
    // A half byte goes together with the space before it.
    ApplyControlStates(ControlPhase::Connected);
    SendMessageA(line, WM_CHAR, '\b', kHexEntryMarker);
  } else if (length > 1) {
    ApplyControlStates(ControlPhase::HalfByte);
  }
  return PassOn(line, WM_CHAR, '\b', lParam);
}

LRESULT OnHexChar(HWND line, WPARAM wParam, LPARAM lParam) {
  const HexKeyPress key = ClassifyHexKey(static_cast<unsigned>(wParam));
  switch (key.kind) {
    case HexKey::Digit: return OnHexDigit(line, key.character, lParam);
    case HexKey::Backspace: return OnHexBackspace(line, lParam);
    case HexKey::Space:
      return lParam == kHexEntryMarker ? PassOn(line, WM_CHAR, key.character, lParam) : 0;
    case HexKey::Other: break;
  }
  return 0;
}

bool BinarySessionOpen() {
  return app.session.connected() && app.session.target().mode == TransferMode::Binary;
}

}  // namespace

bool LineWaitsForDigit(HWND sendLine) {
  if (!BinarySessionOpen()) return false;
  char text[kSendLineSize] = {};
  GetWindowTextA(sendLine, text, kSendLineSize);
  return CountDigits(text) % 2 != 0;
}

LRESULT HexEntryProc(HWND sendLine, UINT message, WPARAM wParam, LPARAM lParam) {
  if (BinarySessionOpen()) {
    switch (message) {
      case WM_CHAR: return OnHexChar(sendLine, wParam, lParam);
      case WM_KEYDOWN:
      case WM_PASTE: return 0;
      default: break;
    }
  }
  return PassOn(sendLine, message, wParam, lParam);
}
