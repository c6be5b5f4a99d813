#include "session/connection.h"

void StartWinsock() {}
void StopWinsock() {}
void OnConnectCommand(WPARAM) {}
void OnDisconnectCommand(WPARAM) {}
void OnSocketConnect(SOCKET, int) {}
void OnSocketClose(SOCKET, int) {}
void OnConnectTimer() {}
void DropConnection(SOCKET&) {}
