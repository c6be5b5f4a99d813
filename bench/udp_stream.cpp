// A UDP stream from a native peer (scripts/udp_peer.py): 50-byte datagrams, as fast as
// loopback takes them or at a pace, after one request datagram from the window. Every
// datagram that overflows the socket's buffer is lost, so the figure is how many of
// them reached the window: for Telvane, how many its transcript took (the In counter
// counts what was read, and every read goes to the transcript); for the baseline, how
// many the same window read when a subclass answers each read event by reading every
// waiting datagram and throwing it away. Telvane's shown datagrams are checked to be
// whole and in order. Another thread meanwhile asks the window to answer.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_support.h"
#include "benchmarks.h"

#include "session/session_runner.h"

namespace {

constexpr int kDatagramSize = 50;
// Nothing more came: the stream is over. Well past the longest single message seen (half a
// second with Wine's theme on), which reads nothing while it lasts.
constexpr double kQuietSeconds = 2;
constexpr double kStreamLimitSeconds = 60;

WNDPROC windowProc;
int64_t datagramsDiscarded;

LRESULT CALLBACK DatagramDiscardingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const SOCKET socket = static_cast<SOCKET>(wParam);
  if (message == kSocketNotify && WSAGETSELECTEVENT(lParam) == FD_READ &&
      socket == app.network.sessionSocket) {
    static char sink[65536];
    while (recv(socket, sink, sizeof sink, 0) >= 0) ++datagramsDiscarded;
    return 0;
  }
  return CallWindowProcA(windowProc, window, message, wParam, lParam);
}

bool OpenUdpSession(int port) {
  app.choices.useTcp = 0;
  return OpenSession(port) && AwaitSession(5);
}

// Whether the datagrams the pane shows are whole and in order ("%08u " numbers
// rising). In Binary mode each shows as a dump line of its own: its first eight
// groups are the number's digits.
bool ShownWholeAndInOrder(TransferMode mode) {
  const std::string text = PaneText();
  long last = -1;
  int seen = 0;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find("\r\n", at);
    if (end == std::string::npos) break;
    std::string line = text.substr(at, end - at);
    at = end + 2;
    if (mode == TransferMode::Binary) {
      if (line.size() != 3 * kDatagramSize) continue;
      std::string bytes;
      for (size_t i = 0; i + 2 < line.size(); i += 3)
        bytes += static_cast<char>(std::strtol(line.substr(i, 2).c_str(), nullptr, 16));
      line = bytes.substr(0, kDatagramSize - 2);
    }
    if (line.size() != kDatagramSize - 2 || line[8] != ' ') continue;
    const long number = std::strtol(line.substr(0, 8).c_str(), nullptr, 10);
    if (number <= last) return false;
    last = number;
    ++seen;
  }
  return seen > 0;
}

}  // namespace

int RunUdpStream(const BenchOptions& options) {
  if (options.port <= 0 || options.datagrams <= 0) {
    std::fprintf(stderr, "telvane_bench udp: --port and --datagrams are needed\n");
    return 2;
  }
  SettingsFolder settings;
  HWND window = OpenWindow(options.mode);
  if (!window) return 1;
  datagramsDiscarded = 0;
  if (options.baseline)
    windowProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DatagramDiscardingProc)));
  const bool open = OpenUdpSession(options.port);

  double longestMessage = 0, longestAnswer = 0, seconds = 0;
  if (open) {
    AnswerWatch watch(window);
    const auto received = [&] {
      return options.baseline ? datagramsDiscarded
                              : app.session.counters().sessionIn / kDatagramSize;
    };
    // The request goes past the send command: it is not what is measured.
    char request[64];
    std::snprintf(request, sizeof request, "stream %d %d", options.datagrams, options.pace);
    send(app.network.sessionSocket, request, static_cast<int>(std::strlen(request)), 0);
    const double start = Now();
    int64_t lastCount = 0;
    double lastChange = start;
    PumpUntil(
        [&] {
          const int64_t count = received();
          if (count != lastCount) {
            lastCount = count;
            lastChange = Now();
          }
          return count > 0 && Now() - lastChange > kQuietSeconds &&
                 (options.baseline || TranscriptUpToDate());
        },
        kStreamLimitSeconds, &longestMessage);
    seconds = lastChange - start;
    longestAnswer = watch.Finish();
  }
  const int64_t got =
      options.baseline ? datagramsDiscarded : app.session.counters().sessionIn / kDatagramSize;
  const bool whole = options.baseline || ShownWholeAndInOrder(options.mode);
  const bool exact = options.baseline || app.session.counters().sessionIn % kDatagramSize == 0;
  CloseSession();
  if (options.baseline)
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(windowProc));
  CloseBenchWindow(window);

  Figures("udp")
      .Add("receiver", options.baseline ? "baseline" : "telvane")
      .Add("mode", options.mode == TransferMode::Binary ? "binary" : "ascii")
      .Add("pace", static_cast<double>(options.pace), 0)
      .Add("sent", static_cast<double>(options.datagrams), 0)
      .Add("got", static_cast<double>(got), 0)
      .Add("share", 100.0 * static_cast<double>(got) / options.datagrams, 2)
      .Add("whole_in_order", whole && exact ? "yes" : "NO")
      .Add("seconds", seconds, 3)
      .Add("longest_ms", longestMessage * 1000.0)
      .Add("answer_ms", longestAnswer * 1000.0)
      .Print();
  return open ? 0 : 1;
}
