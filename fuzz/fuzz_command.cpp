// The command line: any text asks for one command or none, judged by its first 30
// characters.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "parse/command_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = std::string(reinterpret_cast<const char*>(data), size).c_str();
  const ParsedCommand parsed = ParseCommandLine(text.c_str());
  FUZZ_CHECK(parsed.command == Command::Scheme ? parsed.scheme >= 1 && parsed.scheme <= 9
                                               : parsed.scheme == 0);
  const ParsedCommand cut = ParseCommandLine(text.substr(0, 30).c_str());
  FUZZ_CHECK(cut.command == parsed.command && cut.scheme == parsed.scheme);
  return 0;
}
