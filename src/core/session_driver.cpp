#include "core/session_driver.h"

#include <algorithm>
#include <iterator>

void SessionDriver::Run(const Event& event, ActionPerformer& performer) {
  if (depth_ == 0 && core_.AppliesDeliveredFirst(event))
    RunOne(ev::DeliveredFirst{SessionCore::IsUserCommand(event)}, performer);
  RunOne(event, performer);
}

void SessionDriver::RunOne(const Event& event, ActionPerformer& performer) {
  ++depth_;
  // Next action last: a result's actions go before those still waiting.
  Actions waiting = core_.Handle(event, performer.Now());
  std::reverse(waiting.begin(), waiting.end());
  while (!waiting.empty()) {
    const Action action = std::move(waiting.back());
    waiting.pop_back();
    if (std::optional<Event> result = performer.Perform(action)) {
      Actions next = core_.Handle(*result, performer.Now());
      waiting.insert(waiting.end(), std::make_move_iterator(next.rbegin()),
                     std::make_move_iterator(next.rend()));
    }
  }
  --depth_;
}
