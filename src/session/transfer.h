// Sending and receiving over the open session.
#pragma once

#include "app/app_state.h"

void OnSendCommand(WPARAM wParam);
void OnSocketRead(SOCKET socket, int error);
void ReceivePending();
