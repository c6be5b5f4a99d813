// Floods Telvane's receive path from a loopback peer.
//
// Rate: a flood of N MB (10 by default) in one transfer mode, several times, each
// timed from the session's start until its last bytes are in the transcript (the
// trailer at the pane's end, the In counter at the full count). As the baseline, the
// same window reads the same flood with a subclass that takes every read event
// itself and throws the bytes away: the most a single-threaded window can take.
// With probes, one more flood runs while a timer ticks every 10 ms, another thread
// presses a key every 50 ms and a third asks the window to answer every 2 ms (the
// ping); the probes cost time of their own, so the rate is taken without them.
// One more flood of each kind counts the paints the window sends itself, from inside a
// read, apart from those the loop takes from the queue. It is not timed: under Wine the
// counting hook costs a call to the wineserver for every message sent.
//
// Closing burst: 64 MB that ends with the peer closing, timed until the close line
// is in the transcript, while another thread watches how long the window takes to
// answer. Its baseline throws the reads away as above and leaves the close to the
// window.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "benchmarks.h"

#include "shell/main_window.h"
#include "text/texts.h"

namespace {

constexpr double kFloodLimitSeconds = 120;
constexpr UINT kTickMs = 10;
constexpr UINT_PTR kTickTimerId = 0x7E57;
constexpr int kKeyEveryMs = 50;
constexpr WORD kProbeKey = VK_F24;  // a key nothing in the window reacts to
constexpr char kTrailer[] = "<<END>>\r\n";
constexpr char kClosedLine[] = "=== Connection closed by remote host";

// Text lines such as a chatty service sends: mostly printable, with a tab and
// escape bytes in each, which Advanced mode shows as escape sequences.
std::string TextPayload(size_t size) {
  std::string payload;
  payload.reserve(size + 128);
  char line[128];
  for (unsigned n = 0; payload.size() < size; ++n) {
    const int length = std::snprintf(line, sizeof line,
                                     "%08u the quick brown fox jumps over the lazy dog\t"
                                     "\x1b[1m0123456789\x1b[0m ABCDEFGHIJKLMN\r\n",
                                     n);
    payload.append(line, static_cast<size_t>(length));
  }
  payload.resize(size - (sizeof kTrailer - 1));
  payload += kTrailer;
  return payload;
}

// Any byte value (fixed seed): only Binary mode can show them all.
std::string RandomPayload(size_t size) {
  std::string payload(size - (sizeof kTrailer - 1), '\0');
  std::mt19937 generator(20240601);
  for (char& c : payload) c = static_cast<char>(generator() & 0xFF);
  payload += kTrailer;
  return payload;
}

std::string TrailerAsDump() {
  std::string dump;
  char group[4];
  for (const char* p = kTrailer; *p; ++p) {
    std::snprintf(group, sizeof group, "%02X ", static_cast<unsigned char>(*p));
    dump += group;
  }
  return dump;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The trailer is the last thing in the pane; a dump may have a read's line break
// anywhere inside it.
bool TrailerShown(TransferMode mode) {
  const std::string text = PaneText();
  if (mode != TransferMode::Binary) return EndsWith(text, kTrailer);
  std::string tail = text.substr(text.size() > 400 ? text.size() - 400 : 0);
  tail.erase(std::remove(tail.begin(), tail.end(), '\r'), tail.end());
  tail.erase(std::remove(tail.begin(), tail.end(), '\n'), tail.end());
  return EndsWith(tail, TrailerAsDump());
}

bool InCounterShows(int64_t count) {
  return StatusText(kStatusIn) == "In: " + std::to_string(count) + " bytes";
}

// --- baseline: the window's read events answered by a reader that keeps nothing ---

WNDPROC windowProc;
int64_t bytesDiscarded;

LRESULT CALLBACK DiscardingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const SOCKET socket = static_cast<SOCKET>(wParam);
  if (message == kSocketNotify && WSAGETSELECTEVENT(lParam) == FD_READ &&
      socket == app.network.sessionSocket) {
    static std::vector<char> sink(8 << 20);
    u_long pending = 0;
    if (ioctlsocket(socket, FIONREAD, &pending) == 0 && pending > 0) {
      const int n =
          recv(socket, sink.data(), static_cast<int>(std::min<u_long>(pending, sink.size())), 0);
      if (n > 0) bytesDiscarded += n;
    }
    return 0;
  }
  return CallWindowProcA(windowProc, window, message, wParam, lParam);
}

// --- probes: a timer and a key pressed from another thread ---

struct Probes {
  bool flooding = false;
  double pingP99 = 0, pingLongest = 0;
  double lastTick = 0;
  double longestTickGap = 0;
  std::atomic<double> keySent{0};
  double longestKeyWait = 0;
  int keys = 0;
};
Probes probes;

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
  const double now = Now();
  if (probes.flooding)
    probes.longestTickGap = std::max(probes.longestTickGap, now - probes.lastTick);
  probes.lastTick = now;
}

void NoteKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != kProbeKey) return;
  const double sent = probes.keySent.exchange(0);
  if (sent > 0 && probes.flooding) {
    probes.longestKeyWait = std::max(probes.longestKeyWait, Now() - sent);
    ++probes.keys;
  }
}

// Presses a key now and then from a thread of its own, as a typing user would.
class KeyPresser {
 public:
  KeyPresser() : thread_([this] { Run(); }) {}
  ~KeyPresser() {
    stop_ = true;
    thread_.join();
  }

 private:
  void Run() {
    while (!stop_) {
      Sleep(kKeyEveryMs);
      if (probes.keySent != 0) continue;  // the last one is still on its way
      probes.keySent = Now();
      keybd_event(kProbeKey, 0, 0, 0);
      keybd_event(kProbeKey, 0, KEYEVENTF_KEYUP, 0);
    }
  }
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// --- paints the window forces from inside its handlers (a paint it sends itself) ---

int sentPaints = 0;

LRESULT CALLBACK CountSentPaints(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && reinterpret_cast<const CWPSTRUCT*>(lParam)->message == WM_PAINT)
    ++sentPaints;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// --- one flood ---

struct Flood {
  bool complete = false;
  double seconds = 0;      // from the session's start to the last bytes shown
  double readSeconds = 0;  // ... to the last bytes read
  double longestMessage = 0;
  int sentPaints = 0;  // paints sent, not taken from the queue, during a counted flood
};

// Runs the window's message loop, timing each message, until the flood is in.
Flood RunFlood(TransferMode mode, const std::string& payload, bool baseline, bool probed,
               bool countPaints = false) {
  Flood flood;
  ClearTranscript();
  bytesDiscarded = 0;
  FloodPeer peer(payload, false);
  if (!peer.port() || !OpenSession(peer.port())) return flood;
  const int64_t total = static_cast<int64_t>(payload.size());
  const double start = Now();
  double sessionStart = 0;
  sentPaints = 0;
  HHOOK hook = countPaints ? SetWindowsHookExA(WH_CALLWNDPROC, CountSentPaints, nullptr,
                                               GetCurrentThreadId())
                           : nullptr;
  while (Now() - start < kFloodLimitSeconds) {
    const int64_t read = baseline ? bytesDiscarded : app.session.counters().sessionIn;
    if (sessionStart > 0 && read >= total) {
      const double now = Now();
      if (flood.readSeconds == 0) flood.readSeconds = now - sessionStart;
      if (baseline || (TrailerShown(mode) && InCounterShows(total))) {
        flood.seconds = now - sessionStart;
        flood.complete = read == total;
        probes.longestTickGap = std::max(probes.longestTickGap, now - probes.lastTick);
        break;
      }
    }
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
      continue;
    }
    const double before = Now();
    NoteKey(message);
    TranslateMessage(&message);
    const int sentBefore = sentPaints;
    DispatchMessageA(&message);
    if (message.message == WM_PAINT) sentPaints = sentBefore;  // taken from the queue
    const double after = Now();
    if (sessionStart > 0) flood.longestMessage = std::max(flood.longestMessage, after - before);
    if (sessionStart == 0 && app.session.connected()) {
      sessionStart = before;
      probes.flooding = probed;
      probes.lastTick = before;
    }
    if (sessionStart == 0 && !app.session.connecting() && !app.session.connected())
      break;  // no session
  }
  probes.flooding = false;
  if (hook) UnhookWindowsHookEx(hook);
  flood.sentPaints = sentPaints;
  CloseSession();
  return flood;
}

Flood ProbedFlood(TransferMode mode, const std::string& payload, bool countPaints = false) {
  probes.longestTickGap = 0;
  probes.keySent = 0;
  probes.longestKeyWait = 0;
  probes.keys = 0;
  SetForegroundWindow(app.controls.mainWindow);
  KeyPresser presser;
  SetTimer(app.controls.mainWindow, kTickTimerId, kTickMs, OnTick);
  AnswerWatch ping(app.controls.mainWindow);
  const Flood flood = RunFlood(mode, payload, false, true, countPaints);
  probes.pingLongest = ping.Finish();
  probes.pingP99 = ping.Percentile(0.99);
  KillTimer(app.controls.mainWindow, kTickTimerId);
  return flood;
}

const char* ModeName(TransferMode mode) {
  switch (mode) {
    case TransferMode::Ascii: return "ascii";
    case TransferMode::Advanced: return "advanced";
    case TransferMode::Binary: return "binary";
  }
  return "?";
}

}  // namespace

int RunReceiveRate(const BenchOptions& options) {
  SettingsFolder settings;
  const size_t size = static_cast<size_t>(options.megabytes > 0 ? options.megabytes : 10) << 20;
  const std::string payload =
      options.mode == TransferMode::Binary ? RandomPayload(size) : TextPayload(size);
  HWND window = OpenWindow(options.mode);
  if (!window) return 1;
  if (options.baseline)
    windowProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DiscardingProc)));
  const double memoryBefore = MemoryMegabytes(false);

  std::vector<double> shown, read;
  double longestMessage = 0;
  bool complete = true;
  for (int i = 0; i < std::max(1, options.floods); ++i) {
    const Flood flood = RunFlood(options.mode, payload, options.baseline, false);
    complete = complete && flood.complete;
    shown.push_back(flood.seconds);
    read.push_back(flood.readSeconds);
    longestMessage = std::max(longestMessage, flood.longestMessage);
  }
  const int sentPaints = RunFlood(options.mode, payload, options.baseline, false, true).sentPaints;
  Flood probed;
  int probedSentPaints = 0;
  if (options.probes && !options.baseline) {
    probedSentPaints = ProbedFlood(options.mode, payload, true).sentPaints;
    probed = ProbedFlood(options.mode, payload);
  }
  if (options.baseline)
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(windowProc));
  CloseBenchWindow(window);

  const double mb = static_cast<double>(size) / (1024.0 * 1024.0);
  std::string each;
  for (double seconds : shown)
    each += (each.empty() ? "" : ",") + std::to_string(static_cast<int>(seconds * 1000 + 0.5));
  Figures figures("rate");
  figures.Add("theme", options.theme)
      .Add("mode", ModeName(options.mode))
      .Add("receiver", options.baseline ? "baseline" : "telvane")
      .Add("complete", complete ? "yes" : "NO")
      .Add("mb", mb, 0)
      .Add("floods", static_cast<double>(shown.size()), 0)
      .Add("mbps", complete ? mb / Median(shown) : 0)
      .Add("read_mbps", complete ? mb / Median(read) : 0)
      .Add("each_ms", each.c_str())
      .Add("longest_ms", longestMessage * 1000.0)
      .Add("sent_paints", sentPaints, 0)
      .Add("peak_mb", MemoryMegabytes(true))
      .Add("before_mb", memoryBefore);
  if (options.probes && !options.baseline)
    figures.Add("probed_complete", probed.complete ? "yes" : "NO")
        .Add("probed_mbps", probed.complete ? mb / probed.seconds : 0)
        .Add("probed_longest_ms", probed.longestMessage * 1000.0)
        .Add("probed_sent_paints", probedSentPaints, 0)
        .Add("key_ms", probes.longestKeyWait * 1000.0)
        .Add("keys", probes.keys, 0)
        .Add("tick_ms", probes.longestTickGap * 1000.0)
        .Add("ping_p99_ms", probes.pingP99 * 1000.0)
        .Add("ping_ms", probes.pingLongest * 1000.0);
  figures.Print();
  return complete ? 0 : 1;
}

int RunClosingBurst(const BenchOptions& options) {
  SettingsFolder settings;
  const size_t size = static_cast<size_t>(options.megabytes > 0 ? options.megabytes : 64) << 20;
  const std::string payload = TextPayload(size);
  HWND window = OpenWindow(TransferMode::Ascii);
  if (!window) return 1;
  bytesDiscarded = 0;
  if (options.baseline)
    windowProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DiscardingProc)));
  FloodPeer peer(payload, true);
  double start = 0, closeHandled = 0, closeShown = 0, longestMessage = 0, longestAnswer = 0;
  if (peer.port() && OpenSession(peer.port())) {
    AnswerWatch watch(window);
    PumpUntil([] { return app.session.connected() || !app.session.connecting(); }, 10);
    start = Now();
    PumpUntil(
        [&] {
          if (app.session.connected()) return false;
          if (closeHandled == 0) closeHandled = Now();
          return PaneText().find(kClosedLine) != std::string::npos;
        },
        kFloodLimitSeconds, &longestMessage);
    closeShown = Now();
    longestAnswer = watch.Finish();
  }
  // The baseline's window still handles the close itself, with any bytes left unread.
  const int64_t bytesIn = app.session.counters().sessionIn + bytesDiscarded;
  const bool complete = closeHandled > 0 && bytesIn == static_cast<int64_t>(size) &&
                        PaneText().find(kClosedLine) != std::string::npos;
  CloseSession();
  if (options.baseline)
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(windowProc));
  CloseBenchWindow(window);

  Figures("burst")
      .Add("receiver", options.baseline ? "baseline" : "telvane")
      .Add("complete", complete ? "yes" : "NO")
      .Add("mb", static_cast<double>(size >> 20), 0)
      .Add("bytes_in", static_cast<double>(bytesIn), 0)
      .Add("close_shown_s", complete ? closeShown - start : 0, 3)
      .Add("close_handled_s", complete ? closeHandled - start : 0, 3)
      .Add("answer_ms", longestAnswer * 1000.0)
      .Add("longest_ms", longestMessage * 1000.0)
      .Print();
  return complete ? 0 : 1;
}
