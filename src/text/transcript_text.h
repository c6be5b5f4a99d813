// What the transcript shows for a text, and where a long text lands in a pane that
// resets to the banner when it fills up. Pure: no window calls.
#pragma once

#include <cstddef>
#include <string>

// Whether the ANSI code page counts a byte as a letter or digit.
using AlphaNumericTest = bool (*)(unsigned char byte);

// Characters each byte value becomes in one mode: 0 for a NUL outside Advanced mode,
// 2 or 4 for an escape text, else 1. CR and LF count 1 here; a lone one becomes CR LF.
struct RenderWidths {
  unsigned char of[256];
};
// isAlphaNumeric is asked only in Advanced mode, at most once per byte value.
RenderWidths MakeRenderWidths(bool advanced, AlphaNumericTest isAlphaNumeric);

// Appends to out the text the pane receives for text[0..length): every lone CR and
// lone LF becomes CR LF, except a CR in the last position. In Advanced mode control
// bytes and non-alphanumeric bytes from 0x7F up become escape texts (\a \b \t \v \f
// or \xHH); otherwise a NUL is left out, since the pane would end the text there.
void RenderTranscriptText(const char* text, size_t length, const RenderWidths& widths,
                          std::string& out);

// How many characters the rendering of text[0..length) has, without building it.
size_t CountTranscriptText(const char* text, size_t length, const RenderWidths& widths);

// Appends the rendered characters [from, total) of text[0..length) to out, where
// total is its CountTranscriptText: the tail of a long text, rendered alone.
void RenderTranscriptTail(const char* text, size_t length, const RenderWidths& widths, size_t total,
                          size_t from, std::string& out);

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
// Whether cutting text[0..length) before position cut splits a CR LF pair. After a
// reset the pane then starts one character later: never with the LF of a wiped CR.
bool CutSplitsLineBreak(const char* text, size_t length, size_t cut);
