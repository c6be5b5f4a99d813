// What a typed line puts on the wire. Pure.
#pragma once

#include <string>

#include "text/transfer_modes.h"

// The bytes of a line typed in mode: an ASCII line followed by CR LF, an Advanced line
// with its escapes decoded, a Binary line's hex pairs. False, with bytes empty, when
// an Advanced line holds an invalid escape or a Binary line is no hex line of whole
// bytes.
bool WireBytesOf(TransferMode mode, const std::string& typed, std::string& bytes);
