#include "text/transcript_text.h"

#include <cstdint>
#include <cstring>

#include "text/escapes.h"

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

// True when all eight bytes are printable ASCII, which every mode shows one for one.
bool AllPrintable(uint64_t word) {
  constexpr uint64_t ones = 0x0101010101010101ULL;
  constexpr uint64_t highs = 0x8080808080808080ULL;
  const uint64_t below = (word - ones * 0x20) & ~word & highs;            // some byte < 0x20
  const uint64_t above = ((word + ones * (0x7F - 0x7E)) | word) & highs;  // some byte > 0x7E
  return (below | above) == 0;
}

size_t WidthAt(const char* text, size_t length, size_t i, const RenderWidths& widths) {
  return widths.of[static_cast<unsigned char>(text[i])] + (IsLoneBreak(text, length, i) ? 1 : 0);
}

// Renders text[begin..length), reading the bytes around it for the line-break rule.
void RenderRange(const char* text, size_t length, size_t begin, const RenderWidths& widths,
                 std::string& out) {
  out.reserve(out.size() + (length - begin) + (length - begin) / 8);
  size_t run = begin;  // start of the bytes that pass unchanged
  for (size_t i = begin; i < length; ++i) {
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    const unsigned width = widths.of[byte];
    const bool lone = IsLoneBreak(text, length, i);
    if (width == 1 && !lone) continue;
    out.append(text + run, i - run);
    run = i + 1;
    if (lone) {
      out += "\r\n";
    } else if (width > 1) {
      char escape[4];
      out.append(escape, static_cast<size_t>(EscapeText(byte, escape)));
    }
  }
  out.append(text + run, length - run);
}

}  // namespace

RenderWidths MakeRenderWidths(bool advanced, AlphaNumericTest isAlphaNumeric) {
  RenderWidths widths;
  for (int b = 0; b < 256; ++b) {
    const unsigned char byte = static_cast<unsigned char>(b);
    unsigned char width = 1;
    if (!advanced) {
      if (byte == 0) width = 0;
    } else if (!IsPrintableAscii(byte) && byte != CR && byte != LF && !isAlphaNumeric(byte)) {
      char escape[4];
      width = static_cast<unsigned char>(EscapeText(byte, escape));
    }
    widths.of[b] = width;
  }
  return widths;
}

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

void RenderTranscriptText(const char* text, size_t length, const RenderWidths& widths,
                          std::string& out) {
  RenderRange(text, length, 0, widths, out);
}

size_t CountTranscriptText(const char* text, size_t length, const RenderWidths& widths) {
  size_t total = 0;
  size_t i = 0;
  while (i < length) {
    uint64_t word;
    if (length - i >= sizeof word) {
      std::memcpy(&word, text + i, sizeof word);
      if (AllPrintable(word)) {
        total += sizeof word;
        i += sizeof word;
        continue;
      }
    }
    total += WidthAt(text, length, i, widths);
    ++i;
  }
  return total;
}

void RenderTranscriptTail(const char* text, size_t length, const RenderWidths& widths, size_t total,
                          size_t from, std::string& out) {
  if (from >= total) return;
  const size_t wanted = total - from;
  // Walk back from the end to the byte whose rendering holds character `from`.
  size_t begin = length;
  size_t covered = 0;
  while (begin > 0 && covered < wanted) covered += WidthAt(text, length, --begin, widths);
  const size_t start = out.size();
  RenderRange(text, length, begin, widths, out);
  out.erase(start, covered - wanted);  // the front of an escape or CR LF cut by `from`
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

bool CutSplitsLineBreak(const char* text, size_t length, size_t cut) {
  return cut > 0 && cut < length && text[cut - 1] == CR && text[cut] == LF;
}
