#include "session/transfer.h"

void OnSendCommand(WPARAM) {}
void OnSocketRead(SOCKET, int) {}
void ReceivePending() {}
