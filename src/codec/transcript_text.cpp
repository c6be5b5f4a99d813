#include "codec/transcript_text.h"

#include "codec/escapes.h"

namespace {

constexpr char CR = '\r';
constexpr char LF = '\n';

// A CR LF pair stays as it is; a CR in the last position too (the LF may follow in
// the next text, and is then a lone LF of its own).
bool IsLoneBreak(const char* text, size_t length, size_t i) {
  if (text[i] == CR) return i + 1 < length && text[i + 1] != LF;
  if (text[i] == LF) return i == 0 || text[i - 1] != CR;
  return false;
}

bool IsPrintableAscii(unsigned char byte) { return byte >= 0x20 && byte <= 0x7E; }

// Memo of the alphanumeric test: the window system is asked once per byte value.
class AlphaNumericCache {
 public:
  explicit AlphaNumericCache(AlphaNumericTest test) : test_(test) {}
  bool operator()(unsigned char byte) {
    if (known_[byte] == 0) known_[byte] = test_(byte) ? 2 : 1;
    return known_[byte] == 2;
  }

 private:
  AlphaNumericTest test_;
  unsigned char known_[256] = {};
};

}  // namespace

int EscapeText(unsigned char byte, char* out) {
  char letter = 0;
  switch (byte) {
    case 0x07: letter = 'a'; break;
    case 0x08: letter = 'b'; break;
    case 0x09: letter = 't'; break;
    case 0x0B: letter = 'v'; break;
    case 0x0C: letter = 'f'; break;
    default: break;
  }
  out[0] = '\\';
  if (letter) {
    out[1] = letter;
    return 2;
  }
  out[1] = 'x';
  ByteToHex(byte, out + 2);
  return 4;
}

void RenderTranscriptText(const char* text, size_t length, bool advanced,
                          AlphaNumericTest isAlphaNumeric, std::string& out) {
  AlphaNumericCache alphaNumeric(isAlphaNumeric);
  out.reserve(out.size() + length + length / 8);
  for (size_t i = 0; i < length; ++i) {
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    if (IsLoneBreak(text, length, i)) {
      out += "\r\n";
    } else if (advanced && !IsPrintableAscii(byte) && byte != CR && byte != LF &&
               !alphaNumeric(byte)) {
      char escape[4];
      out.append(escape, static_cast<size_t>(EscapeText(byte, escape)));
    } else if (byte != 0) {
      out += static_cast<char>(byte);
    }
  }
}

AppendPlan PlanAppend(size_t paneLength, size_t textLength, size_t limit, size_t bannerLength) {
  if (textLength == 0 || paneLength + textLength <= limit) return {false, 0};
  const size_t room = limit > paneLength ? limit - paneLength : 0;
  const size_t rest = textLength - room;  // at least 1
  // A limit at or below the banner leaves no room at all; counting one keeps the plan finite.
  const size_t page = limit > bannerLength ? limit - bannerLength : 1;
  const size_t wipedPages = (rest - 1) / page;
  return {true, room + wipedPages * page};
}
