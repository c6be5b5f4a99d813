// Steps shared by the transfer tests.
#pragma once

#include <cstdint>
#include <string>

#include "app/app_state.h"
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

// A fresh window in mode with a TCP session open to a scripted peer (which the
// window outlives by nothing: the window goes first).
struct ScriptedSession {
  explicit ScriptedSession(TransferMode mode = TransferMode::Ascii, bool holdReading = false,
                           int receiveBuffer = 0);
  ScriptedServer peer;
  FreshWindow window;
};
