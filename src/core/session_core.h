// The session as pure rules: its phase, the line on its way out, what a read shows,
// what a close brings, when the pane catches up, and above all the order of things.
// Handle takes one event with its data and returns the actions to carry out, with
// theirs; it carries out nothing. The loop that carries them out and applies what was
// delivered first is the driver's (session_driver.h). No Windows calls here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "core/frame_pacer.h"
#include "core/session_actions.h"
#include "core/session_events.h"

// Winsock's numbers that mean something to the session.
constexpr int kWouldBlock = 10035;       // WSAEWOULDBLOCK
constexpr int kTimedOut = 10060;         // WSAETIMEDOUT
constexpr int kRefused = 10061;          // WSAECONNREFUSED
constexpr int kConnectionReset = 10054;  // WSAECONNRESET
constexpr int kShutDown = 10058;         // WSAESHUTDOWN: the user ended the session first
constexpr int kPeerDisconnect = 10101;   // WSAEDISCON: the peer closed gracefully

// A timer never ticks this much before it is due: an earlier tick was queued for a
// wait that has ended before this one began.
constexpr Millis kTimerSlackMs = 100;
// Datagrams are read until none waits, for at most this long per read event...
constexpr Millis kDatagramReadMs = 6;
// ... and before the user's action, all that waited then: a stream faster than the
// window reads would otherwise hold the action back for as long as it lasts.
constexpr Millis kCatchUpReadMs = 40;

struct SessionCounters {
  int64_t sessionIn = 0;
  int64_t sessionOut = 0;
  int64_t totalIn = 0;
  int64_t totalOut = 0;
  int succeeded = 0;
  int failed = 0;
};

// What the last attempt was opened with: for the title and the close line.
struct SessionTarget {
  bool tcp = true;  // a switch of protocol is for the next attempt
  std::string host;
  std::string portText;  // as typed, for the title
  int port = 0;
};

// The line on its way out: sent piece by piece as the socket takes it.
struct OutgoingLine {
  bool echoed = false;  // written when the socket first took bytes of it
  // The send-wait timer runs, since the socket had no room: the wait ends then.
  std::optional<Millis> waitEnds;
  TransferMode mode = TransferMode::Ascii;
  std::string typed;  // for the echo, and to give back
  std::string data;
  size_t sent = 0;
};

// Why the socket is being read.
enum class ReadWhy : uint8_t {
  Notified,   // a read event, or a close that reads the last bytes first
  AfterSend,  // right after a datagram went: a reply shows right after its echo
};

// A read in progress: one recv for a stream, datagram after datagram for UDP.
struct ReadInProgress {
  ReadWhy why = ReadWhy::Notified;
  Millis until = 0;  // datagram reads stop then (not before a close)
  int datagrams = 0;
  int64_t bytes = 0;
  bool more = false;  // unread data stays for the next read event
};

class SessionCore {
 public:
  Actions Handle(const Event& event, Millis now);
  // Before this event, a read put off behind the user's input is applied first.
  bool AppliesDeliveredFirst(const Event& event) const;
  // The user's own commands: what they come after is read whole.
  static bool IsUserCommand(const Event& event);

  Phase phase() const;
  bool connected() const { return open() != nullptr; }
  bool connecting() const { return std::holds_alternative<Attempt>(phase_); }
  bool idle() const { return std::holds_alternative<Idle>(phase_); }
  // A read event put off behind the user's input, to be applied before anything else.
  bool readDeferred() const { return open() && open()->readDeferred; }
  bool lineInFlight() const { return open() && open()->line; }
  // The user's; a session reads, sends and writes in it.
  TransferMode mode() const { return mode_; }
  // The send line takes hex pairs.
  bool sendsHex() const { return connected() && mode_ == TransferMode::Binary; }
  // No frame timer and no step are on their way.
  bool paceIdle() const { return pacer_.idle(); }
  const SessionCounters& counters() const { return counters_; }
  SessionCounters& counters() { return counters_; }

 private:
  // The reason a session or attempt ends, and what the transcript says of it.
  struct Ending {
    enum class Why {
      Failed,
      ConnectError,
      Disconnect,
      PeerClosed,
      ReceiveError,
      SendError,
      Shutdown
    } why;
    int code = 0;
    OpenStage stage = OpenStage::Socket;
  };

  // What each phase holds. Made with braces, so what is not given starts at zero:
  // member defaults in a nested class would leave phase_ without a default constructor.
  struct Idle {
    // A peer's close is shown with its line: the view waits until the pane drew it.
    bool viewDue;
  };
  struct Attempt {
    Phase stage;  // Opening, Resolving or Connecting
  };
  struct Open {
    bool readDeferred;
    ReadInProgress read;
    std::optional<int> closing;  // the peer's close, applied once the last reads drained
    std::optional<OutgoingLine> line;
  };
  Open* open() { return std::get_if<Open>(&phase_); }
  const Open* open() const { return std::get_if<Open>(&phase_); }

  // One handler per event (session_core.cpp, session_connect.cpp, session_receive.cpp,
  // session_send.cpp).
  void On(const ev::Connect& event, Actions& out);
  void On(const ev::Disconnect& event, Actions& out);
  void On(const ev::Send& event, Actions& out);
  void On(const ev::ModeSwitched& event, Actions& out);
  void On(const ev::OtherCommand& event, Actions& out);
  void On(const ev::WindowClosing& event, Actions& out);
  void On(const ev::ReadReady& event, Actions& out);
  void On(const ev::WriteReady& event, Actions& out);
  void On(const ev::ConnectDone& event, Actions& out);
  void On(const ev::PeerClosed& event, Actions& out);
  void On(const ev::LookupDone& event, Actions& out);
  void On(const ev::TimerFired& event, Actions& out);
  void On(const ev::DrawStep& event, Actions& out);
  void On(const ev::DeliveredFirst& event, Actions& out);
  void On(const ev::SocketMade& event, Actions& out);
  void On(const ev::HostFound& event, Actions& out);
  void On(const ev::ConnectCalled& event, Actions& out);
  void On(const ev::ReadDone& event, Actions& out);
  void On(const ev::ReadsWatched& event, Actions& out);
  void On(const ev::SendDone& event, Actions& out);
  void On(const ev::Drawn& event, Actions& out);
  void On(const ev::TimerRefused& event, Actions& out);
  void On(const ev::StepRefused& event, Actions& out);
  void On(const ev::Repainted& event, Actions& out);

  // Shared by the handlers.
  void Write(std::string text, Actions& out) const;  // an append in the session's mode
  void ShowView(Actions& out) const;
  void ShowCounters(Actions& out) const;
  void Connect(Actions& out);
  void Establish(Actions& out);
  void ReadOrPutOff(Open& o, bool somethingWaits, Actions& out);
  void ReadNow(Open& o, ReadWhy why, Actions& out, Millis within = kDatagramReadMs);
  void ReadFinished(Open& o, Actions& out);
  void Refused(const Open& o, int readError, Actions& out);  // a datagram's host refused it
  bool Streaming(const ReadInProgress& read) const;
  void ResumeRead(Actions& out, Millis within = kDatagramReadMs);
  void ContinueLine(Open& o, Actions& out);
  void Echo(OutgoingLine& line, Actions& out);
  void LineSent(Open& o, Actions& out);
  void LineFailed(Open& o, int error, Actions& out);
  void GiveUpLine(Open& o, int cause, bool queued, Actions& out);
  void Pace(const PaceStep& step, Actions& out);
  // The one place where a session or an attempt ends (session_end.cpp).
  void End(const Ending& ending, Actions& out);
  void WriteEndingLines(const Ending& ending, bool queued, Actions& out);
  static int LineCause(const Ending& ending);

  std::variant<Idle, Attempt, Open> phase_;
  SessionTarget target_;
  TransferMode mode_ = TransferMode::Ascii;
  FramePacer pacer_;
  SessionCounters counters_;
  Millis now_ = 0;  // of the event being handled
};
