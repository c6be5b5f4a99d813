#include "text/wire_bytes.h"

#include <vector>

#include "text/binary_mode.h"
#include "text/escapes.h"
#include "text/limits.h"

bool WireBytesOf(TransferMode mode, const std::string& typed, std::string& bytes) {
  bytes.clear();
  if (mode == TransferMode::Ascii) {
    // The line ends at its first NUL, as the text of an edit control does.
    bytes.assign(typed.c_str());
    bytes += "\r\n";
    return true;
  }
  // Escapes only ever shorten a line; a hex line fills at most kSendBufferSize bytes.
  std::vector<unsigned char> out(typed.size() + 1 > kSendBufferSize ? typed.size() + 1
                                                                    : kSendBufferSize);
  const int count = mode == TransferMode::Advanced ? DecodeEscapes(out.data(), typed.c_str())
                                                   : ParseHexLine(typed.c_str(), out.data());
  if (count < 0) return false;
  bytes.assign(reinterpret_cast<const char*>(out.data()), static_cast<size_t>(count));
  return true;
}
