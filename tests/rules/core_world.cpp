#include "rules/core_world.h"

namespace {
constexpr int kStreamReadBytes = 1 << 20;
}

bool CoreWorld::Carry(const Action& action, Event& result) {
  switch (action.kind) {
    case ActionKind::Append:
      transcript += action.text;
      drawn = transcript.size();  // an append brings the pane up to date first
      return false;
    case ActionKind::Queue: transcript += action.text; return false;
    case ActionKind::ShowView:
      status = core.connecting() ? "Connecting ..." : "Ready";
      return false;
    case ActionKind::ShowCounters: ++counterShows; return false;
    case ActionKind::ShowStatus: status = action.text; return false;
    case ActionKind::ClearSendLine: sendLine.clear(); return false;
    case ActionKind::RestoreLine:
      if (sendLine.empty()) sendLine = action.text;
      return false;
    case ActionKind::RememberTarget: return false;
    case ActionKind::ArmTimer: timers.insert(action.timer); return false;
    case ActionKind::StopTimer: timers.erase(action.timer); return false;
    case ActionKind::PostStep: stepPosted = true; return false;
    case ActionKind::Close: closed = true; return false;
    case ActionKind::Open:
      closed = false;
      result.kind = EventKind::Opened;
      return true;
    case ActionKind::Locate:
      result.kind = EventKind::Located;
      result.more = lookup;  // the answer comes later, as LookupDone
      return true;
    case ActionKind::ConnectSocket:
      result.kind = EventKind::Called;
      result.count = -1;
      result.error = kWouldBlock;  // pending, or for UDP...
      if (!core.tcp()) {
        result.count = 0;  // ... ready at once
        result.error = 0;
      }
      return true;
    case ActionKind::Read: result = Read(action); return true;
    case ActionKind::Send: {
      result.kind = EventKind::SendDone;
      const size_t room = sendRoom < 0 ? action.text.size() : static_cast<size_t>(sendRoom);
      const size_t taken = room < action.text.size() ? room : action.text.size();
      if (taken == 0) {
        result.error = sendError;
        return true;
      }
      wire += action.text.substr(0, taken);
      if (sendRoom >= 0) sendRoom -= static_cast<long>(taken);
      result.count = static_cast<int64_t>(taken);
      return true;
    }
    case ActionKind::Draw: {
      result.kind = EventKind::Drawn;
      const size_t waiting = transcript.size() - drawn;
      const size_t piece = action.chars < waiting ? action.chars : waiting;
      drawn += piece;
      result.count = static_cast<int64_t>(piece);
      result.cost = 1;
      result.more = drawn < transcript.size();
      return true;
    }
  }
  return false;
}

Event CoreWorld::Read(const Action& action) {
  Event done;
  done.kind = EventKind::ReadDone;
  done.purpose = action.purpose;
  done.count = -1;
  const bool all = action.purpose == ReadPurpose::BeforeClose;
  while (!unread.empty()) {
    std::string& next = unread.front();
    std::string bytes;
    if (action.tcp) {
      bytes = next.substr(0, kStreamReadBytes);
      next.erase(0, bytes.size());
      if (next.empty()) unread.pop_front();
    } else {
      bytes = next;
      unread.pop_front();
    }
    transcript += bytes;
    done.count = (done.count > 0 ? done.count : 0) + static_cast<int64_t>(bytes.size());
    if (action.tcp && !all) break;
  }
  done.more = !unread.empty();
  return done;
}

void CoreWorld::Run(EventKind kind) {
  Event event;
  event.kind = kind;
  Run(event);
}

void CoreWorld::Connect(bool tcp, int port) {
  Run(EventKind::NewAttempt);
  Event connect;
  connect.kind = EventKind::Connect;
  connect.tcp = tcp;
  connect.text = "host";
  connect.port = port;
  Run(connect);
}

void CoreWorld::OpenSession(bool tcp) {
  Connect(tcp);
  if (tcp) Notify(EventKind::ConnectDone);
}

void CoreWorld::SendLine(const std::string& line) {
  Run(EventKind::UserAction);
  status = "Sending ...";  // as the send command writes it
  Event send;
  send.kind = EventKind::SendLine;
  send.mode = TransferMode::Advanced;  // echoed as typed
  send.text = line;
  send.data = line;
  Run(send);
}

void CoreWorld::Help() {
  Run(EventKind::UserAction);
  transcript += kHelp;
  drawn = transcript.size();
}

void CoreWorld::Clear() {
  Run(EventKind::UserAction);
  transcript = kBanner;
  drawn = transcript.size();
}

void CoreWorld::Deliver(const std::string& bytes) {
  unread.push_back(bytes);
  Notify(EventKind::ReadReady);
}

void CoreWorld::Notify(EventKind kind, int error, bool inputWaiting) {
  Event event;
  event.kind = kind;
  event.error = error;
  event.inputWaiting = inputWaiting;
  Run(event);
}

void CoreWorld::Tick(Timer timer) {
  Event tick;
  tick.kind = EventKind::Tick;
  tick.timer = timer;
  Run(tick);
}

void CoreWorld::Settle() {
  for (int round = 0; round < 100 && (stepPosted || timers.count(Timer::Frame)); ++round) {
    now += kFrameMs;
    if (stepPosted) {
      stepPosted = false;
      Run(EventKind::Step);
    } else {
      Tick(Timer::Frame);  // a timer ticks until it is stopped
    }
  }
}
