// Escapes: any text decodes into no more bytes than it has characters, or is refused.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "text/escapes.h"
#include "text/transcript_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string line = text.c_str();            // what a send line can hold: up to a NUL
  std::vector<unsigned char> out(line.size() + 1);  // exactly what the caller promises
  const int count = DecodeEscapes(out.data(), line.c_str());
  FUZZ_CHECK(count == -1 || (count >= 0 && static_cast<size_t>(count) <= line.size()));
  // Every escape that Advanced mode writes for a byte decodes back to that byte.
  for (size_t i = 0; i < size && i < 16; ++i) {
    char escape[5] = {};
    EscapeText(data[i], escape);
    unsigned char back[5];
    FUZZ_CHECK(DecodeEscapes(back, escape) == 1 && back[0] == data[i]);
  }
  return 0;
}
