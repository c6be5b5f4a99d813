// Sending over the open session. A line the socket cannot take at once waits for
// FD_WRITE, so the window never waits on the peer.
#pragma once

#include "base/app_state.h"

// The send button's command while a session is open.
void OnSendCommand(WPARAM wParam);

// The bytes a send line becomes in mode, written to data (kSendBufferSize bytes,
// zeroed by the caller); -1 when an Advanced line holds an invalid escape or a
// Binary line is no hex line of whole bytes.
int EncodeSendLine(TransferMode mode, const char* line, unsigned char* data);
