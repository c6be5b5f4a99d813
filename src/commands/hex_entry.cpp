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
  // A digit that starts a byte is set apart from the byte before it.
  if (CountDigits(text) % 2 == 0 && length != 0 && text[length - 1] != ' ')
    SendMessageA(line, WM_CHAR, ' ', kHexEntryMarker);
  return PassOn(line, WM_CHAR, digit, lParam);
}

LRESULT OnHexBackspace(HWND line, LPARAM lParam) {
  if (lParam == kHexEntryMarker) return PassOn(line, WM_CHAR, '\b', lParam);
  char text[kSendLineSize];
  ReadLineAtEnd(line, text);
  // A half byte goes together with the space before it.
  if (CountDigits(text) % 2 != 0) SendMessageA(line, WM_CHAR, '\b', kHexEntryMarker);
  return PassOn(line, WM_CHAR, '\b', lParam);
}

LRESULT ApplyHexKey(HWND line, WPARAM wParam, LPARAM lParam) {
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

// The send button follows the line once the key has changed it.
LRESULT OnHexChar(HWND line, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = ApplyHexKey(line, wParam, lParam);
  FollowHexLine();
  return result;
}

bool BinarySessionOpen() { return app.session.sendsHex(); }

}  // namespace

bool LineWaitsForDigit() { return BinarySessionOpen() && !SendLineHoldsWholeBytes(); }

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
