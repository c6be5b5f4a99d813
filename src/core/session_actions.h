// What the session core asks of the window side. Every action carries all that
// carrying it out needs: nothing reads the core, the edit fields or the mode back.
// Pure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/session_events.h"

namespace act {

// --- The transcript, in the session's mode (Advanced shows control bytes as escapes).
struct Append {  // now, after everything before it
  std::string text;
  TransferMode mode = TransferMode::Ascii;
};
struct QueueLine {  // after everything before it, drawn at the frame pace
  std::string text;
  TransferMode mode = TransferMode::Ascii;
};
// One read, queued as text, or in Binary mode as a hex dump line of its own.
struct QueueRead {
  std::string_view bytes;
  int count = 0;  // <= 0: nothing (a hex dump still ends its line)
  TransferMode mode = TransferMode::Ascii;
};
struct Draw {  // at most chars of what waits, into the pane -> ev::Drawn
  size_t chars = 0;
};

// --- The rest of the window.
struct ShowView {  // title, enabled controls, status parts 0 and 1
  Phase phase = Phase::Idle;
  std::string host;  // of the session, as typed
  std::string port;
  TransferMode mode = TransferMode::Ascii;  // Binary: the send button waits for whole bytes
};
struct ShowCounters {  // status parts 4 and 5
  int64_t in = 0;
  int64_t out = 0;
};
struct ShowActivity {  // status part 0
  const char* text = "";
};
struct ClearSendLine {};
struct RestoreLine {  // back into the send line, if that is empty, the caret at its end
  std::string typed;
};
struct RememberTarget {  // the last target that connected, for the settings file
  std::string host;
  std::string port;
};
// Paint what waits to be painted, now: under a flood of socket messages, which the loop
// takes before paint, it would never come. -> ev::Repainted
struct Repaint {};
struct FocusSendLine {};  // the keyboard goes to the send line

// --- Timers and the draw step.
struct ArmTimer {  // -> ev::TimerRefused only when it could not be armed
  Timer timer = Timer::Dots;
  Millis wait = 0;
};
struct StopTimer {
  Timer timer = Timer::Dots;
};
struct PostStep {};  // an ev::DrawStep right after the messages that wait; refused: ev::StepRefused

// --- The socket.
struct MakeSocket {  // and register its events -> ev::SocketMade
  bool tcp = true;
};
struct FindHost {  // dotted, or looked up -> ev::HostFound, later ev::LookupDone
  std::string host;
};
struct ConnectSocket {  // to the address found -> ev::ConnectCalled
  int port = 0;
};
struct Read {  // one recv -> ev::ReadDone
  bool datagram = false;
};
// Read events off while datagrams are read one after another, and on again after
// (on -> ev::ReadsWatched).
struct WatchReads {
  bool on = true;
};
struct SendBytes {  // what of the line has not gone yet -> ev::SendDone
  std::string bytes;
};
struct CloseSocket {};  // and a lookup; the events they left are stale

}  // namespace act

using Action =
    std::variant<act::Append, act::QueueLine, act::QueueRead, act::Draw, act::ShowView,
                 act::ShowCounters, act::ShowActivity, act::ClearSendLine, act::RestoreLine,
                 act::RememberTarget, act::ArmTimer, act::StopTimer, act::PostStep, act::MakeSocket,
                 act::FindHost, act::ConnectSocket, act::Read, act::WatchReads, act::SendBytes,
                 act::CloseSocket, act::Repaint, act::FocusSendLine>;
using Actions = std::vector<Action>;
