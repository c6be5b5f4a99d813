// The transcript: the only way text reaches the output pane.
#pragma once

const char* BannerText();
// length 0: up to the NUL; negative: nothing (the scroll and the flags still happen).
void AppendOutput(const char* text, int length = 0);
void ResetTranscript();
