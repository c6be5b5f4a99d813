// The Winsock calls behind the session's actions, on the one session socket. Each
// returns the event that reports what it came to. They are handed the socket's record
// and the window its events go to; none reads anything else.
#pragma once

#include <string>

#include "base/app_state.h"
#include "core/session_events.h"

// A socket of the kind asked for, registered for its events with window.
ev::SocketMade MakeSessionSocket(Network& network, HWND window, bool tcp);
// The address of host: known at once when dotted, else looked up off the window's
// thread (its answer comes to window as kLookupDone, for TakeLookupAnswer).
ev::HostFound FindHost(Network& network, HWND window, const std::string& host);
// Reads a lookup's answer into the address; false when it found none.
bool TakeLookupAnswer(Network& network, int error);
// Connects to the address found, at port.
ev::ConnectCalled ConnectSessionSocket(const Network& network, int port);
// One recv: a datagram whole, or what a stream holds, up to a megabyte. The bytes stay
// in a buffer of this file's until the next read.
ev::ReadDone ReadSessionSocket(const Network& network, bool datagram);
// Read events on or off (the other events stay on); the error when it failed.
int WatchReads(const Network& network, HWND window, bool on);
// Hands the socket what it takes of bytes.
ev::SendDone SendOnSessionSocket(const Network& network, const std::string& bytes);
// The socket and a lookup go; events they left in window's queue go with them.
void CloseSessionSocket(Network& network, HWND window);

// True for the socket of the current attempt or session. Any other socket named by a
// socket event is one already closed: its event is stale.
bool IsSessionSocket(const Network& network, SOCKET socket);
