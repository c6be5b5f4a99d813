// The session core's rules, driven through a world without Windows.
#include <doctest.h>

#include <utility>
#include <vector>

#include "core/session_texts.h"
#include "rules/core_world.h"

namespace {

const std::string kClosedLine = "\r\n=== Connection closed by remote host ( host )\r\n";
const std::string kDisconnected = kDisconnectedLine;

std::string Echo(const std::string& line) { return "\r\n>>> " + line + "\r\n"; }

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

TEST_CASE("what the network delivered comes before each user action") {
  enum class Delivered { PutOffRead, CloseWithDataUnread, ReadNotYetDrawn };
  enum class Act { Send, Disconnect, Help, Clear };
  struct Row {
    Delivered delivered;
    Act act;
    std::string after;  // the transcript after the session opened; empty: the banner alone
  };
  const Row rows[] = {
      {Delivered::PutOffRead, Act::Send, "late" + Echo("hi")},
      {Delivered::PutOffRead, Act::Disconnect, "late" + kDisconnected},
      {Delivered::PutOffRead, Act::Help, std::string("late") + kHelp},
      {Delivered::PutOffRead, Act::Clear, ""},
      // The close is applied at once: the send finds no session, the disconnect none.
      {Delivered::CloseWithDataUnread, Act::Send, "last" + kClosedLine},
      {Delivered::CloseWithDataUnread, Act::Disconnect, "last" + kClosedLine},
      {Delivered::CloseWithDataUnread, Act::Help, "last" + kClosedLine + kHelp},
      {Delivered::CloseWithDataUnread, Act::Clear, ""},
      {Delivered::ReadNotYetDrawn, Act::Send, "drawn" + std::string("early") + Echo("hi")},
      {Delivered::ReadNotYetDrawn, Act::Disconnect, "drawnearly" + kDisconnected},
      {Delivered::ReadNotYetDrawn, Act::Help, std::string("drawnearly") + kHelp},
      {Delivered::ReadNotYetDrawn, Act::Clear, ""},
  };
  for (const Row& row : rows) {
    CAPTURE(static_cast<int>(row.delivered));
    CAPTURE(static_cast<int>(row.act));
    CoreWorld w;
    w.OpenSession();
    const size_t mark = w.transcript.size();
    switch (row.delivered) {
      case Delivered::PutOffRead:
        w.unread.push_back("late");
        w.Run(ev::ReadReady{0, true, true});  // the user's input and paint wait behind it
        REQUIRE(w.core.readDeferred());
        REQUIRE(w.repaints == 1);
        break;
      case Delivered::CloseWithDataUnread:
        w.unread.push_back("last");
        w.Run(ev::PeerClosed{});
        CHECK(w.core.idle());
        CHECK(w.closed);
        break;
      case Delivered::ReadNotYetDrawn:
        w.Deliver("drawn");  // the first read after a pause is drawn at once...
        w.Deliver("early");  // ... one right after it waits for the frame
        REQUIRE_FALSE(w.PaneCurrent());
        break;
    }
    switch (row.act) {
      case Act::Send: w.SendLine("hi"); break;
      case Act::Disconnect: w.Run(ev::Disconnect{}); break;
      case Act::Help: w.Help(); break;
      case Act::Clear: w.Clear(); break;
    }
    w.Settle();
    if (row.after.empty())
      CHECK(w.transcript == CoreWorld::kBanner);
    else
      CHECK(w.Since(mark) == row.after);
    CHECK(w.PaneCurrent());
    CHECK(w.core.paceIdle());
    CHECK(w.timers.count(Timer::Frame) == 0);
    CHECK_FALSE(w.core.readDeferred());
    CHECK(w.core.counters().sessionIn == (row.delivered == Delivered::ReadNotYetDrawn ? 10 : 4));
  }
}

TEST_CASE("a line in flight when its session ends says what became of it and comes back") {
  enum class End { PeerCloses, PeerResets, UserDisconnects, ReceiveError, SendError, NoRoom };
  struct Row {
    End end;
    long room;  // bytes the socket takes before it has no room
    std::string after;
    bool sessionStays;
    std::string afterView = "";  // what comes once the view is idle again
  };
  const std::string cut = " (only 2 of 5 bytes were sent)";
  // The user's disconnect shows the idle view before its line; the line's own report
  // comes before the view whatever ended it.
  const Row rows[] = {
      {End::PeerCloses, 0, "\r\nERR: Send Error #10101" + kClosedLine, false},
      {End::PeerCloses, 2, Echo("hello") + "\r\nERR: Send Error #10101" + cut + kClosedLine, false},
      {End::PeerResets, 0, "\r\nERR: Send Error #10054" + kClosedLine, false},
      {End::UserDisconnects, 0, "\r\nERR: Send Error #10058" + kDisconnected, false, kDisconnected},
      {End::UserDisconnects, 2, Echo("hello") + "\r\nERR: Send Error #10058" + cut + kDisconnected,
       false, kDisconnected},
      {End::ReceiveError, 0, "\r\nERR: Send Error #10053\r\nERR: Receive Error code: #10053",
       false},
      {End::SendError, 0, "\r\nERR: Send Error #10054", false},
      {End::SendError, 2, Echo("hello") + "\r\nERR: Send Error #10054" + cut, false},
      // No room for a while: with nothing sent the session goes on, the line can go again.
      {End::NoRoom, 0, "\r\nERR: Send Error #10035", true},
      {End::NoRoom, 2, Echo("hello") + "\r\nERR: Send Error #10035" + cut, false},
  };
  for (const Row& row : rows) {
    CAPTURE(static_cast<int>(row.end));
    CAPTURE(row.room);
    CoreWorld w;
    w.OpenSession();
    const size_t mark = w.transcript.size();
    w.sendRoom = row.room;
    w.sendLine = "hello";
    w.SendLine("hello");
    REQUIRE(w.core.lineInFlight());
    CHECK(w.sendLine.empty());
    CHECK(w.timers.count(Timer::SendWait) == 1);
    switch (row.end) {
      case End::PeerCloses: w.Run(ev::PeerClosed{}); break;
      case End::PeerResets: w.Run(ev::PeerClosed{10054}); break;
      case End::UserDisconnects: w.Run(ev::Disconnect{}); break;
      case End::ReceiveError: w.Run(ev::ReadReady{10053}); break;
      case End::SendError: w.Run(ev::WriteReady{10054}); break;
      case End::NoRoom:
        w.now += kSendWaitMs;
        w.Tick(Timer::SendWait);
        break;
    }
    w.Settle();
    CHECK(w.Since(mark) == row.after);
    CHECK(w.sendLine == "hello");
    CHECK(w.wire == std::string("hello").substr(0, static_cast<size_t>(row.room)));
    CHECK(w.core.counters().sessionOut == row.room);
    CHECK(w.core.counters().totalOut == row.room);
    CHECK(w.core.connected() == row.sessionStays);
    if (!row.sessionStays) {
      REQUIRE(w.idleViewAt <= w.transcript.size());
      CHECK(w.Since(w.idleViewAt) == row.afterView);
    }
    CHECK_FALSE(w.core.lineInFlight());
    CHECK(w.timers.count(Timer::SendWait) == 0);
  }
}

TEST_CASE("the echo comes when the socket first takes bytes of the line, before any answer") {
  CoreWorld w;
  w.OpenSession();
  const size_t mark = w.transcript.size();
  w.sendRoom = 2;
  w.SendLine("hello");
  CHECK(w.Since(mark) == Echo("hello"));
  CHECK(w.status != "Ready");  // still sending
  w.Deliver("re");             // the peer answers the first part
  w.Help();
  w.sendRoom = -1;
  w.Run(ev::WriteReady{});
  w.Settle();
  CHECK(w.Since(mark) == Echo("hello") + "re" + kHelp);  // one echo, first
  CHECK(w.wire == "hello");
  CHECK(w.core.counters().sessionOut == 5);
  CHECK(w.status == "Ready");
  CHECK_FALSE(w.core.lineInFlight());
  // A second line while the first is in flight is not taken: the send line keeps it.
  w.sendRoom = 0;
  w.SendLine("one");
  w.SendLine("two");
  w.sendRoom = -1;
  w.Run(ev::WriteReady{});
  CHECK(w.wire == "helloone");
}

TEST_CASE("an attempt keeps its protocol; dots only while a TCP connect is pending") {
  SUBCASE("UDP by name: no dots while the name is looked up, ready once it is") {
    CoreWorld w;
    w.lookup = true;
    w.Connect(false);
    CHECK(w.core.phase() == Phase::Resolving);
    CHECK(w.status == "Resolving hostname ...");
    w.Tick(Timer::Dots);
    w.Tick(Timer::Dots);
    w.Run(ev::LookupDone{});
    CHECK(w.core.connected());
    CHECK_FALSE(w.madeTcp);
    CHECK(w.Since(std::string(CoreWorld::kBanner).size()) ==
          "\r\n=== Connecting to host:7 \r\n=== UDP ready.");
    w.Tick(Timer::Dots);  // the first tick after the attempt stops the timer
    CHECK(w.timers.count(Timer::Dots) == 0);
  }
  SUBCASE("TCP: a dot per tick while the connect is pending") {
    CoreWorld w;
    w.Connect(true);
    CHECK(w.core.phase() == Phase::Connecting);
    w.Tick(Timer::Dots);
    w.Tick(Timer::Dots);
    w.Run(ev::ConnectDone{});
    CHECK(w.Since(std::string(CoreWorld::kBanner).size()) ==
          "\r\n=== Connecting to host:7 ..\r\n=== Connection successfully established!\r\n");
  }
  SUBCASE("an attempt that fails says why, before or after the view is idle again") {
    enum class Fails { Socket, Select, Lookup, ConnectCall, Refused, TimedOut, ConnectEvent };
    struct Row {
      Fails fails;
      std::string lines;      // after the connecting line
      std::string afterView;  // of them, what comes once the view is idle
    };
    const std::string failed = kConnectionFailedLine;
    const std::string socket = "\r\nERR: Socket creation failed! Error: #10024" + failed;
    const std::string select = "\r\nERR: WSAAsyncSelect-Error: #10022" + failed;
    const Row rows[] = {
        {Fails::Socket, socket, socket},
        {Fails::Select, select, select},
        {Fails::Lookup, "\r\nERR: Error resolving hostname!" + failed, ""},
        {Fails::ConnectCall, "\r\nERR: Connection Error: #10049" + failed, ""},
        {Fails::Refused, "\r\n=== Connection refused\r\n", ""},
        {Fails::TimedOut, "\r\n=== Connection timed out!\r\n", ""},
        {Fails::ConnectEvent, "\r\n=== Connection failed! (Error: #10065)\r\n", ""},
    };
    for (const Row& row : rows) {
      CAPTURE(static_cast<int>(row.fails));
      CoreWorld w;
      switch (row.fails) {
        case Fails::Socket: w.made = {false, OpenStage::Socket, 10024}; break;
        case Fails::Select: w.made = {false, OpenStage::Select, 10022}; break;
        case Fails::Lookup: w.lookup = true; break;
        case Fails::ConnectCall: w.connectError = 10049; break;
        default: break;
      }
      w.Connect(true);
      switch (row.fails) {
        case Fails::Lookup: w.Run(ev::LookupDone{11001}); break;
        case Fails::Refused: w.Run(ev::ConnectDone{kRefused}); break;
        case Fails::TimedOut: w.Run(ev::ConnectDone{kTimedOut}); break;
        case Fails::ConnectEvent: w.Run(ev::ConnectDone{10065}); break;
        default: break;
      }
      CHECK(w.core.idle());
      CHECK(w.closed);
      CHECK(w.viewPhase == Phase::Idle);
      CHECK(w.Since(std::string(CoreWorld::kBanner).size()) ==
            "\r\n=== Connecting to host:7 " + row.lines);
      REQUIRE(w.idleViewAt <= w.transcript.size());
      CHECK(w.Since(w.idleViewAt) == row.afterView);
      // Only an attempt the peer's side answered counts as failed.
      CHECK(w.core.counters().failed == (row.afterView.empty() && row.fails >= Fails::Refused));
      // An answer after the attempt was given up changes nothing.
      const std::string settled = w.transcript;
      w.Run(ev::LookupDone{});
      w.Run(ev::ConnectDone{});
      CHECK(w.transcript == settled);
    }
  }
}

TEST_CASE("posted socket events let a read put off behind the user's input wait") {
  CoreWorld w;
  w.OpenSession();
  // Paint waited: the read waits too only when something is left after the repaint.
  w.waitsAfterRepaint = false;
  w.unread.push_back("now");
  w.Run(ev::ReadReady{0, false, true});
  CHECK(w.repaints == 1);
  CHECK(w.core.counters().sessionIn == 3);
  w.waitsAfterRepaint = true;
  w.unread.push_back("later");
  w.Run(ev::ReadReady{0, false, true});
  CHECK(w.repaints == 2);
  CHECK(w.core.readDeferred());
  w.repaints = 0;
  // What every registration for socket events posts: nothing to do, so no reason to
  // read before the user's input. Nor is a step that came by its timer, or another read
  // event, which reads nothing and so paints nothing either.
  w.Run(ev::WriteReady{});
  w.Run(ev::ConnectDone{});
  w.Run(ev::DrawStep{});
  w.Tick(Timer::Step);
  w.Run(ev::ReadReady{0, true, true});
  CHECK(w.core.readDeferred());
  CHECK(w.repaints == 0);
  // A line waiting for room that gets it comes after the data.
  w.sendRoom = 0;
  w.SendLine("x");  // a user action: the put-off read goes first
  CHECK_FALSE(w.core.readDeferred());
  w.unread.push_back("more");
  w.Run(ev::ReadReady{0, true});
  w.sendRoom = -1;
  w.Run(ev::WriteReady{});
  CHECK_FALSE(w.core.readDeferred());
  CHECK(EndsWith(w.transcript, "more" + Echo("x")));
}

TEST_CASE("what a session left behind never acts on the next attempt") {
  CoreWorld w;
  w.OpenSession();
  w.Deliver("drawn");
  w.Deliver("early");  // a frame is due
  REQUIRE(w.timers.count(Timer::Frame) == 1);
  w.Run(ev::Disconnect{});
  w.Connect(true);
  REQUIRE(w.status == "Connecting ...");
  w.Tick(Timer::Frame);  // the frame of the ended session
  w.Run(ev::DrawStep{});
  w.Tick(Timer::SendWait);
  w.Tick(Timer::ReadResume);
  CHECK(w.status == "Connecting ...");
  CHECK(w.core.phase() == Phase::Connecting);
  // Events of the ended session's socket name another socket: the window layer drops
  // them. Events in the wrong phase do nothing either.
  w.Run(ev::PeerClosed{});
  w.Run(ev::ReadReady{0, true, true});
  CHECK(w.core.phase() == Phase::Connecting);
  CHECK(w.repaints == 0);
}

TEST_CASE("a close reads what is left, and the pane catches up in steps") {
  CoreWorld w;
  w.OpenSession();
  const size_t mark = w.transcript.size();
  w.unread.push_back(std::string(200000, 'x'));
  w.unread.push_back("tail");
  w.Run(ev::PeerClosed{});
  CHECK(w.core.idle());
  CHECK(w.core.counters().sessionIn == 200004);
  CHECK(w.Since(mark) == std::string(200000, 'x') + "tail" + kClosedLine);
  CHECK_FALSE(w.PaneCurrent());  // the pane may still be catching up...
  // ... by a step that came by its timer, behind the user's input...
  REQUIRE(std::exchange(w.stepPosted, false));
  w.timers.insert(Timer::Step);
  const size_t drawn = w.drawn;
  w.Tick(Timer::Step);
  CHECK(w.drawn > drawn);
  CHECK(w.timers.count(Timer::Step) == 0);
  w.Help();  // ... and what the user does comes after all of it
  w.Settle();
  CHECK(w.Since(mark) == std::string(200000, 'x') + "tail" + kClosedLine + kHelp);
  CHECK(w.PaneCurrent());
}

TEST_CASE("over UDP a reply shows right after the echo, a refused datagram ends the session") {
  // Windows fails the recv after a refusal, with a read event before it; Wine posts a
  // close event, and a recv after it may fail or find nothing.
  enum class Then { Nothing, ReadEvent, CloseEvent };
  struct Row {
    std::vector<std::string> replies;  // there when the line goes
    int refusal;                       // a recv that finds no datagram fails with it
    Then then;
    int closeError;
    std::string after;
  };
  const std::string refused = "\r\nERR: Receive Error code: #";
  const Row rows[] = {
      {{"pong", "two"}, 0, Then::Nothing, 0, Echo("ping") + "pongtwo"},
      {{}, 0, Then::ReadEvent, 0, Echo("ping")},  // a silent peer: nothing, the session stays
      {{"pong"}, 10054, Then::ReadEvent, 0, Echo("ping") + "pong" + refused + "10054"},
      {{}, 0, Then::CloseEvent, 0, Echo("ping") + refused + "10054"},
      {{}, 10061, Then::CloseEvent, 0, Echo("ping") + refused + "10061"},
      {{}, 10061, Then::CloseEvent, 10054, Echo("ping") + refused + "10054"},
  };
  for (const Row& row : rows) {
    CAPTURE(row.after);
    CoreWorld w;
    w.OpenSession(false);
    const size_t mark = w.transcript.size();
    for (const std::string& reply : row.replies) w.unread.push_back(reply);
    w.SendLine("ping");
    w.refusal = row.refusal;
    if (row.then == Then::ReadEvent) w.Run(ev::ReadReady{});
    if (row.then == Then::CloseEvent) w.Run(ev::PeerClosed{row.closeError});
    w.Settle();
    CHECK(w.Since(mark) == row.after);
    const bool ends = row.after.find(refused) != std::string::npos;
    CHECK(w.core.idle() == ends);
    CHECK(w.closed == ends);
    CHECK(w.viewPhase == (ends ? Phase::Idle : Phase::Connected));
    CHECK(w.PaneCurrent());
    size_t replied = 0;
    for (const std::string& reply : row.replies) replied += reply.size();
    CHECK(w.core.counters().sessionIn == static_cast<int64_t>(replied));
  }
}

TEST_CASE("without timers the core still ends what it started") {
  SUBCASE("a read that cannot wait for its timer is done at once") {
    CoreWorld w;
    w.OpenSession();
    w.unread.push_back("now");
    w.Run(ev::ReadReady{0, true});
    w.Run(ev::TimerRefused{Timer::ReadResume});
    CHECK(w.core.counters().sessionIn == 3);
    CHECK_FALSE(w.core.readDeferred());
  }
  SUBCASE("a line that cannot wait for room is given up, the session goes on") {
    CoreWorld w;
    w.OpenSession();
    w.sendRoom = 0;
    w.SendLine("abc");
    w.Run(ev::TimerRefused{Timer::SendWait});
    CHECK_FALSE(w.core.lineInFlight());
    CHECK(w.sendLine == "abc");
    CHECK(w.core.connected());
  }
  SUBCASE("a frame that cannot be scheduled is drawn at once") {
    CoreWorld w;
    w.OpenSession();
    w.Deliver("a");
    w.Deliver("b");
    REQUIRE_FALSE(w.PaneCurrent());
    w.Run(ev::TimerRefused{Timer::Frame});
    CHECK(w.PaneCurrent());
  }
}

TEST_CASE("the In counter catches up when the user's own output brought the pane up to date") {
  CoreWorld w;
  w.OpenSession();
  w.Deliver("drawn");
  w.Deliver("early");  // counted, waiting for its frame
  const int shownBefore = w.counterShows;
  w.Help();  // the help's append draws what waited first
  REQUIRE(w.PaneCurrent());
  w.Settle();  // the frame comes and finds nothing left to draw
  CHECK(w.counterShows > shownBefore);
  CHECK(w.status == "Ready");
}

TEST_CASE("before a user action every datagram that waited is read, a read event stops in time") {
  std::string waited;
  CoreWorld w;
  w.OpenSession(false);
  w.readCost = 1;  // a millisecond a datagram
  for (int n = 0; n < 30; ++n) w.unread.push_back("<" + std::to_string(n) + ">");
  for (const std::string& datagram : w.unread) waited += datagram;

  w.Run(ev::ReadReady{});  // a read event reads for its few milliseconds...
  const int64_t firstRead = w.core.counters().sessionIn;
  CHECK(firstRead > 0);
  CHECK(firstRead < static_cast<int64_t>(waited.size()));

  w.Run(ev::ReadReady{0, true});  // ... the next one is put off behind the user's key
  REQUIRE(w.core.readDeferred());
  const size_t mark = w.transcript.size() - static_cast<size_t>(firstRead);
  w.Help();  // all that waited comes before it
  CHECK(w.Since(mark) == waited + kHelp);
  CHECK(w.unread.empty());
}

TEST_CASE("a peer's close changes the view when the pane shows its line") {
  CoreWorld w;
  w.OpenSession();
  w.Deliver("drawn");
  w.unread.push_back("last");
  w.Run(ev::PeerClosed{});
  REQUIRE(w.core.idle());
  REQUIRE_FALSE(w.PaneCurrent());
  CHECK(w.viewPhase == Phase::Connected);
  SUBCASE("the view waits for the close line to be drawn") {
    w.Settle();
    CHECK(w.PaneCurrent());
    CHECK(w.viewPhase == Phase::Idle);
  }
  SUBCASE("an attempt started meanwhile keeps its own view") {
    w.Connect(true);
    w.Settle();
    CHECK(w.viewPhase == Phase::Opening);  // the connect is pending: dots, no idle view
    CHECK(w.core.phase() == Phase::Connecting);
  }
  SUBCASE("a connect refused for its port meanwhile leaves the view due") {
    w.Run(ev::Connect{"host", "0", true});
    w.Settle();
    CHECK(w.viewPhase == Phase::Idle);
  }
}

TEST_CASE("a send-wait tick queued before its timer stopped leaves the next line's wait alone") {
  CoreWorld w;
  w.OpenSession();
  w.sendRoom = 2;
  w.SendLine("one");     // part of it goes, the rest waits for room
  w.now += kSendWaitMs;  // its tick is due, and queued...
  w.sendRoom = -1;
  w.Run(ev::WriteReady{});  // ... when the rest goes and the timer is stopped
  REQUIRE_FALSE(w.core.lineInFlight());
  w.sendRoom = 1;
  w.SendLine("two");  // the next line waits too
  REQUIRE(w.timers.count(Timer::SendWait) == 1);
  w.Tick(Timer::SendWait);  // the old tick comes at last
  CHECK(w.core.connected());
  CHECK(w.core.lineInFlight());
  CHECK(w.timers.count(Timer::SendWait) == 1);
  w.now += kSendWaitMs;  // the line's own wait runs out
  w.Tick(Timer::SendWait);
  CHECK_FALSE(w.core.connected());  // part of it went: the session ends
}
