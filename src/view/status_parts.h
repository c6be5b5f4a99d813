// Status parts 2 to 5: the mode, the protocol and the session's byte counts.
#pragma once

#include <cstdint>

#include "text/transfer_modes.h"

void ShowTransferMode(TransferMode mode);  // part 2
void ShowProtocol(bool tcp);               // part 3
// Part 4 "In: %s bytes", part 5 "Out: %s bytes".
void ShowByteCounts(int64_t in, int64_t out);
