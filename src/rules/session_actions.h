// How the session core writes its actions and lines: shared by its parts only. Pure.
#pragma once

#include <string>

#include "rules/session_core.h"

// A transcript line from a format (snprintf's) and its arguments.
std::string FormatLine(const char* format, ...);

inline Action MakeAction(ActionKind kind, std::string text = std::string()) {
  Action action(kind);
  action.text = std::move(text);
  return action;
}

// Puts at most chars of what waits into the pane (kWholeBacklog: all of it).
inline Action DrawAction(size_t chars) {
  Action action(ActionKind::Draw);
  action.chars = chars;
  return action;
}

inline Action TimerAction(ActionKind kind, Timer timer, Millis ms = 0) {
  Action action(kind);
  action.timer = timer;
  action.ms = ms;
  return action;
}
