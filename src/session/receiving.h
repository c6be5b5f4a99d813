// Receiving over the open session: reads feed the transcript at once, the pane and
// the In counter catch up once per frame.
#pragma once

#include "app/app_state.h"

// Most bytes one read takes; the socket announces the rest with another read event.
constexpr int kMaxReadBytes = 1 << 20;

void OnSocketRead(SOCKET socket, int error);
// One read of what the session socket holds, queued for the pane by mode and
// counted. Returns what recv returned (-1 when nothing could be read).
int ReceivePending();

// Whether the socket still holds bytes that were not read.
bool HasUnreadData(SOCKET socket);

// A read put off while the user's own messages went first is done now, so that what
// arrived before a send or a disconnect shows before its echo or its line.
void ReadDeferredData();
// The session has ended: a read put off for it is dropped with its timer.
void ForgetDeferredRead();

// Brings the pane, the In counter and status part 0 up to date now.
void ShowReceivedData();
// The same a piece at a time, each in a message of its own; true while more waits.
bool ShowReceivedPiece();
void OnFrameTimer();
void OnFrameStep();

// True when the user's input, paint or timers wait behind posted socket messages;
// paint is done here and now. Long work gives those a turn before it goes on.
bool LoopHasWaitingMessages();
