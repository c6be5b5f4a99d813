// The protocol and mode switches. Neither compares with the current value: the line
// and the status text are written anyway.
#pragma once

#include "text/transfer_modes.h"

void SwitchProtocol(bool tcp);  // for the next attempt
void SwitchMode(TransferMode mode);
