#include "parse/command_parse.h"

#include <cstring>

#include "parse/leading_number.h"
#include "text/limits.h"

namespace {

struct CommandWord {
  const char* word;
  Command command;
};

// Compared in this order; the words are all different, so at most one matches.
const CommandWord kCommandTable[] = {
    {":about", Command::About},
    {":help", Command::Help},
    {":winsock", Command::WinsockReport},
    {":stats", Command::StatisticsReport},
    {":tcp", Command::Tcp},
    {":udp", Command::Udp},
    {":bin", Command::Binary},
    {":binary", Command::Binary},
    {":ascii", Command::Ascii},
    {":adv", Command::Advanced},
    {":advanced", Command::Advanced},
    {":orvald", Command::WebPage},
    {":kemmlitz", Command::WebPage},
    {":orvald kemmlitz", Command::WebPage},
};

constexpr char kSchemeWord[] = ":scheme";
constexpr size_t kSchemeWordLength = sizeof kSchemeWord - 1;

// ":scheme" in the first seven characters, the eighth ignored, the number from the ninth.
int ParseScheme(const char* text) {
  if (std::strncmp(text, kSchemeWord, kSchemeWordLength) != 0) return 0;
  const size_t length = std::strlen(text);
  const int number =
      length > kSchemeWordLength + 1 ? LeadingNumber(text + kSchemeWordLength + 1) : 0;
  return number >= 1 && number <= 9 ? number : 0;
}

// Only ASCII letters: the words are ASCII, and no code page maps another letter to one.
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

ParsedCommand ParseCommandLine(const char* typed) {
  char text[kCommandTextSize];
  size_t length = 0;
  for (; typed[length] && length + 1 < sizeof text; ++length)
    text[length] = LowerAscii(typed[length]);
  text[length] = '\0';
  for (const CommandWord& entry : kCommandTable)
    if (std::strcmp(text, entry.word) == 0) return {entry.command, 0};
  const int scheme = ParseScheme(text);
  if (scheme) return {Command::Scheme, scheme};
  return {Command::None, 0};
}
