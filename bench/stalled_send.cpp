// Sends to a peer that accepts and then reads nothing. Both socket buffers are
// small, so the window's socket is full after a few lines; the benchmark keeps
// typing lines and pressing Enter through the send command for a few seconds
// while another thread watches how long the window takes to answer. The baseline
// presses no button: it sends each line itself, once, and drops what the socket
// does not take.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "bench_support.h"
#include "benchmarks.h"

#include "shell/main_window.h"

namespace {

constexpr int kSmallBuffer = 4096;
constexpr double kEnterEverySeconds = 0.02;

// Accepts one client and holds it, unread, until destroyed.
class DeafPeer {
 public:
  DeafPeer() {
    listener_ = ListenOnLoopback(kSmallBuffer);
    if (listener_ != INVALID_SOCKET) port_ = PortOf(listener_);
    if (port_) thread_ = std::thread([this] { Serve(); });
  }
  ~DeafPeer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
  }
  int port() const { return port_; }

 private:
  void Serve() {
    SOCKET client = AcceptWithin(listener_, 10, stop_);
    if (client == INVALID_SOCKET) return;
    while (!stop_) Sleep(10);
    closesocket(client);
  }
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// What the baseline sent.
int64_t baselineOut = 0;

// The baseline's Enter: one send of the line, whatever the socket takes of it.
void SendWithoutWaiting(const std::string& text) {
  const std::string data = text + "\r\n";
  const int taken = send(app.network.sessionSocket, data.data(), static_cast<int>(data.size()), 0);
  if (taken > 0) baselineOut += taken;
}

}  // namespace

int RunStalledSend(const BenchOptions& options) {
  SettingsFolder settings;
  app = AppState{};
  HWND window = OpenWindow(TransferMode::Ascii);
  if (!window) return 1;
  DrainMessages();

  DeafPeer peer;
  int enters = 0;
  double longestAnswer = 0, longestMessage = 0, sessionSeconds = 0;
  const bool opened = peer.port() && OpenSession(peer.port()) && AwaitSession(10);
  if (opened) {
    const int buffer = kSmallBuffer;
    setsockopt(app.network.sessionSocket, SOL_SOCKET, SO_SNDBUF,
               reinterpret_cast<const char*>(&buffer), sizeof buffer);
    const std::string line(200, 'x');
    AnswerWatch watch(window);
    const double start = Now();
    double nextEnter = start;
    // Until the time is up, or the session ends (Enter would then run the line as a command).
    PumpUntil(
        [&] {
          const double now = Now();
          if (!app.session.connected() || now - start > options.seconds) return true;
          if (now >= nextEnter) {
            const std::string text = std::to_string(enters) + " " + line;
            if (options.baseline) {
              SendWithoutWaiting(text);
            } else {
              SetWindowTextA(app.controls.sendLine, text.c_str());
              SendMessageA(app.controls.mainWindow, WM_COMMAND, kSendButtonId, 0);
            }
            ++enters;
            nextEnter = Now() + kEnterEverySeconds;
            longestMessage = std::max(longestMessage, nextEnter - kEnterEverySeconds - now);
          }
          return false;
        },
        options.seconds + 30, &longestMessage);
    sessionSeconds = Now() - start;
    longestAnswer = watch.Finish();
  }
  const bool stillOpen = app.session.connected() != 0;
  const int64_t bytesOut = options.baseline ? baselineOut : app.session.counters().sessionOut;
  CloseSession();
  DestroyWindow(window);
  DrainMessages();

  Figures("stalled_send")
      .Add("receiver", options.baseline ? "baseline" : "telvane")
      .Add("complete", opened ? "yes" : "NO")
      .Add("seconds", sessionSeconds, 2)
      .Add("session", stillOpen ? "open" : "ended")
      .Add("enters", enters, 0)
      .Add("bytes_out", static_cast<double>(bytesOut), 0)
      .Add("answer_ms", longestAnswer * 1000.0)
      .Add("longest_ms", longestMessage * 1000.0)
      .Print();
  return opened ? 0 : 1;
}
