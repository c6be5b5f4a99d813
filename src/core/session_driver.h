// The loop around the session core: hands it an event, carries out the actions it
// returns in order, and hands each result back before the next action. Before a user
// action, a timer or a report, a read put off behind the user's input is applied
// first: the one rule that keeps the transcript in the order things happened.
#pragma once

#include <optional>

#include "core/session_core.h"

// Carries out the core's actions: the window layer does, with the platform's calls.
class ActionPerformer {
 public:
  virtual ~ActionPerformer() = default;
  virtual Millis Now() = 0;
  // What the action came to, for an action that has a result.
  virtual std::optional<Event> Perform(const Action& action) = 0;
};

class SessionDriver {
 public:
  explicit SessionDriver(SessionCore& core) : core_(core) {}
  void Run(const Event& event, ActionPerformer& performer);

 private:
  void RunOne(const Event& event, ActionPerformer& performer);

  SessionCore& core_;
  // Carrying out an action can bring a message that runs the core again; only the
  // outermost run applies what was delivered first.
  int depth_ = 0;
};
