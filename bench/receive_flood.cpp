// Floods Telvane's receive path from a loopback peer and prints, for each transfer
// mode: how fast the bytes reach the transcript, how long the window went without
// handling a message, and the peak memory of the process.
//
//   telvane_bench.exe [ascii|advanced|binary ...] [--mb N]
//
// Each named mode (all three when none is named) gets a fresh window and two floods
// of N MB (10 by default): a plain one for the rate, and one during which a timer
// ticks every 10 ms and another thread presses a key every 50 ms, for the gaps. The
// probes cost the window time of their own, so the rate is taken without them. For
// the peak memory of one mode alone, run one mode per process (scripts/bench.sh does).
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"  // before psapi.h: it brings <windows.h>

#include <psapi.h>

#include "app/main_window.h"
#include "settings/settings_file.h"

namespace {

constexpr double kFloodLimitSeconds = 180;
constexpr UINT kTickMs = 10;
constexpr UINT_PTR kTickTimerId = 0x7E57;
constexpr int kKeyEveryMs = 50;
constexpr WORD kProbeKey = VK_F24;  // a key nothing in the window reacts to
constexpr char kTrailer[] = "<<END>>\r\n";

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / frequency;
}

// Text lines such as a chatty service sends: mostly printable, with a tab and
// escape bytes in each, which Advanced mode shows as escape sequences.
std::string FloodPayload(size_t size) {
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

// Accepts one client on 127.0.0.1, sends it the payload as fast as it takes it,
// then ends its sending side and waits for the client to close.
class FloodPeer {
 public:
  explicit FloodPeer(const std::string& payload) : payload_(payload) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 1) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      return;
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~FloodPeer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    closesocket(listener_);
  }
  int port() const { return port_; }

 private:
  bool Readable(SOCKET socket, long microseconds) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval wait{0, microseconds};
    return select(0, &set, nullptr, nullptr, &wait) == 1;
  }

  void Serve() {
    int waited = 0;
    while (!stop_ && !Readable(listener_, 100000))
      if (++waited > 100) return;
    SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) return;
    size_t sent = 0;
    while (sent < payload_.size() && !stop_) {
      const int chunk = static_cast<int>(std::min<size_t>(64 * 1024, payload_.size() - sent));
      const int n = send(client, payload_.data() + sent, chunk, 0);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
    shutdown(client, 1);  // SD_SEND
    char sink[512];
    while (!stop_)
      if (Readable(client, 100000) && recv(client, sink, sizeof sink, 0) <= 0) break;
    closesocket(client);
  }

  const std::string& payload_;
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
};

// What the probes saw of one flood.
struct Probes {
  bool flooding = false;
  double lastTick = 0;
  double longestTickGap = 0;
  std::atomic<double> keySent{0};
  double longestKeyWait = 0;
  int keys = 0;
};
Probes probes;

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
  const double now = Now();
  if (probes.flooding) probes.longestTickGap = std::max(probes.longestTickGap, now - probes.lastTick);
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

struct Flood {
  bool complete = false;
  int64_t bytesIn = 0;
  double seconds = 0;  // from the session's start to the last byte shown
  double longestMessage = 0;
  bool endShown = false;
};

bool OpenSession(int port) {
  char portText[8];
  std::snprintf(portText, sizeof portText, "%d", port);
  SetWindowTextA(app.hostField, "127.0.0.1");
  SetWindowTextA(app.portField, portText);
  SendMessageA(app.mainWindow, WM_COMMAND, kConnectButtonId, 0);
  return app.connected || app.connecting;
}

bool EndShown(TransferMode mode) {
  const int length = GetWindowTextLengthA(app.outputPane);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(app.outputPane, &text[0], length + 1)));
  const std::string end = mode == TransferMode::Binary ? "0D 0A \r\n" : kTrailer;
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Runs the window's message loop, timing each message, until the payload is in.
Flood RunFlood(TransferMode mode, const std::string& payload) {
  Flood flood;
  FloodPeer peer(payload);
  if (!peer.port() || !OpenSession(peer.port())) return flood;
  const int64_t total = static_cast<int64_t>(payload.size());
  const double start = Now();
  double sessionStart = 0;
  while (Now() - start < kFloodLimitSeconds) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      continue;
    }
    const double before = Now();
    NoteKey(message);
    TranslateMessage(&message);
    DispatchMessageA(&message);
    const double after = Now();
    if (probes.flooding) flood.longestMessage = std::max(flood.longestMessage, after - before);
    if (!probes.flooding && app.connected) {
      probes.flooding = true;
      probes.lastTick = sessionStart = before;
    }
    if (app.sessionBytesIn >= total) {
      flood.seconds = after - sessionStart;
      flood.complete = app.sessionBytesIn == total;
      probes.longestTickGap = std::max(probes.longestTickGap, after - probes.lastTick);
      break;
    }
    if (!app.connected && !app.connecting) break;  // the session ended early
  }
  probes.flooding = false;
  flood.bytesIn = app.sessionBytesIn;
  flood.endShown = EndShown(mode);
  SendMessageA(app.mainWindow, WM_COMMAND, kDisconnectButtonId, 0);
  return flood;
}

Flood PlainFlood(TransferMode mode, const std::string& payload) {
  probes.flooding = false;
  return RunFlood(mode, payload);
}

Flood ProbedFlood(TransferMode mode, const std::string& payload) {
  probes.flooding = false;
  probes.longestTickGap = 0;
  probes.keySent = 0;
  probes.longestKeyWait = 0;
  probes.keys = 0;
  SetForegroundWindow(app.mainWindow);
  KeyPresser presser;
  SetTimer(app.mainWindow, kTickTimerId, kTickMs, OnTick);
  const Flood flood = RunFlood(mode, payload);
  KillTimer(app.mainWindow, kTickTimerId);
  return flood;
}

// Working set now and its peak so far, in MB.
double MemoryMegabytes(bool peak) {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize) /
         (1024.0 * 1024.0);
}

const char* ModeName(TransferMode mode) {
  switch (mode) {
    case TransferMode::Ascii: return "ascii";
    case TransferMode::Advanced: return "advanced";
    case TransferMode::Binary: return "binary";
  }
  return "?";
}

std::string MakeTempFolder() {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  for (int n = 0;; ++n) {
    std::string folder = std::string(base) + "telvane-bench-" +
                         std::to_string(GetCurrentProcessId()) + "-" + std::to_string(n);
    if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
  }
}

void DrainMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// One mode in a fresh window; prints its line, returns whether both floods got in whole.
bool BenchMode(TransferMode mode, const std::string& payload) {
  app = AppState{};
  HWND window = CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
  if (!window) {
    std::fprintf(stderr, "telvane_bench: no window\n");
    return false;
  }
  SetTransferMode(mode);
  const double before = MemoryMegabytes(false);
  const Flood plain = PlainFlood(mode, payload);
  DrainMessages();
  const Flood probed = ProbedFlood(mode, payload);
  DestroyWindow(window);
  DrainMessages();

  const double mb = static_cast<double>(payload.size()) / (1024.0 * 1024.0);
  if (!plain.complete || !probed.complete) {
    std::printf("%-8s incomplete: %lld and %lld of %zu bytes counted\n", ModeName(mode),
                static_cast<long long>(plain.bytesIn), static_cast<long long>(probed.bytesIn),
                payload.size());
    return false;
  }
  std::printf("%-8s %4.0f MB in %5.3f s = %5.1f MB/s shown%s | longest message %5.1f ms | "
              "longest wait of a key %5.1f ms (%d keys), of a %u ms timer %5.1f ms "
              "(%5.1f MB/s with these probes) | peak memory %5.1f MB (%5.1f MB before)\n",
              ModeName(mode), mb, plain.seconds, mb / plain.seconds,
              plain.endShown && probed.endShown ? "" : " (END NOT SHOWN)",
              std::max(plain.longestMessage, probed.longestMessage) * 1000.0,
              probes.longestKeyWait * 1000.0, probes.keys, kTickMs,
              probes.longestTickGap * 1000.0, mb / probed.seconds, MemoryMegabytes(true), before);
  std::fflush(stdout);
  return plain.endShown && probed.endShown;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<TransferMode> modes;
  size_t megabytes = 10;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "ascii") modes.push_back(TransferMode::Ascii);
    else if (arg == "advanced") modes.push_back(TransferMode::Advanced);
    else if (arg == "binary") modes.push_back(TransferMode::Binary);
    else if (arg == "--mb" && i + 1 < argc) megabytes = std::strtoul(argv[++i], nullptr, 10);
    else {
      std::fprintf(stderr, "usage: telvane_bench [ascii|advanced|binary ...] [--mb N]\n");
      return 2;
    }
  }
  if (modes.empty()) modes = {TransferMode::Ascii, TransferMode::Advanced, TransferMode::Binary};
  if (megabytes == 0) megabytes = 1;

  WSADATA winsock;  // for the peer; the window starts Winsock for itself
  if (WSAStartup(0x0202, &winsock) != 0) return 1;
  // The window keeps its settings in a folder of its own, not beside this program.
  const std::string folder = MakeTempFolder();
  SetExecutablePathForTesting((folder + "\\telvane.exe").c_str());
  const std::string payload = FloodPayload(megabytes << 20);

  int failures = 0;
  for (TransferMode mode : modes)
    if (!BenchMode(mode, payload)) ++failures;

  SetExecutablePathForTesting(nullptr);
  DeleteFileA((folder + "\\telvane.ini").c_str());
  RemoveDirectoryA(folder.c_str());
  WSACleanup();
  return failures ? 1 : 0;
}
