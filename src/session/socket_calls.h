// The Winsock calls behind the session's actions, on the one session socket. Each
// returns the event that reports what it came to.
#pragma once

#include <string>

#include "base/app_state.h"
#include "rules/session_core.h"

// A socket of the kind asked for, registered for its events with the main window.
Event OpenSessionSocket(bool tcp);
// The address of host: known at once when dotted, else looked up off the window's
// thread (its answer comes as kLookupDone, for TakeLookupAnswer).
Event LocateHost(const std::string& host);
// Reads a lookup's answer into the address; false when it found none.
bool TakeLookupAnswer(int error);
// Connects to the address found, at port.
Event ConnectSessionSocket(int port);
// Reads what the socket holds and queues it for the transcript, read by read (for
// UDP datagram by datagram, until none waits or the action's time is up).
Event ReadSessionSocket(const Action& action);
// Hands the socket what it takes of bytes.
Event SendOnSessionSocket(const std::string& bytes);
// The socket and a lookup go; events they left in the queue go with them.
void CloseSessionSocket();

// True for the socket of the current attempt or session. Any other socket named by a
// socket event is one already closed: its event is stale.
bool IsSessionSocket(SOCKET socket);
