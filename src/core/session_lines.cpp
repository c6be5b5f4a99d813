#include "core/session_lines.h"

#include <cstdarg>
#include <cstdio>

#include "core/session_core.h"
#include "core/session_texts.h"

std::string FormatLine(const char* format, ...) {
  char text[160];  // the longest line holds a 63-character host
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  return text;
}

std::string LineFateText(int error, size_t sent, size_t count) {
  if (sent == 0) return FormatLine(kSendErrorFormat, error);
  return FormatLine(kSendCutShortFormat, error, static_cast<int>(sent), static_cast<int>(count));
}

std::string FailureLine(OpenStage stage, int code) {
  switch (stage) {
    case OpenStage::Socket: return FormatLine(kSocketFailedFormat, code);
    case OpenStage::Select: return FormatLine(kSelectFailedFormat, code);
    case OpenStage::Lookup: return kResolveErrorLine;
    case OpenStage::Connect: return FormatLine(kConnectErrorFormat, code);
  }
  return std::string();
}

std::string ConnectErrorLine(int code) {
  if (code == kTimedOut) return kTimedOutLine;
  if (code == kRefused) return kRefusedLine;
  return FormatLine(kConnectFailedFormat, code);
}
