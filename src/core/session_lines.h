// The transcript lines the session writes with numbers or names in them, each built
// in one place. Pure.
#pragma once

#include <cstddef>
#include <string>

#include "core/session_events.h"

// A line from a format (snprintf's) and its arguments.
std::string FormatLine(const char* format, ...);

// The report of a line that did not go whole: which error, and how much of it went out.
std::string LineFateText(int error, size_t sent, size_t count);
// The line a failure before the peer could answer starts with.
std::string FailureLine(OpenStage stage, int code);
// The line of a TCP connect that failed: timed out, refused, or another error.
std::string ConnectErrorLine(int code);
