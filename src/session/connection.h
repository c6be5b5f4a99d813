// Winsock for the window's lifetime, and the socket's, the lookup's and the timers'
// messages turned into events for the session core.
#pragma once

#include "base/app_state.h"

void StartWinsock();  // in WM_CREATE
void StopWinsock();   // in WM_DESTROY: a session closes silently, then WSACleanup
// A socket event (WSAAsyncSelect's message): FD_READ, FD_WRITE, FD_CONNECT or FD_CLOSE.
void OnSocketNotify(SOCKET socket, int event, int error);
// WSAAsyncGetHostByName has answered.
void OnLookupDone(HANDLE request, int error);
// A tick of a timer, the session's or not.
void OnSessionTimer(UINT_PTR id);
// The posted step that draws the next piece of the transcript.
void OnSessionStep();
