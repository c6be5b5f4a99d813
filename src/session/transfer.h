// Sending over the open session. A line the socket cannot take at once waits for
// FD_WRITE, so the window never waits on the peer.
#pragma once

#include "app/app_state.h"

void OnSendCommand(WPARAM wParam);
void OnSocketWrite(SOCKET socket, int error);
// No room came within kSendWaitMs.
void OnSendTimeout();
// The session has ended: a line still in flight is given up, what of it went out counted.
void AbandonOutgoingLine();

// The bytes a send line becomes in mode, written to data (kSendBufferSize bytes,
// zeroed by the caller); -1 when an Advanced line holds an invalid escape or a
// Binary line is no hex line.
int EncodeSendLine(TransferMode mode, const char* line, unsigned char* data);
