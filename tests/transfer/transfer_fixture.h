// Steps shared by the transfer tests.
#pragma once

#include <cstdint>
#include <string>

#include "app/app_state.h"

bool PutOnClipboard(const char* text);

// Opens a session to 127.0.0.1:port through the target fields and connect.
bool OpenSession(int port, bool tcp = true);
// Puts text into the send line: typed through the entry rules in Binary mode.
void EnterLine(const std::string& text);
// A click on the send button.
void ClickSend();
bool WaitBytesIn(int64_t count, int timeoutMs = 5000);
// Waits, handling no message, until the session socket holds count bytes unread.
bool WaitUnread(unsigned long count, int timeoutMs = 5000);
