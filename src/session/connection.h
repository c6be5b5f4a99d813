// Opening, watching and closing the one TCP or UDP session.
#pragma once

#include "app/app_state.h"

void StartWinsock();  // in WM_CREATE
void StopWinsock();   // in WM_DESTROY: a session closes silently, then WSACleanup
void OnConnectCommand(WPARAM wParam);
void OnDisconnectCommand(WPARAM wParam);
void OnSocketConnect(SOCKET socket, int error);
void OnSocketClose(SOCKET socket, int error);
// The next piece of what a closed peer left, or the close line once all is shown.
void OnCloseStep();
// WSAAsyncGetHostByName has answered: connect to what it found, or fail the attempt.
void OnLookupDone(HANDLE request, int error);
void OnConnectTimer();

// Closes the session's socket and ends both states; prints nothing and leaves
// the display alone. Events the socket left queued are discarded with it.
void DropConnection(SOCKET& session);

// True for the socket of the current attempt or session. Any other socket named
// by a socket event is one already closed: its event is stale and must be ignored.
bool IsSessionSocket(SOCKET socket);

// What a connect call means. Its result decides first: the error code is only
// meaningful when the call failed, since a successful call need not reset it.
enum class ConnectOutcome { Pending, Established, UdpReady, Failed };
ConnectOutcome DecideConnectOutcome(int result, int code, bool tcp);
