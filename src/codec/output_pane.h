// The transcript: the only way text reaches the output pane.
#pragma once

const char* BannerText();
// Appends text at the end, lone CR and LF made CR LF (and in Advanced mode control
// bytes shown as escapes), and scrolls to the end. A pane that fills up is reset to
// the banner and the rest follows it, so nothing handed here is lost.
// length 0: up to the NUL; negative: nothing (the scroll and the flags still happen).
void AppendOutput(const char* text, int length = 0);
// Back to the banner alone: the clear button, a full pane, a pane out of memory.
void ResetTranscript();
