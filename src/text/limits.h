// Sizes that more than one piece relies on. Pure.
#pragma once

// Text buffers of the fields, the NUL included.
constexpr int kHostTextSize = 64;
constexpr int kPortTextSize = 8;
constexpr int kSendLineSize = 256;
constexpr int kCommandTextSize = 31;
// Characters the send line takes: a hex line of 84 whole bytes, after which no digit fits.
constexpr int kSendLineLimit = 251;
// Bytes one send can carry; a full hex line uses 84 of them.
constexpr int kSendBufferSize = 262;
