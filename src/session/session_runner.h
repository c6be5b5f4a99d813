// The window side of the session: hands events to the core in app.session, through
// the one driver, and carries out the actions it decides on.
#pragma once

#include "core/session_events.h"

void RunSession(const Event& event);
// Before a user action that does not go through the session itself: what the network
// delivered before it is applied first.
void ApplyDelivered();
// The pane shows the whole transcript: nothing waits to be drawn and no frame is due.
bool TranscriptUpToDate();
// What waits in the loop behind a read event (QS_ bits): asked before a read and again
// after the repaint it may bring.
unsigned WaitingBehindRead();
