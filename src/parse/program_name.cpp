#include "parse/program_name.h"

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

const char* SkipProgramName(const char* p) {
  while (IsBlank(*p)) ++p;
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p == '"') ++p;  // an unclosed quote runs to the end
  } else {
    while (*p && !IsBlank(*p)) ++p;
  }
  while (IsBlank(*p)) ++p;
  return p;
}
