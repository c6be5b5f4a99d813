// What the session core is told: the user's commands, what the socket reports, its
// timers, and what each of its own actions came to. Every event carries its own data.
// Pure.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "core/frame_pacer.h"
#include "core/session_timers.h"
#include "text/transfer_modes.h"

// Idle, then an attempt (its socket being made, its host looked up, its TCP connect
// pending), then an open session.
enum class Phase : uint8_t { Idle, Opening, Resolving, Connecting, Connected };

// Where an attempt failed before the peer could answer.
enum class OpenStage : uint8_t { Socket, Select, Lookup, Connect };

namespace ev {

// --- The user's commands. Each comes after what the network delivered before it.
struct Connect {
  std::string host;  // as typed
  std::string port;  // as typed; the core checks it
  bool tcp = true;
};
struct Disconnect {};
struct Send {
  std::string typed;  // the send line as it stands
};
// The mode switched: whatever reads, sends or is written next uses it.
struct ModeSwitched {
  TransferMode mode = TransferMode::Ascii;
};
// Any other command that touches the transcript (help, a report, a clear...).
struct OtherCommand {};
// The window goes: a session or an attempt ends without a word.
struct WindowClosing {};

// --- The socket, as Winsock reports it (error 0: none).
struct ReadReady {
  int error = 0;
  bool inputWaiting = false;  // the user's input or a timer waits behind this event
  bool paintWaiting = false;  // so does paint
};
struct WriteReady {
  int error = 0;
};
struct ConnectDone {
  int error = 0;
};
struct PeerClosed {
  int error = 0;
};
struct LookupDone {
  int error = 0;  // 0: an address was found
};

// --- Timers and the posted draw step.
struct TimerFired {
  Timer timer = Timer::Dots;
};
struct DrawStep {};
// A read put off behind the user's input is applied before what comes next: before a
// user's command all that waited then, else one read event's worth.
struct DeliveredFirst {
  bool beforeUser = false;
};

// --- What an action came to.
struct SocketMade {  // of act::MakeSocket
  bool ok = true;
  OpenStage failedAt = OpenStage::Socket;
  int error = 0;
};
struct HostFound {  // of act::FindHost
  enum class How : uint8_t { Known, LookingUp, Failed } how = How::Known;
};
struct ConnectCalled {  // of act::ConnectSocket
  int result = 0;       // connect()'s
  int error = 0;        // the code after it: meaningful only when result != 0
};
struct ReadDone {          // of act::Read: one recv
  int received = -1;       // bytes (a datagram may have none); < 0: nothing waited
  std::string_view bytes;  // valid until the next action is carried out
  bool more = false;       // a stream holds more unread bytes
  int error = 0;           // of a recv that took nothing (10035: none waited)
};
struct ReadsWatched {  // of act::WatchReads{true}
  int error = 0;
};
struct SendDone {  // of act::SendBytes
  int taken = 0;
  int error = 0;  // when nothing was taken
};
struct Drawn {  // of act::Draw
  size_t chars = 0;
  Micros cost = 0;    // what changing the pane took
  bool more = false;  // text still waits
};
struct TimerRefused {  // of act::ArmTimer
  Timer timer = Timer::Dots;
};
struct StepRefused {};        // of act::PostStep: neither a message nor a timer could be had
struct Repainted {            // of act::Repaint
  bool stillWaiting = false;  // the user's input, paint or a timer waits even so
};

}  // namespace ev

using Event =
    std::variant<ev::Connect, ev::Disconnect, ev::Send, ev::ModeSwitched, ev::OtherCommand,
                 ev::WindowClosing, ev::ReadReady, ev::WriteReady, ev::ConnectDone, ev::PeerClosed,
                 ev::LookupDone, ev::TimerFired, ev::DrawStep, ev::DeliveredFirst, ev::SocketMade,
                 ev::HostFound, ev::ConnectCalled, ev::ReadDone, ev::ReadsWatched, ev::SendDone,
                 ev::Drawn, ev::TimerRefused, ev::StepRefused, ev::Repainted>;
