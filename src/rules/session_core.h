// The session as pure rules: its phase, the line on its way out, what a close brings,
// when the pane catches up, and above all the order of things. Whatever the network
// delivered before a user action, a timer or a report is applied before it, so the
// transcript says what happened in the order it happened.
//
// The window layer turns messages into events, hands them to Run with a carrier that
// carries out the actions the core decides on (read, send, draw, arm a timer, append a
// line, close the socket). Actions with a result (a read, a send, a draw...) come back
// as events of their own, and are always the last of the actions an event gives.
// No Windows calls here, and the clock is the carrier's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "rules/frame_pacer.h"
#include "rules/transfer_modes.h"

// Winsock's numbers that mean something to the session.
constexpr int kWouldBlock = 10035;      // WSAEWOULDBLOCK
constexpr int kTimedOut = 10060;        // WSAETIMEDOUT
constexpr int kRefused = 10061;         // WSAECONNREFUSED
constexpr int kShutDown = 10058;        // WSAESHUTDOWN: the user ended the session first
constexpr int kPeerDisconnect = 10101;  // WSAEDISCON: the peer closed gracefully

constexpr unsigned kConnectTickMs = 500;
constexpr unsigned kSendWaitMs = 3000;
// Most bytes one stream read takes; the socket announces the rest with another event.
constexpr int kMaxReadBytes = 1 << 20;
// Datagrams are read until none waits, for at most this long per read event.
constexpr Millis kDatagramReadMs = 6;

// Idle, then an attempt (its socket being made, its host looked up, its TCP connect
// pending), then an open session.
enum class Phase : uint8_t { Idle, Opening, Resolving, Connecting, Connected };

enum class Timer : uint8_t { Connect, Frame, SendWait, ReadResume };

// What a read is for: a read event's, the one right after a UDP send, or the last
// ones before a close is applied.
enum class ReadPurpose : uint8_t { Event, AfterSend, BeforeClose };

// Where an attempt failed before the peer could answer.
enum class OpenStage : uint8_t { Socket, Select, Lookup, Connect };

struct SessionCounters {
  int64_t sessionIn = 0;
  int64_t sessionOut = 0;
  int64_t totalIn = 0;
  int64_t totalOut = 0;
  int succeeded = 0;
  int failed = 0;
};

enum class EventKind : uint8_t {
  // The user's actions. Each applies what the network delivered before it first.
  UserAction,  // anything else that touches the transcript (help, a report, a clear...)
  NewAttempt,  // the connect command begins: the session's counters start again
  Connect,     // ... with a valid port: tcp, text (host), port
  Disconnect,
  SendLine,  // text (as typed), data (its bytes), mode
  Shutdown,  // the window goes: the session ends without a word
  // The network, as Winsock reports it, with its error code.
  ReadReady,  // inputWaiting: the user's input waits behind it
  WriteReady,
  ConnectDone,
  PeerClosed,
  LookupDone,  // the host lookup answered: error 0 when it found an address
  // Timers and posted steps.
  Tick,  // timer
  Step,
  // What an action came to.
  Opened,        // error 0, or the stage and code where making the socket failed
  Located,       // stage Lookup: a lookup was started (error: it could not be); else known
  Called,        // connect was called: count = its result, error = the code after it
  ReadDone,      // count bytes (none: -1), more: data still waits; purpose; error: watch lost
  SendDone,      // count bytes taken, or error
  Drawn,         // count characters in cost ms; more: text still waits
  TimerRefused,  // timer could not be armed (Frame: nor a step posted)
};

struct Event {
  EventKind kind = EventKind::UserAction;
  int error = 0;
  int64_t count = 0;
  Millis cost = 0;
  bool more = false;
  bool inputWaiting = false;
  bool ok = true;  // Opened, Located: false when it failed
  bool tcp = true;
  int port = 0;
  Timer timer = Timer::Connect;
  ReadPurpose purpose = ReadPurpose::Event;
  OpenStage stage = OpenStage::Socket;
  TransferMode mode = TransferMode::Ascii;
  std::string text;
  std::string data;
};

enum class ActionKind : uint8_t {
  Append,        // text into the transcript now, after everything before it
  Queue,         // text after everything before it, drawn at the frame pace
  ShowView,      // title, controls and status parts 0 and 1 from the phase
  ShowCounters,  // status parts 4 and 5
  ShowStatus,    // status part 0: text
  ClearSendLine,
  RestoreLine,     // text goes back into the send line, if that is empty
  RememberTarget,  // the fields' target is the last one that connected
  ArmTimer,        // timer, in ms (result only when refused)
  StopTimer,
  PostStep,  // a Step right after the messages that wait (result only when refused)
  Close,     // the socket (and a lookup) goes; events it left are stale
  // With a result.
  Open,           // make the socket (tcp) and register its events -> Opened
  Locate,         // the address of the host: known, or looked up -> Located
  ConnectSocket,  // connect to that address, at port `count` -> Called
  Read,           // purpose, tcp, until (datagrams) -> ReadDone
  Send,           // text: what of the line has not gone yet -> SendDone
  Draw,           // at most chars of what waits, into the pane -> Drawn
};

struct Action {
  explicit Action(ActionKind what) : kind(what) {}
  ActionKind kind;
  std::string text;
  Timer timer = Timer::Connect;
  Millis ms = 0;  // ArmTimer: the wait; Read: the time by which datagram reads stop
  size_t chars = 0;
  int64_t count = 0;
  bool tcp = true;
  ReadPurpose purpose = ReadPurpose::Event;
};
using Actions = std::vector<Action>;

// Carries out the core's actions: the window layer does, with the platform's calls.
class SessionCarrier {
 public:
  virtual ~SessionCarrier() = default;
  virtual Millis Now() = 0;
  // Returns true, with result set, for an action that has a result.
  virtual bool Carry(const Action& action, Event& result) = 0;
};

// The line on its way out: sent piece by piece as the socket takes it.
struct OutgoingLine {
  bool inFlight = false;
  bool echoed = false;   // written when the socket first took bytes of it
  bool waiting = false;  // the send-wait timer runs: the socket had no room
  TransferMode mode = TransferMode::Ascii;
  std::string typed;  // for the echo, and to give back
  std::string data;
  size_t sent = 0;
};

class SessionCore {
 public:
  // Applies what was delivered before the event, then the event, carrying out every
  // action in order; a result is run in turn before the next action.
  void Run(const Event& event, SessionCarrier& carrier);
  // One event's actions, without carrying them out.
  Actions Handle(const Event& event, Millis now);

  Phase phase() const { return phase_; }
  bool connected() const { return phase_ == Phase::Connected; }
  bool connecting() const { return phase_ != Phase::Idle && phase_ != Phase::Connected; }
  bool idle() const { return phase_ == Phase::Idle; }
  bool tcp() const { return tcp_; }  // the protocol of the attempt or session
  // A read event put off behind the user's input, to be applied before anything else.
  bool readDeferred() const { return readDeferred_; }
  const OutgoingLine& outgoing() const { return line_; }
  // No frame timer and no step are on their way.
  bool paceIdle() const { return pacer_.idle(); }
  SessionCounters& counters() { return counters_; }
  const SessionCounters& counters() const { return counters_; }

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

  bool AppliesDeliveredFirst(const Event& event) const;
  void OnConnect(const Event& event, Actions& out);
  void OnOpened(const Event& event, Actions& out);
  void OnLocated(const Event& event, Actions& out);
  void OnCalled(const Event& event, Actions& out);
  void OnConnectDone(const Event& event, Actions& out);
  void OnTick(const Event& event, Actions& out);
  void OnTimerRefused(const Event& event, Actions& out);
  void OnReadReady(const Event& event, Actions& out);
  void OnReadDone(const Event& event, Actions& out);
  void OnPeerClosed(const Event& event, Actions& out);
  void OnSendLine(const Event& event, Actions& out);
  void OnSendDone(const Event& event, Actions& out);
  void OnDrawn(const Event& event, Actions& out);

  Action ConnectAction() const;
  void Establish(Actions& out);
  void ReadNow(ReadPurpose purpose, Actions& out);
  void ResumeRead(Actions& out);
  void ContinueLine(Actions& out);
  void Echo(Actions& out);
  void LineSent(Actions& out);
  void LineFailed(int error, Actions& out);
  void GiveUpLine(int cause, bool queued, Actions& out);
  void Pace(const PaceStep& step, Actions& out);
  // The one place where a session or an attempt ends (session_end.cpp).
  void End(const Ending& ending, Actions& out);
  void WriteEndingLines(const Ending& ending, ActionKind write, Actions& out);
  static int LineCause(const Ending& ending);

  Phase phase_ = Phase::Idle;
  bool tcp_ = true;
  std::string host_;
  int port_ = 0;
  bool readDeferred_ = false;
  OutgoingLine line_;
  FramePacer pacer_;
  SessionCounters counters_;
  int closeCode_ = 0;  // of a close that waits for the last reads
  Millis now_ = 0;     // of the event being handled
  int depth_ = 0;      // of Run: only the outermost applies what was delivered
};

// What a connect call means. Its result decides first: the error code is only
// meaningful when the call failed, since a successful call need not reset it.
enum class ConnectOutcome { Pending, Established, UdpReady, Failed };
ConnectOutcome DecideConnectOutcome(int result, int code, bool tcp);

// The report of a line that did not go whole: which error, and how much of it went out.
std::string LineFateText(int error, size_t sent, size_t count);
