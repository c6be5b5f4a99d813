// A world for the session core without Windows: a scripted socket, a transcript with
// a pane that catches up, timers and a clock. The actions carry all they need, so the
// world only keeps what they say. Received bytes and lines go into the transcript
// unrendered (the tests use no lone CR or LF), so the transcript is the text the pane
// ends up with.
#pragma once

#include <deque>
#include <set>
#include <string>

#include "core/session_driver.h"

class CoreWorld final : public ActionPerformer {
 public:
  // The socket: what waits to be read (a datagram per entry for UDP), how many bytes
  // a send takes (-1: all), and the error a send fails with when it takes nothing.
  std::deque<std::string> unread;
  long sendRoom = -1;
  int sendError = kWouldBlock;
  std::string wire;  // what went out
  bool closed = false;
  bool madeTcp = true;   // the last socket made
  bool lookup = false;   // the host is a name, looked up off the window's thread
  int refusal = 0;       // the next recv that finds nothing fails with it (a refused datagram)
  ev::SocketMade made;   // how the socket and its registration come out
  int connectError = 0;  // connect() fails at once with it

  // The display.
  static constexpr const char* kBanner = "[banner]";
  std::string transcript = kBanner;  // the final text
  size_t drawn = transcript.size();  // of it, what the pane shows
  std::string sendLine;
  std::string status;
  Phase viewPhase = Phase::Idle;          // as the title and controls last showed it
  size_t idleViewAt = std::string::npos;  // the transcript's length when the view went idle
  int counterShows = 0;
  int repaints = 0;
  bool waitsAfterRepaint = true;  // input or paint is left after a repaint

  std::set<Timer> timers;  // armed, and ticking until stopped
  bool stepPosted = false;
  Millis now = 1000;
  Millis readCost = 0;  // how long each read takes

  SessionCore core;
  SessionDriver driver{core};

  Millis Now() override { return now; }
  std::optional<Event> Perform(const Action& action) override;

  void Run(const Event& event) { driver.Run(event, *this); }

  // The user's side: what the commands hand the core.
  void Connect(bool tcp, int port = 7);  // to "host": dotted, so no lookup
  void OpenSession(bool tcp = true);     // ... and the peer accepts
  void SendLine(const std::string& line);
  void Help();   // the help text after what was delivered
  void Clear();  // the transcript back to the banner
  // The network's side.
  void Deliver(const std::string& bytes);  // bytes arrive, their read event is handled
  void Tick(Timer timer) { Run(ev::TimerFired{timer}); }
  // Runs due timers and steps until the pane shows everything (bounded).
  void Settle();

  std::string Since(size_t mark) const { return transcript.substr(mark); }
  bool PaneCurrent() const { return drawn == transcript.size(); }

 private:
  ev::ReadDone Read(bool datagram);
  ev::SendDone Send(const std::string& bytes);
  ev::Drawn Draw(size_t chars);
  std::string lastRead_;  // what a ReadDone's bytes point into
};

constexpr char kHelp[] = "\r\n[help]\r\n";
