// Opening, watching and closing the one TCP or UDP session.
#pragma once

#include "app/app_state.h"

void StartWinsock();  // in WM_CREATE
void StopWinsock();   // in WM_DESTROY: a session closes silently, then WSACleanup
void OnConnectCommand(WPARAM wParam);
void OnDisconnectCommand(WPARAM wParam);
void OnSocketConnect(SOCKET socket, int error);
void OnSocketClose(SOCKET socket, int error);
void OnConnectTimer();
void DropConnection(SOCKET& socket);
