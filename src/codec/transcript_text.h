// What the transcript shows for a text, and where a long text lands in a pane that
// resets to the banner when it fills up. Pure: no window calls.
#pragma once

#include <cstddef>
#include <string>

// Whether the ANSI code page counts a byte as a letter or digit.
using AlphaNumericTest = bool (*)(unsigned char byte);

// Appends to out the text the pane receives for text[0..length): every lone CR and
// lone LF becomes CR LF, except a CR in the last position. In Advanced mode control
// bytes and non-alphanumeric bytes from 0x7F up become escape texts (\a \b \t \v \f
// or \xHH); otherwise a NUL is left out, since the pane would end the text there.
// isAlphaNumeric is asked only in Advanced mode, at most once per byte value.
void RenderTranscriptText(const char* text, size_t length, bool advanced,
                          AlphaNumericTest isAlphaNumeric, std::string& out);

// The escape text of a byte that Advanced mode renders; returns its length (2 or 4).
int EscapeText(unsigned char byte, char* out);

// How an insertion of textLength characters into a pane holding paneLength of at
// most limit goes: when it does not fit, the pane fills up and is reset to the
// banner, perhaps several times. Everything before `skip` is wiped by those resets
// within the same append, so only text[skip..] needs inserting, after one reset.
struct AppendPlan {
  bool resetFirst;
  size_t skip;
};
AppendPlan PlanAppend(size_t paneLength, size_t textLength, size_t limit, size_t bannerLength);
