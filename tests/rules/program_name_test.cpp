// What the process entry makes of its command line.
#include <doctest.h>

#include <string>

#include "parse/program_name.h"

TEST_CASE("the program name is skipped, whatever follows it") {
  struct Row {
    const char* commandLine;
    const char* tail;
  };
  const Row rows[] = {
      {"telvane.exe", ""},
      {"telvane.exe a b", "a b"},
      {"  \t telvane.exe\t  -x", "-x"},
      {"\"C:\\Program Files\\telvane.exe\" one", "one"},
      {"\"C:\\Program Files\\telvane.exe\"one", "one"},
      {"\"unclosed quote runs to the end", ""},
      {"\"\" rest", "rest"},
      {"", ""},
      {"   ", ""},
  };
  for (const Row& row : rows) {
    CAPTURE(row.commandLine);
    CHECK(std::string(SkipProgramName(row.commandLine)) == row.tail);
  }
}
