// Steps shared by the transfer tests.
#pragma once

#include <cstdint>
#include <string>

#include "base/app_state.h"
#include "support/harness.h"
#include "transfer/scripted_peers.h"

bool PutOnClipboard(const char* text);

// Opens a session to 127.0.0.1:port through the target fields and connect.
bool OpenSession(int port, bool tcp = true);
// Puts text into the send line: typed through the entry rules in Binary mode.
void EnterLine(const std::string& text);
// A click on the send button.
void ClickSend();
// Waits until count bytes have come in and the pane and the In counter show them.
bool WaitBytesIn(int64_t count, int timeoutMs = 5000);
// Waits, handling no message, until the session socket holds count bytes unread.
bool WaitUnread(unsigned long count, int timeoutMs = 5000);

// Fills the session's way to a peer that reads nothing, sending past the send
// command, until the socket takes no more even after a pause (data in flight can
// still make room). Returns how many bytes it took.
size_t FillPipe();

// Handles the read event of data, and nothing else, while a timer of this thread is
// due: the window puts the read off behind it. eventWindow is where the event goes.
void HandleReadEventWhileTimerDue(const std::string& data, ScriptedServer& peer, HWND eventWindow);
// The same for the main window; true when the read was put off, nothing yet read.
bool ReadEventPutOff(const std::string& data, ScriptedServer& peer);

// Handles only the session's socket events, up to and including read events, until
// a read is counted but waits for the next frame: the first read after a pause is
// drawn at once, one that follows within a frame waits. Should a frame come due
// meanwhile (a stalled machine), another piece is read. Returns all that was read.
std::string ReadButNotShown(const std::string& piece, ScriptedServer& peer);

// Lets a peer's whole burst wait unread (with room for it), then reports the peer's
// close as Windows may, before the bytes are read; Wine holds that report back until
// they are, so it is made by hand.
void ReportCloseWithBurstUnread(OneShotServer& peer, size_t burstSize);

// Transcript text from here on.
struct TranscriptMark {
  size_t at = TranscriptTail().size();
  std::string Since() const { return TranscriptTail().substr(at); }
};

// A fresh window in mode with a TCP session open to a scripted peer (which the
// window outlives by nothing: the window goes first).
struct ScriptedSession {
  explicit ScriptedSession(TransferMode mode = TransferMode::Ascii, bool holdReading = false,
                           int receiveBuffer = 0);
  ScriptedServer peer;
  FreshWindow window;
};
