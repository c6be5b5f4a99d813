#include "rules/simulation.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <optional>
#include <string_view>
#include <utility>

#include "core/session_driver.h"

namespace {

// splitmix64: the schedule's choices and the world's answers alike.
uint32_t SplitMix(uint64_t& state) {
  state += 0x9E3779B97F4A7C15ull;
  uint64_t z = state;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

using Kind = SimStep::Kind;

#define TELVANE_SIM_KIND(name, weight) {#name, weight},
constexpr struct {
  const char* name;
  uint32_t weight;
} kKinds[] = {TELVANE_SIM_KINDS(TELVANE_SIM_KIND)};
#undef TELVANE_SIM_KIND

// An event's or an action's name, as the compiler spells its type: a new one needs no table.
template <class Any>
std::string TypeName() {
  const std::string_view f = __PRETTY_FUNCTION__;
  const size_t from = f.find("Any = ") + 6;
  const std::string_view full = f.substr(from, f.find_first_of(";]", from) - from);
  return std::string(full.substr(full.rfind(':') + 1));
}

size_t Index(Timer timer) { return static_cast<size_t>(timer); }
std::string TimerName(Timer timer) { return std::string(" ") + RowOf(timer).name; }

constexpr int kReset = 10054;
constexpr Millis kSendWait = 3000;  // how long a line waits for room
constexpr Millis kFrame = 16;
constexpr size_t kReadCap = 4096;  // what one recv takes at most

// The program's texts for what the world makes happen.
constexpr char kEchoPrompt[] = "\r\n>>> ";
constexpr char kDot[] = ".";
constexpr char kDisconnected[] = "\r\n=== Disconnected\r\n";
constexpr char kSendError[] = "\r\nERR: Send Error #";
constexpr char kClosedByPeer[] = "\r\n=== Connection closed by remote host ( ";
constexpr char kReceiveError[] = "\r\nERR: Receive Error code: #";
constexpr char kSocketFailed[] = "\r\nERR: Socket creation failed! Error: #";
constexpr char kSelectFailed[] = "\r\nERR: WSAAsyncSelect-Error: #";

// Timers tick on the system's clock, every 15.625 ms: the first tick at or after t.
Millis OnClockTick(Millis t) {
  const Millis ticks = (t * 8 + 124) / 125;
  return (ticks * 125 + 7) / 8;
}

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

int CodeAfter(const std::string& text, std::string_view start) {
  return std::atoi(text.c_str() + start.size());
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text.substr(0, 48)) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
    out += c >= ' ' && c < 0x7F && c != '"' ? std::string(1, c) : hex;
  }
  out += "\"";
  return text.size() > 48 ? out + "... (" + std::to_string(text.size()) + " bytes)" : out;
}

// The world's own answers within a step, from the step's luck.
struct Luck {
  uint64_t state = 0;
  uint32_t Below(uint32_t n) { return SplitMix(state) % n; }
  bool OneIn(uint32_t n) { return Below(n) == 0; }
};

// --- The user: what is typed, and what a typed line puts on the wire.

std::string TypedLine(TransferMode mode, uint32_t arg) {
  // Ascii, Advanced, Binary.
  static const std::vector<const char*> kLines[] = {
      {"hi", "GET / HTTP/1.0", "a\tb", "", "x"},
      {"ping\\r\\n", "\\x41\\x00z", "\\\\", "", "bad\\q", "\\x4", "end\\"},
      {"41 42 0d 0a", "ff", "00 7F", "", "7", "zz", "4142"}};
  const std::vector<const char*>& lines = kLines[static_cast<int>(mode)];
  return lines[arg % lines.size()];
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const char lower = static_cast<char>(c | 0x20);
  return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// A byte from two hex digits at typed[at]; none when they are not both there.
std::optional<char> HexByte(const std::string& typed, size_t at) {
  if (at + 1 >= typed.size() || HexValue(typed[at]) < 0 || HexValue(typed[at + 1]) < 0)
    return std::nullopt;
  return static_cast<char>(HexValue(typed[at]) * 16 + HexValue(typed[at + 1]));
}

// ASCII: the line up to its first NUL, then CR LF. Advanced: the escapes \r \n \t \a \b
// \f \v \\ and \xHH, in either case, and nothing else after a backslash. Binary: a hex
// pair at every third character, single spaces between, whole pairs only.
bool EncodeTyped(TransferMode mode, const std::string& typed, std::string& bytes) {
  bytes.clear();
  switch (mode) {
    case TransferMode::Ascii:
      bytes = typed.c_str();
      bytes += "\r\n";
      return true;
    case TransferMode::Advanced:
      for (size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] != '\\') {
          bytes += typed[i];
          continue;
        }
        const char c = typed[i + 1];  // NUL at the end
        const char letter = c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c;
        const size_t simple = std::string_view("rntabfv\\").find(letter);
        const std::optional<char> hex = letter == 'x' ? HexByte(typed, i + 2) : std::nullopt;
        if (simple == std::string_view::npos && !hex) return false;
        bytes += hex ? *hex : "\r\n\t\a\b\f\v\\"[simple];
        i += hex ? 3 : 1;
      }
      return true;
    case TransferMode::Binary:
      if (typed.size() % 3 != 2) return false;
      for (size_t i = 0; i < typed.size(); i += 3) {
        const std::optional<char> byte = HexByte(typed, i);
        if (!byte || (i + 2 < typed.size() && typed[i + 2] != ' ')) return false;
        bytes += *byte;
      }
      return true;
  }
  return false;
}

// --- The network: how it answers an attempt, the socket, its peer and what it posts.

// Chosen when the user connects.
struct Answers {
  int socketError = 0;  // 0: the socket is made
  OpenStage stage = OpenStage::Socket;
  enum class Lookup { Dotted, Found, NotFound, Never, Fails } lookup = Lookup::Dotted;
  enum class Connect { AtOnce, Accepts, Refuses, TimesOut, Never, Fails } connect = Connect::AtOnce;
  long room = -1;  // bytes the socket takes before it has no room; -1: any
};

struct Socket {
  bool open = false;
  bool tcp = true;
  bool established = false;
  bool connectPending = false;
  std::string host, port;  // as the user typed them
  Answers answers;
  std::string stream;
  std::deque<uint64_t> streamStamps;  // when each byte arrived
  std::deque<std::pair<std::string, uint64_t>> datagrams;
  bool peerGone = false;
  int sendError = 0;
  bool blocked = false;
  bool watching = true;
  bool readNotified = false;      // a read event came and no recv since
  std::optional<int> readPosted;  // with the error it carries
  // The peer's host refused a datagram: the recv after those that came before fails
  // with it (Windows), or a close event comes, perhaps with such a recv after it (Wine).
  int refusal = 0;
  std::optional<int> refusalSaid;  // what the close event or the failed recv carried
  std::vector<int> codes;          // every error the socket reported
  bool writePosted = false;
  std::optional<int> closePosted, connectPosted, lookupPosted;

  bool HasData() const { return !stream.empty() || !datagrams.empty() || refusal != 0; }
  uint64_t OldestStamp() const {
    if (!streamStamps.empty()) return streamStamps.front();
    return datagrams.empty() ? UINT64_MAX : datagrams.front().second;
  }
  bool Gave(int code) const {
    return code != 0 && std::find(codes.begin(), codes.end(), code) != codes.end();
  }
};

// --- The checker's model of a line the core took, until it has gone whole or come back.
struct Line {
  TransferMode mode = TransferMode::Ascii;
  std::string typed, data;
  size_t sent = 0;
  std::optional<Millis> blockedAt;  // since when the socket had no room for it
  bool waitRefused = false;         // no timer could end its wait
  bool echoed = false;
  std::string echoLeft;  // of the echo, still to be written
  uint64_t wentAt = 0;   // when its first bytes went: 0, not yet
};

std::string SendErrorText(int error, size_t sent, size_t count) {
  std::string text = kSendError + std::to_string(error);
  if (sent == 0) return text;
  return text + " (only " + std::to_string(sent) + " of " + std::to_string(count) +
         " bytes were sent)";
}

// Idle, on the way, or open: what the view can tell apart.
int Shown(Phase phase) { return phase == Phase::Idle ? 0 : phase == Phase::Connected ? 2 : 1; }

class World final : public ActionPerformer {
 public:
  // Steps picked as the world goes (choices), or given (steps), which are skipped where
  // they no longer apply; then the world settles.
  static SimOutcome Play(ChoiceSource* choices, size_t length, const std::vector<SimStep>& steps,
                         std::string* trace);

 private:
  using Result = std::optional<Event>;

  explicit World(std::string* trace) : trace_(trace) {}
  Millis Now() override { return now_; }
  Result Perform(const Action& action) override;
  SimStep Pick(ChoiceSource& choices) const;
  bool Applies(Kind kind, uint32_t arg) const;
  void Apply(const SimStep& step);
  void Settle();

  void Break(const std::string& promise) {
    if (broken_.empty()) broken_ = promise;
  }
  void Run(const Event& event);
  // A posted message waits: the loop makes no timer tick until it has been handled.
  bool Posted() const {
    return sock_.readPosted || sock_.writePosted || sock_.closePosted || sock_.connectPosted ||
           sock_.lookupPosted || steps_ > 0;
  }
  bool Ticks(Timer t) const { return armed_[Index(t)] || stale_[Index(t)]; }
  int PhaseOfSocket() const { return !sock_.open ? 0 : sock_.established ? 2 : 1; }

  // The network: the socket's and the peer's answers to the core's actions.
  void Arrive(const std::string& bytes) {
    if (sock_.tcp) {
      sock_.stream += bytes;
      for (size_t i = 0; i < bytes.size(); ++i) sock_.streamStamps.push_back(++clock_);
    } else {
      sock_.datagrams.emplace_back(bytes, ++clock_);
    }
    if (sock_.watching) Notify();
  }
  // Winsock posts one read event, and no other until the socket has been read.
  void Notify() {
    if (sock_.readNotified) return;
    sock_.readNotified = true;
    sock_.readPosted = sock_.readPosted.value_or(0);
  }
  Result Do(const act::MakeSocket& a) {
    if (sock_.open) Break("a second socket while one is open");
    sock_ = Socket{};
    sock_.open = true;
    sock_.tcp = a.tcp;
    sock_.host = host_;
    sock_.port = port_;
    sock_.answers = answers_;
    owed_ = 0;
    if (a.tcp != tcp_) Break("the attempt has another protocol than the user chose");
    if (answers_.socketError != 0)
      return ev::SocketMade{false, answers_.stage, answers_.socketError};
    return ev::SocketMade{};
  }
  Result Do(const act::FindHost&) {
    using Lookup = Answers::Lookup;
    using How = ev::HostFound::How;
    if (!sock_.open) return Break("a lookup for no attempt"), std::nullopt;
    switch (sock_.answers.lookup) {
      case Lookup::Dotted: return ev::HostFound{How::Known};
      case Lookup::Found: sock_.lookupPosted = 0; break;
      case Lookup::NotFound: sock_.lookupPosted = 11001; break;
      case Lookup::Never: break;
      case Lookup::Fails: return ev::HostFound{How::Failed};
    }
    return ev::HostFound{How::LookingUp};
  }
  Result Do(const act::ConnectSocket&) {
    using Answer = Answers::Connect;
    if (!sock_.open) return Break("a connect for no attempt"), std::nullopt;
    const Answer answer = sock_.answers.connect;
    if (answer == Answer::Fails) return ev::ConnectCalled{-1, 10049};
    if (!sock_.tcp || answer == Answer::AtOnce) {
      sock_.established = true;
      sock_.writePosted = true;
      if (sock_.tcp) sock_.connectPosted = 0;  // comes anyway, and is ignored
      return ev::ConnectCalled{0, 0};
    }
    sock_.connectPending = true;
    if (answer == Answer::Accepts) sock_.connectPosted = 0;
    if (answer == Answer::Refuses) sock_.connectPosted = kRefused;
    if (answer == Answer::TimesOut) sock_.connectPosted = kTimedOut;
    return ev::ConnectCalled{-1, kWouldBlock};
  }
  Result Do(const act::Read& a) {
    ev::ReadDone done;
    if (!sock_.open || !sock_.established) return Break("a read of no session"), done;
    if (a.datagram == sock_.tcp) Break("a read of the other protocol");
    now_ += luck_.Below(3);
    sock_.readNotified = false;
    if (sock_.tcp) {
      const size_t taken = std::min(sock_.stream.size(), kReadCap);
      lastRead_ = sock_.stream.substr(0, taken);
      sock_.stream.erase(0, taken);
      if (taken > 0) newestRead_ = sock_.streamStamps[taken - 1];
      sock_.streamStamps.erase(sock_.streamStamps.begin(),
                               sock_.streamStamps.begin() + static_cast<long>(taken));
      done.received = taken > 0 ? static_cast<int>(taken) : sock_.peerGone ? 0 : -1;
      done.more = !sock_.stream.empty();
    } else if (!sock_.datagrams.empty()) {
      lastRead_ = sock_.datagrams.front().first;
      newestRead_ = sock_.datagrams.front().second;
      sock_.datagrams.pop_front();
      done.received = static_cast<int>(lastRead_.size());
    } else if (sock_.refusal != 0) {
      sock_.refusalSaid = done.error = std::exchange(sock_.refusal, 0);
      sock_.codes.push_back(done.error);
    }
    if (done.received < 0 && done.error == 0) done.error = kWouldBlock;
    done.bytes = lastRead_;
    if (done.received > 0) {
      readPending_ = true;
      in_ += done.received;
    }
    if (sock_.HasData() && sock_.watching) Notify();
    return done;
  }
  Result Do(const act::WatchReads& a) {
    if (!sock_.open || !sock_.established) return Break("a read of no session"), std::nullopt;
    sock_.watching = a.on;
    if (!a.on) return std::nullopt;
    sock_.readNotified = false;
    if (sock_.HasData()) Notify();
    const int error = luck_.OneIn(64) ? 10050 : 0;
    sock_.codes.push_back(error);
    return ev::ReadsWatched{error};
  }
  Result Do(const act::SendBytes& a) {
    if (!sock_.open || !sock_.established)
      return Break("a send on no session"), ev::SendDone{0, 10057};
    if (!line_ || a.bytes != line_->data.substr(line_->sent))
      return Break("sent what was not typed, or twice"), ev::SendDone{0, 10057};
    if (sock_.sendError != 0) return ev::SendDone{0, sock_.sendError};
    long& room = sock_.answers.room;
    // A datagram goes whole; a stream takes what it has room for.
    const size_t taken =
        room < 0 || !sock_.tcp ? a.bytes.size() : std::min(a.bytes.size(), size_t(room));
    if (taken == 0) {
      if (!line_->blockedAt) line_->blockedAt = now_;
      sock_.blocked = true;
      return ev::SendDone{0, kWouldBlock};
    }
    if (room >= 0) room -= static_cast<long>(taken);
    line_->sent += taken;
    out_ += static_cast<int64_t>(taken);
    if (line_->wentAt == 0) line_->wentAt = ++clock_;
    if (!sock_.peerGone && luck_.OneIn(3)) Arrive(sock_.tcp ? "re" : "");  // a quick answer
    return ev::SendDone{static_cast<int>(taken), 0};
  }
  Result Do(const act::CloseSocket&) {
    if (!sock_.open) return Break("a socket closed twice"), std::nullopt;
    if (!gone_ && sock_.OldestStamp() <= owed_)
      Break("what was delivered before the session ended was never shown");
    if (line_ && !gone_) Break("a line in flight vanished with its session");
    line_.reset();
    cutShort_ = false;
    closedInRun_ = true;
    sock_ = Socket{};  // the events it posted name a socket that is no more: the window drops them
    return std::nullopt;
  }

  // The window: the transcript, the pane's pace, the view, timers and steps.
  Result Do(const act::Append& a) {
    waiting_ = 0;  // an append brings the pane up to date first
    if (line_ && !line_->echoLeft.empty()) {
      if (line_->echoLeft.compare(0, a.text.size(), a.text) != 0)
        Break("the echo is not the line typed");
      else
        line_->echoLeft.erase(0, a.text.size());
    } else if (a.text == kEchoPrompt) {
      if (!line_ || line_->echoed)
        return Break(line_ ? "a line was echoed twice" : "an echo of no line"), std::nullopt;
      NothingOwed("an echo");
      line_->echoed = true;
      line_->echoLeft = line_->mode == TransferMode::Ascii ? line_->data : line_->typed + "\r\n";
    } else {
      Written(a.text);
    }
    return std::nullopt;
  }
  Result Do(const act::QueueLine& a) {
    if (StartsWith(a.text, kClosedByPeer)) viewMayLag_ = true;
    Written(a.text);
    waiting_ += a.text.size();
    return std::nullopt;
  }
  Result Do(const act::QueueRead& a) {
    waiting_ += a.count > 0 ? static_cast<size_t>(a.count) : 2;
    if (a.count <= 0) return std::nullopt;
    if (!readPending_) {
      Break("bytes shown that were not read, or twice");
    } else if (a.bytes.substr(0, static_cast<size_t>(a.count)) != lastRead_) {
      Break("the bytes shown are not those read");
    } else {
      readPending_ = false;
      if (line_ && line_->wentAt != 0 && !line_->echoed && newestRead_ > line_->wentAt)
        Break("an answer shows before the echo of the line it answers");
    }
    return std::nullopt;
  }
  Result Do(const act::Draw& a) {
    const size_t piece = std::min(a.chars, waiting_);
    waiting_ -= piece;
    const Micros cost = luck_.Below(20000);
    now_ += cost / 1000;
    return ev::Drawn{piece, cost, waiting_ > 0};
  }
  Result Do(const act::ShowView& a) {
    view_ = a;
    viewMayLag_ = false;
    return std::nullopt;
  }
  Result Do(const act::ShowCounters& a) {
    // A new attempt starts its session's counters at nothing.
    if (connecting_ && a.in == 0 && a.out == 0) in_ = out_ = 0;
    if (a.in != in_ || a.out != out_) Break("the counters shown are not the bytes read and sent");
    counters_ = a;
    return std::nullopt;
  }
  Result Do(const act::ShowActivity&) { return std::nullopt; }
  Result Do(const act::FocusSendLine&) { return std::nullopt; }
  Result Do(const act::ClearSendLine&) {
    const std::string typed = std::exchange(sendLine_, std::string());
    if (!sending_) return std::nullopt;
    if (line_) return Break("a second line while one is in flight"), std::nullopt;
    tookLine_ = true;
    Line line;
    line.mode = mode_;
    line.typed = typed;
    if (!EncodeTyped(mode_, typed, line.data)) Break("a line was taken that is no line");
    line_ = std::move(line);
    return std::nullopt;
  }
  Result Do(const act::RestoreLine& a) {
    if (!restorePending_ || !line_ || a.typed != line_->typed)
      return Break("a line came back that was not given up"), std::nullopt;
    restorePending_ = false;
    line_.reset();
    if (sendLine_.empty()) sendLine_ = a.typed;
    return std::nullopt;
  }
  Result Do(const act::RememberTarget&) { return std::nullopt; }
  Result Do(const act::ArmTimer& a) {
    if (luck_.OneIn(16)) {
      if (a.timer == Timer::SendWait && line_) line_->waitRefused = true;
      return ev::TimerRefused{a.timer};
    }
    const size_t t = Index(a.timer);
    armed_[t] = true;
    period_[t] = std::max<Millis>(a.wait, 10);  // USER_TIMER_MINIMUM
    due_[t] = OnClockTick(now_ + period_[t]);
    return std::nullopt;
  }
  // A tick already queued stays in the queue when its timer is killed.
  Result Do(const act::StopTimer& a) {
    const size_t t = Index(a.timer);
    if (armed_[t] && now_ >= due_[t] && luck_.OneIn(2)) stale_[t] = true;
    armed_[t] = false;
    return std::nullopt;
  }
  // A step is a posted message; where none can be posted, the step timer's tick.
  Result Do(const act::PostStep&) {
    if (!luck_.OneIn(16)) return ++steps_, std::nullopt;
    return luck_.OneIn(2) ? Result(ev::StepRefused{}) : Do(act::ArmTimer{Timer::Step, 0});
  }
  Result Do(const act::Repaint&) {
    if (!paintWaiting_) Break("a repaint while no paint waited");
    // Input that waited still does, and paint may be left.
    return ev::Repainted{inputWaiting_ || luck_.OneIn(4)};
  }

  SessionCore core_;
  SessionDriver driver_{core_};
  std::string* trace_;
  std::string broken_;
  size_t events_ = 0;
  Millis now_ = 1000;
  Luck luck_;

  // The user.
  bool gone_ = false;
  bool tcp_ = true;
  TransferMode mode_ = TransferMode::Ascii;
  std::string sendLine_;
  std::string host_, port_;  // typed at the last connect
  bool sending_ = false;     // an ev::Send is being handled
  bool connecting_ = false;  // an ev::Connect is being handled

  // The network.
  Answers answers_;  // for the attempt the user starts
  Socket sock_;
  uint64_t clock_ = 0;    // orders arrivals and the lines going out
  std::string lastRead_;  // what the last ReadDone's bytes point into

  // The window: the pane, the view, timers and steps.
  size_t waiting_ = 0;  // queued characters the pane does not show yet
  std::array<bool, kTimerCount> armed_{}, stale_{};
  std::array<Millis, kTimerCount> due_{}, period_{};  // a timer ticks when due, or later
  int steps_ = 0;                                     // posted draw steps
  act::ShowView view_;
  bool paintWaiting_ = false;  // the read event being handled said so
  bool inputWaiting_ = false;  // ... and this

  // The checker: what the user must see, from the world's own side.
  void Check();
  void Written(const std::string& text);
  void NothingOwed(const char* before) {
    if (sock_.OldestStamp() <= owed_)
      Break(std::string("what was delivered before ") + before + " was not shown before it");
  }
  // Bytes read show at once, and an echo comes whole: nothing else comes between (next:
  // the action to come, none when the event has been handled). A line sent and echoed is done.
  void Unfinished(const Action* next) {
    if (readPending_ && !(next && std::holds_alternative<act::QueueRead>(*next)))
      Break("bytes read were not shown at once");
    if (line_ && !line_->echoLeft.empty() && !(next && std::holds_alternative<act::Append>(*next)))
      Break("the echo of a line was cut short");
    if (line_ && line_->echoed && line_->echoLeft.empty() && line_->sent == line_->data.size())
      line_.reset();
  }

  std::optional<Line> line_;
  bool tookLine_ = false;  // by the ev::Send being handled
  bool restorePending_ = false;
  bool cutShort_ = false;       // the peer may hold part of a line: the session must end
  bool readPending_ = false;    // bytes read that are not shown yet
  uint64_t newestRead_ = 0;     // when the newest byte read arrived
  uint64_t owed_ = 0;           // bytes up to this stamp came with a read event the core had
  bool viewMayLag_ = false;     // a peer's close shows on the screen with its line
  bool closedInRun_ = false;    // the event being handled closed the socket
  act::ShowCounters counters_;  // the last shown
  int64_t in_ = 0, out_ = 0;
};

// What a replay's trace tells of an event or an action besides its name.
template <class Any>
std::string Detail(const Any&, long) {
  return std::string();
}
template <class Any>
auto Detail(const Any& any, int) -> decltype(TimerName(any.timer)) {
  return TimerName(any.timer);
}
template <class Any>
auto Detail(const Any& any, int) -> decltype(Quoted(any.text)) {
  return " " + Quoted(any.text);
}
std::string N(int64_t number) { return " " + std::to_string(number); }
std::string Detail(const ev::Send& e, int) { return " " + Quoted(e.typed); }
std::string Detail(const ev::ReadDone& e, int) { return N(e.received) + " more" + N(e.more); }
std::string Detail(const ev::SendDone& e, int) { return " taken" + N(e.taken) + N(e.error); }

template <class Variant>
std::string Text(const Variant& any) {
  return std::visit(
      [](const auto& e) { return TypeName<std::decay_t<decltype(e)>>() + Detail(e, 0); }, any);
}

bool World::Applies(Kind kind, uint32_t arg) const {
  if (gone_) return false;
  const bool talking = sock_.open && sock_.established;
  switch (kind) {
    case Kind::PeerSends:
    case Kind::PeerResets: return talking && !sock_.peerGone;
    case Kind::PeerCloses: return talking && sock_.tcp && !sock_.peerGone;
    case Kind::PeerDrains: return talking && sock_.tcp && sock_.answers.room >= 0;
    case Kind::DeliverRead: return sock_.readPosted.has_value();
    case Kind::DeliverWrite: return sock_.writePosted;
    case Kind::DeliverClose: return sock_.closePosted.has_value();
    case Kind::DeliverConnect: return sock_.connectPosted.has_value();
    case Kind::DeliverLookup: return sock_.lookupPosted.has_value();
    case Kind::DeliverStep: return steps_ > 0;
    case Kind::Tick:
      return !Posted() && armed_[arg % kTimerCount] && now_ >= due_[arg % kTimerCount];
    case Kind::StaleTick: return !Posted() && stale_[arg % kTimerCount];
    default: return true;
  }
}

void World::Run(const Event& event) {
  if (trace_) *trace_ += "  > " + Text(event) + "\n";
  ++events_;
  closedInRun_ = false;
  driver_.Run(event, *this);
  Check();
}

void World::Apply(const SimStep& step) {
  luck_ = Luck{step.luck};
  const uint32_t arg = step.arg;
  const size_t t = arg % kTimerCount;
  const bool wasOpen = sock_.open;
  switch (step.kind) {
    case Kind::Send: {
      if (sendLine_.empty() || arg % 3 != 0) sendLine_ = TypedLine(mode_, arg / 3);
      std::string data;
      const bool takes = PhaseOfSocket() == 2 && !line_ && !sendLine_.empty() &&
                         EncodeTyped(mode_, sendLine_, data);
      sending_ = true;
      Run(ev::Send{sendLine_});
      sending_ = false;
      const bool taken = std::exchange(tookLine_, false);
      if (taken ? !takes : takes && PhaseOfSocket() == 2)
        Break(takes ? "a line the session could send was not taken" : "a line was taken wrongly");
      break;
    }
    case Kind::Help:
    case Kind::SwitchProtocol:
    case Kind::Clear:
      if (step.kind == Kind::SwitchProtocol) tcp_ = arg % 2;
      Run(ev::OtherCommand{});
      waiting_ = 0;
      break;
    case Kind::Disconnect: Run(ev::Disconnect{}); break;
    case Kind::SwitchMode:
      mode_ = static_cast<TransferMode>(arg % 3);
      Run(ev::ModeSwitched{mode_});
      waiting_ = 0;
      break;
    case Kind::Connect: {
      static const char* const kPorts[] = {"7", "23",    "65535", " 80", "+9",
                                           "0", "65536", "x",     "",    "-5"};
      answers_ = Answers{};
      if (luck_.OneIn(16)) {
        answers_.socketError = 10024;
        answers_.stage = luck_.OneIn(2) ? OpenStage::Socket : OpenStage::Select;
      }
      answers_.lookup = static_cast<Answers::Lookup>(std::max(0, int(luck_.Below(8)) - 3));
      answers_.connect = static_cast<Answers::Connect>(std::max(0, int(luck_.Below(9)) - 3));
      answers_.room = luck_.OneIn(2) ? -1 : luck_.Below(12);
      host_ = arg / 16 % 2 ? "192.0.2.7" : "peer.example";
      port_ = kPorts[arg % 10];
      connecting_ = true;
      Run(ev::Connect{host_, port_, tcp_});
      connecting_ = false;
      break;
    }
    case Kind::CloseWindow:
      gone_ = true;
      Run(ev::WindowClosing{});
      break;
    case Kind::PeerSends: {
      // Now and then more than the pane takes in one piece.
      const size_t size = arg % 8 == 0 ? 2000 + arg % 6000 : arg % 24;
      std::string bytes(size + (sock_.tcp ? 1 : 0), '\0');
      const char kBytes[] = "ab\r\n\t\x1B\xFF\\ z";
      for (char& c : bytes) c = kBytes[luck_.Below(sizeof kBytes - 1)];
      Arrive(bytes);
      break;
    }
    case Kind::PeerDrains:
      sock_.answers.room += 1 + arg % 16;
      if (sock_.blocked) sock_.writePosted = true;
      sock_.blocked = false;
      break;
    case Kind::PeerCloses:  // a half-close leaves the peer reading what we send
      sock_.peerGone = true;
      if (arg % 2) sock_.sendError = 10053;
      sock_.closePosted = 0;
      break;
    case Kind::PeerResets:
      sock_.peerGone = true;
      sock_.sendError = kReset;
      if (!sock_.tcp) {
        if (arg % 2) {  // as Windows: a read event, and the recv fails
          sock_.refusal = kReset;
          if (sock_.watching) Notify();
        } else {  // as Wine: a close event
          sock_.closePosted = arg % 3 == 0 ? kRefused : 0;
          if (arg % 5 < 2) sock_.refusal = arg % 5 == 0 ? kRefused : kReset;
        }
        break;
      }
      if (arg % 2) {
        sock_.stream.clear();
        sock_.streamStamps.clear();
      }
      if (arg % 3 != 0)
        sock_.closePosted = kReset;
      else
        sock_.readPosted = kReset;
      if (sock_.blocked) sock_.writePosted = true;
      break;
    case Kind::DeliverRead: {
      const int error = *std::exchange(sock_.readPosted, {});
      if (error != 0) sock_.codes.push_back(error);
      // A timer that is due waits behind the read event, as the user's input may.
      bool timerDue = false;
      for (size_t i = 0; i < kTimerCount; ++i)
        timerDue = timerDue || (armed_[i] && now_ >= due_[i]);
      if (sock_.established && error == 0) {
        // This event is the core's to read what waits: at least one recv's worth.
        if (sock_.tcp && !sock_.streamStamps.empty())
          owed_ = sock_.streamStamps[std::min(sock_.stream.size(), kReadCap) - 1];
        else if (!sock_.datagrams.empty())
          owed_ = std::max(owed_, sock_.datagrams.front().second);
      }
      paintWaiting_ = arg / 2 % 2 != 0;
      inputWaiting_ = timerDue || arg % 2 != 0;
      Run(ev::ReadReady{error, inputWaiting_, paintWaiting_});
      paintWaiting_ = inputWaiting_ = false;
      break;
    }
    case Kind::DeliverWrite:
      sock_.writePosted = false;
      Run(ev::WriteReady{sock_.sendError && arg % 2 ? sock_.sendError : 0});
      break;
    case Kind::DeliverClose: {
      const int error = *std::exchange(sock_.closePosted, {});
      if (!sock_.tcp) sock_.refusalSaid = error;
      sock_.codes.push_back(error);
      Run(ev::PeerClosed{error});
      break;
    }
    case Kind::DeliverConnect: {
      const int error = *std::exchange(sock_.connectPosted, {});
      if (sock_.connectPending && error == 0) {
        sock_.established = true;
        sock_.writePosted = true;
      }
      sock_.connectPending = false;
      Run(ev::ConnectDone{error});
      break;
    }
    case Kind::DeliverLookup: Run(ev::LookupDone{*std::exchange(sock_.lookupPosted, {})}); break;
    case Kind::DeliverStep:
      --steps_;
      Run(ev::DrawStep{});
      break;
    case Kind::Tick:
      // Ticks missed meanwhile come as this one.
      due_[t] = OnClockTick(due_[t] + period_[t]);
      Run(ev::TimerFired{static_cast<Timer>(t)});
      break;
    case Kind::StaleTick:
      stale_[t] = false;
      Run(ev::TimerFired{static_cast<Timer>(t)});
      break;
    case Kind::Wait: now_ += arg % 16 == 0 ? kSendWait : 1 + arg % 40; break;
  }
  // What was delivered before the user's command shows before what the command does.
  const bool user = step.kind <= Kind::Connect;
  if (user && wasOpen && sock_.open) NothingOwed("the user's command");
}

void World::Settle() {
  // What was posted, in this order; then a stale tick; then the timer due first, but not
  // a pending connect's dots, which would tick for ever.
  const Kind posted[] = {Kind::DeliverClose,   Kind::DeliverRead,   Kind::DeliverWrite,
                         Kind::DeliverConnect, Kind::DeliverLookup, Kind::DeliverStep};
  for (uint32_t round = 0; round < 500 && !gone_ && broken_.empty(); ++round) {
    now_ += kFrame;
    SimStep next{Kind::Wait, 0, round};
    for (const Kind kind : posted)
      if (next.kind == Kind::Wait && Applies(kind, 0)) next.kind = kind;
    for (uint32_t t = 0; t < kTimerCount; ++t)
      if (next.kind == Kind::Wait && stale_[t]) next = {Kind::StaleTick, t, round};
    for (uint32_t t = 0; t < kTimerCount; ++t)
      if (armed_[t] && !(t == Index(Timer::Dots) && PhaseOfSocket() == 1) &&
          (next.kind == Kind::Wait || (next.kind == Kind::Tick && due_[t] < due_[next.arg])))
        next = {Kind::Tick, t, round};
    if (next.kind == Kind::Wait) break;
    if (next.kind == Kind::Tick) now_ = std::max(now_, due_[next.arg]);
    if (trace_) *trace_ += std::string("settle: ") + kKinds[int(next.kind)].name + "\n";
    Apply(next);
  }
  if (gone_ || !broken_.empty()) return;
  for (size_t t = 0; t < kTimerCount && !sock_.open; ++t)
    if (armed_[t] || stale_[t])
      Break(std::string("a timer runs on while idle: ") + kTimerRows[t].name);
  if (!sock_.open && steps_ != 0) Break("a draw step is left while idle");
  if (waiting_ != 0) Break("the pane never caught up");
  if (Shown(view_.phase) != PhaseOfSocket()) Break("the view never caught up");
  if (counters_.in != in_ || counters_.out != out_)
    Break("the counters shown are not the session's");
  if (line_) Break("a line stays in flight once things settle");
  if (PhaseOfSocket() == 2 && sock_.HasData()) Break("data the peer sent stays unread");
}

std::optional<Event> World::Perform(const Action& action) {
  if (trace_) *trace_ += "      " + Text(action) + "\n";
  Unfinished(&action);
  Result result = std::visit([this](const auto& any) { return Do(any); }, action);
  if (trace_ && result) *trace_ += "        -> " + Text(*result) + "\n";
  return result;
}

// --- The checker: after every event, what the world knows against what the core did.
void World::Check() {
  if (!broken_.empty()) return;
  Unfinished(nullptr);
  if (restorePending_) Break("a line given up did not come back");
  if (std::exchange(cutShort_, false)) Break("a line cut short leaves its session open");
  if (line_ && line_->sent == line_->data.size()) Break("a line went out whole without an echo");
  if (gone_) {
    if (sock_.open) Break("the window closed and the session stays");
    return;
  }
  if (sock_.open && sock_.refusalSaid) Break("a refused datagram leaves its session open");
  if (Shown(view_.phase) != PhaseOfSocket() && !viewMayLag_) Break("the view shows another phase");
  if (sock_.open && (view_.host != sock_.host || view_.port != sock_.port))
    Break("the view shows another target");
  // A read event the core has not answered with a recv: the data it told of waits.
  if (sock_.established && sock_.readNotified && !sock_.readPosted && sock_.watching &&
      sock_.HasData() && !Ticks(Timer::ReadResume))
    Break("a read put off waits for a timer that will not come");
  if (line_ && line_->blockedAt && !line_->waitRefused && !Ticks(Timer::SendWait))
    Break("a line waits for a timer that will not come");
  if (waiting_ > 0 && !armed_[Index(Timer::Frame)] && !Ticks(Timer::Step) && steps_ == 0)
    Break("the pane waits for a frame that will not come");
}

void World::Written(const std::string& text) {
  if (StartsWith(text, kSendError)) {
    if (!line_) return Break("a send error for no line");
    const int error = CodeAfter(text, kSendError);
    if (text != SendErrorText(error, line_->sent, line_->data.size()))
      Break("a send error says another count of bytes sent");
    const bool caused = error == kWouldBlock || error == sock_.sendError || error == kShutDown ||
                        error == kPeerDisconnect || sock_.Gave(error);
    if (!caused) Break("a send error names a cause the world did not give");
    if (error == kWouldBlock &&
        !(line_->blockedAt && (line_->waitRefused || now_ >= *line_->blockedAt + kSendWait)))
      Break("a line given up for want of room before it waited");
    restorePending_ = true;
    cutShort_ = line_->sent > 0;
    return;
  }
  // The user's disconnect and an attempt that could not set up its socket say so
  // once the view is idle and the socket gone.
  const bool setUp = StartsWith(text, kSocketFailed) || StartsWith(text, kSelectFailed);
  const bool afterView = text == kDisconnected || setUp;
  if (afterView && (Shown(view_.phase) != 0 || sock_.open || !closedInRun_))
    Break("an ending that says why after the view did so before");
  if (setUp && text != (answers_.stage == OpenStage::Socket ? kSocketFailed : kSelectFailed) +
                           std::to_string(answers_.socketError))
    Break("a socket that could not be set up is reported otherwise");
  if (text == kDisconnected) return;
  const bool closed = StartsWith(text, kClosedByPeer);
  if (closed || StartsWith(text, kReceiveError)) {
    if (!sock_.open) return Break("a session ended twice");
    if (closed && text != kClosedByPeer + sock_.host + " )\r\n")
      Break("a peer's close names another host");
    if (closed && !sock_.tcp) Break("a datagram socket's close shows as a peer's close");
    const int shown = CodeAfter(text, kReceiveError);
    // A refused datagram told of by a close event with no code, and no recv that failed:
    // 10054, as Windows.
    const bool unsaid = sock_.refusalSaid == 0 && shown == kReset;
    if (!closed &&
        (text != kReceiveError + std::to_string(shown) || !(sock_.Gave(shown) || unsaid)))
      Break("a receive error is reported with another code");
    // All a peer sent before it closed in order comes before its close.
    if (closed && sock_.HasData()) Break("the peer's last bytes were not shown before its close");
    return;
  }
  if (text == kDot && !(sock_.open && sock_.connectPending))
    Break("a dot while no connect is pending");
}

std::string Describe(const std::vector<SimStep>& steps) {
  std::string text;
  for (const SimStep& step : steps) {
    text += kKinds[static_cast<int>(step.kind)].name;
    if (step.kind == Kind::Tick || step.kind == Kind::StaleTick)
      text += TimerName(static_cast<Timer>(step.arg % kTimerCount));
    text += " arg=" + std::to_string(step.arg) + " luck=" + std::to_string(step.luck) + "\n";
  }
  return text;
}

SimStep World::Pick(ChoiceSource& choices) const {
  const auto weight = [&](size_t k) {
    const Kind kind = Kind(k);
    bool applies = Applies(kind, 0);
    for (uint32_t t = 1; t < kTimerCount && (kind == Kind::Tick || kind == Kind::StaleTick); ++t)
      applies = applies || Applies(kind, t);
    return !applies ? 0 : kind == Kind::Connect && !sock_.open ? 14 : kKinds[k].weight;
  };
  uint32_t total = 0;
  for (size_t k = 0; k < std::size(kKinds); ++k) total += weight(k);
  uint32_t pick = choices.Next() % total;
  size_t k = 0;
  while (pick >= weight(k)) pick -= weight(k++);
  SimStep step{Kind(k), choices.Next(), choices.Next()};
  while (!Applies(step.kind, step.arg)) ++step.arg;  // an armed timer
  return step;
}

SimOutcome World::Play(ChoiceSource* choices, size_t length, const std::vector<SimStep>& steps,
                       std::string* trace) {
  SimOutcome outcome;
  World world(trace);
  for (size_t i = 0; i < length && !world.gone_ && world.broken_.empty(); ++i) {
    if (choices && choices->Exhausted()) break;
    const SimStep step = choices ? world.Pick(*choices) : steps[i];
    if (!world.Applies(step.kind, step.arg)) continue;
    if (trace) *trace += Describe({step});
    outcome.steps.push_back(step);
    world.Apply(step);
  }
  world.Settle();
  outcome.events = world.events_;
  outcome.broken = world.broken_;
  return outcome;
}

}  // namespace

SimOutcome RunChoices(ChoiceSource& choices, size_t maxSteps) {
  return World::Play(&choices, 1 + choices.Next() % maxSteps, {}, nullptr);
}

SimOutcome Replay(const std::vector<SimStep>& steps, std::string* trace) {
  return World::Play(nullptr, steps.size(), steps, trace);
}

std::vector<SimStep> Shrink(std::vector<SimStep> steps) {
  const std::string promise = Replay(steps).broken;
  if (promise.empty()) return steps;
  for (size_t chunk = steps.size() / 2; chunk > 0; chunk /= 2) {
    for (size_t start = 0; start + chunk <= steps.size();) {
      std::vector<SimStep> rest = steps;
      rest.erase(rest.begin() + long(start), rest.begin() + long(start + chunk));
      if (Replay(rest).broken == promise)
        steps = std::move(rest);
      else
        start += chunk;
    }
  }
  return steps;
}

uint32_t SeededChoices::Next() { return SplitMix(state_); }

std::string Report(const SimOutcome& failed) {
  const std::vector<SimStep> shrunk = Shrink(failed.steps);
  std::string trace;
  const SimOutcome again = Replay(shrunk, &trace);
  return "promise broken: " + failed.broken + "\n" + std::to_string(shrunk.size()) + " steps (of " +
         std::to_string(failed.steps.size()) + "), replayed: " + again.broken + "\n" + trace;
}
