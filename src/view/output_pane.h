// The transcript: the only way text reaches the output pane.
#pragma once

#include <cstddef>

#include "text/transfer_modes.h"

const char* BannerText();
// The system's own test (IsCharAlphaNumericA): what the code page counts as a letter or digit.
bool IsAnsiAlphaNumeric(unsigned char byte);
// Appends text at the end, lone CR and LF made CR LF (and in Advanced mode control
// bytes shown as escapes), and scrolls to the end. A pane that fills up is reset to
// the banner and the rest follows it, so nothing handed here is lost. Anything still
// queued goes in first, so the transcript keeps the order of events.
// length 0: up to the NUL; negative: nothing (the scroll and the flags still happen).
// Mode: the one chosen, unless given.
void AppendOutput(const char* text, int length = 0);
void AppendOutput(const char* text, int length, TransferMode mode);
// Back to the banner alone: the clear button, a full pane, a pane out of memory.
void ResetTranscript();

// Received data, appended as AppendOutput would (one append per read) but held in
// memory until ShowQueuedOutput: what a flood pushes past the pane's limit before
// then is never drawn. count <= 0 shows nothing.
void QueueReceivedText(const char* bytes, int count);
void QueueReceivedText(const char* bytes, int count, TransferMode mode);
// A Binary read: its hex dump, one line per read.
void QueueHexDump(const char* bytes, int count);
// Characters queued that the pane has not got yet.
size_t QueuedOutputLength();
bool HasQueuedOutput();
// Brings the pane up to date with everything queued.
void ShowQueuedOutput();
// The same, the user's selection kept (none when the pane had to start again).
void ShowQueuedOutputKeepingSelection();
// Puts at most maxChars of what is queued into the pane, in order; true when more waits.
// Drawing a full pane can take longer than a frame: this keeps each step short.
bool ShowQueuedOutputPart(size_t maxChars);
