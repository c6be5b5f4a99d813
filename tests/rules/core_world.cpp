#include "rules/core_world.h"

#include <type_traits>
#include <utility>

namespace {
constexpr size_t kStreamReadBytes = 1 << 20;
}

std::optional<Event> CoreWorld::Perform(const Action& action) {
  return std::visit(
      [this](const auto& a) -> std::optional<Event> {
        using A = std::decay_t<decltype(a)>;
        if constexpr (std::is_same_v<A, act::Append>) {
          transcript += a.text;
          drawn = transcript.size();  // an append brings the pane up to date first
        } else if constexpr (std::is_same_v<A, act::QueueLine>) {
          transcript += a.text;
        } else if constexpr (std::is_same_v<A, act::QueueRead>) {
          if (a.count > 0) transcript.append(a.bytes.data(), static_cast<size_t>(a.count));
        } else if constexpr (std::is_same_v<A, act::Draw>) {
          return Draw(a.chars);
        } else if constexpr (std::is_same_v<A, act::ShowView>) {
          status =
              a.phase == Phase::Idle || a.phase == Phase::Connected ? "Ready" : "Connecting ...";
          viewPhase = a.phase;
          if (a.phase == Phase::Idle) idleViewAt = transcript.size();
        } else if constexpr (std::is_same_v<A, act::ShowCounters>) {
          ++counterShows;
        } else if constexpr (std::is_same_v<A, act::ShowActivity>) {
          status = a.text;
        } else if constexpr (std::is_same_v<A, act::ClearSendLine>) {
          sendLine.clear();
        } else if constexpr (std::is_same_v<A, act::RestoreLine>) {
          if (sendLine.empty()) sendLine = a.typed;
        } else if constexpr (std::is_same_v<A, act::ArmTimer>) {
          timers.insert(a.timer);
        } else if constexpr (std::is_same_v<A, act::StopTimer>) {
          timers.erase(a.timer);
        } else if constexpr (std::is_same_v<A, act::PostStep>) {
          stepPosted = true;
        } else if constexpr (std::is_same_v<A, act::Repaint>) {
          ++repaints;
          return ev::Repainted{waitsAfterRepaint};
        } else if constexpr (std::is_same_v<A, act::CloseSocket>) {
          closed = true;
        } else if constexpr (std::is_same_v<A, act::MakeSocket>) {
          closed = false;
          madeTcp = a.tcp;
          return made;
        } else if constexpr (std::is_same_v<A, act::FindHost>) {
          // A name's answer comes later, as LookupDone.
          return ev::HostFound{lookup ? ev::HostFound::How::LookingUp : ev::HostFound::How::Known};
        } else if constexpr (std::is_same_v<A, act::ConnectSocket>) {
          // TCP: pending; UDP: ready at once.
          if (connectError != 0) return ev::ConnectCalled{-1, connectError};
          return madeTcp ? ev::ConnectCalled{-1, kWouldBlock} : ev::ConnectCalled{0, 0};
        } else if constexpr (std::is_same_v<A, act::Read>) {
          return Read(a.datagram);
        } else if constexpr (std::is_same_v<A, act::WatchReads>) {
          if (a.on) return ev::ReadsWatched{};
        } else if constexpr (std::is_same_v<A, act::SendBytes>) {
          return Send(a.bytes);
        }
        return std::nullopt;  // RememberTarget: nothing here
      },
      action);
}

ev::ReadDone CoreWorld::Read(bool datagram) {
  now += readCost;
  ev::ReadDone done;
  if (unread.empty()) {
    done.error = refusal != 0 ? std::exchange(refusal, 0) : kWouldBlock;
    return done;
  }
  std::string& next = unread.front();
  if (datagram) {
    lastRead_ = next;
    unread.pop_front();
  } else {
    lastRead_ = next.substr(0, kStreamReadBytes);
    next.erase(0, lastRead_.size());
    if (next.empty()) unread.pop_front();
  }
  done.received = static_cast<int>(lastRead_.size());
  done.bytes = lastRead_;
  done.more = !datagram && !unread.empty();
  return done;
}

ev::SendDone CoreWorld::Send(const std::string& bytes) {
  const size_t room = sendRoom < 0 ? bytes.size() : static_cast<size_t>(sendRoom);
  const size_t taken = room < bytes.size() ? room : bytes.size();
  if (taken == 0) return ev::SendDone{0, sendError};
  wire += bytes.substr(0, taken);
  if (sendRoom >= 0) sendRoom -= static_cast<long>(taken);
  return ev::SendDone{static_cast<int>(taken), 0};
}

ev::Drawn CoreWorld::Draw(size_t chars) {
  const size_t waiting = transcript.size() - drawn;
  const size_t piece = chars < waiting ? chars : waiting;
  drawn += piece;
  return ev::Drawn{piece, 1, drawn < transcript.size()};
}

void CoreWorld::Connect(bool tcp, int port) {
  // Advanced: lines are echoed as typed, and go out as typed when they hold no escape.
  Run(ev::ModeSwitched{TransferMode::Advanced});
  Run(ev::Connect{"host", std::to_string(port), tcp});
}

void CoreWorld::OpenSession(bool tcp) {
  Connect(tcp);
  if (tcp) Run(ev::ConnectDone{});
}

void CoreWorld::SendLine(const std::string& line) { Run(ev::Send{line}); }

void CoreWorld::Help() {
  Run(ev::OtherCommand{});
  transcript += kHelp;
  drawn = transcript.size();
}

void CoreWorld::Clear() {
  Run(ev::OtherCommand{});
  transcript = kBanner;
  drawn = transcript.size();
}

void CoreWorld::Deliver(const std::string& bytes) {
  unread.push_back(bytes);
  Run(ev::ReadReady{});
}

void CoreWorld::Settle() {
  for (int round = 0; round < 100 && (stepPosted || timers.count(Timer::Frame)); ++round) {
    now += kFrameMs;
    if (stepPosted) {
      stepPosted = false;
      Run(ev::DrawStep{});
    } else {
      Tick(Timer::Frame);  // a timer ticks until it is stopped
    }
  }
}
