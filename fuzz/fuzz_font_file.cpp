// Font files as GDI hands them out: any bytes give a copy at least as long, or none.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "parse/font_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string font(reinterpret_cast<const char*>(data), size);
  const std::string copy = WithoutLayoutTables(font, "Telvane Controls");
  FUZZ_CHECK(copy.empty() || copy.size() >= font.size());
  return 0;
}
