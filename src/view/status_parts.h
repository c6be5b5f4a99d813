// Status parts 2 to 5: the mode, the protocol and the session's byte counts.
#pragma once

// Part 2 the transfer mode, part 3 the protocol, as they stand.
void ShowTransferMode();
void ShowProtocol();
// Part 4 "In: %s bytes", part 5 "Out: %s bytes", from the session's counters.
void ShowSessionBytesIn();
void ShowSessionBytesOut();
