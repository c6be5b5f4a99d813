// Sending and receiving over the open session.
#pragma once

#include "app/app_state.h"

void OnSendCommand(WPARAM wParam);
void OnSocketRead(SOCKET socket, int error);
// One read of what the session socket holds, shown by mode, counted.
void ReceivePending();

// Most bytes one read takes; the socket announces the rest with another read event.
constexpr int kMaxReadBytes = 1 << 20;
// How long a send waits for a peer that takes no data before it reports.
constexpr DWORD kSendWaitMs = 3000;

// The bytes a send line becomes in mode, written to data (kSendBufferSize bytes,
// zeroed by the caller); -1 when an Advanced line holds an invalid escape or a
// Binary line is no hex line.
int EncodeSendLine(TransferMode mode, const char* line, unsigned char* data);

// A read put off while the user's own messages went first is done now, so that what
// arrived before a send or a disconnect shows before its echo or its line.
void ReadDeferredData();
