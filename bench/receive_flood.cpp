// Floods Telvane's receive path from a loopback peer and prints, for each transfer
// mode: how fast the bytes reach the transcript, how long the window went without
// handling a message, and the peak memory of the process.
//
//   telvane_bench.exe [ascii|advanced|binary ...] [--mb N]
//
// Each named mode (all three when none is named) gets a fresh window and its own
// flood of N MB (10 by default). For a peak memory of one mode alone, run one mode
// per process (scripts/bench.sh does).
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

constexpr int kFloodLimitMs = 180000;
constexpr UINT kProbeTimerMs = 10;
constexpr UINT_PTR kProbeTimerId = 0x7E57;

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Text lines such as a chatty service sends: mostly printable, with a tab and an
// escape byte in each, which Advanced mode shows as escape sequences.
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
  payload.resize(size);
  return payload;
}

// Accepts one client on 127.0.0.1, sends it the payload as fast as it takes it,
// then closes.
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
  bool finished() const { return finished_; }

 private:
  void Serve() {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(listener_, &readable);
    timeval wait{10, 0};
    if (select(0, &readable, nullptr, nullptr, &wait) != 1) return;
    SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) return;
    size_t sent = 0;
    while (sent < payload_.size() && !stop_) {
      const int chunk = static_cast<int>(std::min<size_t>(64 * 1024, payload_.size() - sent));
      const int n = send(client, payload_.data() + sent, chunk, 0);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
    finished_ = true;
    shutdown(client, 1);  // SD_SEND: the client sees the end once it has read everything
    // Hold the connection until the client closes it or the run is over.
    char sink[512];
    timeval tick{0, 100000};
    while (!stop_) {
      fd_set set;
      FD_ZERO(&set);
      FD_SET(client, &set);
      if (select(0, &set, nullptr, nullptr, &tick) == 1 && recv(client, sink, sizeof sink, 0) <= 0)
        break;
    }
    closesocket(client);
  }

  const std::string& payload_;
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
};

struct Probe {
  double lastTick = 0;
  double longestTickGap = 0;
  bool flooding = false;
  // Key presses made by a thread of their own, as a typing user's would arrive.
  std::atomic<double> keySent{0};
  double longestKeyWait = 0;
  int keysSeen = 0;
};
Probe probe;
constexpr WORD kProbeKey = VK_F24;  // a key nothing in the window reacts to
constexpr int kKeyProbeMs = 50;

void NoteKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != kProbeKey) return;
  const double sent = probe.keySent.exchange(0);
  if (sent > 0 && probe.flooding) {
    probe.longestKeyWait = std::max(probe.longestKeyWait, Now() - sent);
    ++probe.keysSeen;
  }
}

class KeyProbe {
 public:
  KeyProbe() : thread_([this] { Run(); }) {}
  ~KeyProbe() {
    stop_ = true;
    thread_.join();
  }

 private:
  void Run() {
    while (!stop_) {
      Sleep(kKeyProbeMs);
      if (probe.keySent != 0) continue;  // the last one is still on its way
      probe.keySent = Now();
      keybd_event(kProbeKey, 0, 0, 0);
      keybd_event(kProbeKey, 0, KEYEVENTF_KEYUP, 0);
    }
  }
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

void CALLBACK OnProbeTick(HWND, UINT, UINT_PTR, DWORD) {
  const double now = Now();
  if (probe.flooding && probe.lastTick > 0)
    probe.longestTickGap = std::max(probe.longestTickGap, now - probe.lastTick);
  probe.lastTick = now;
}

struct Figures {
  bool complete = false;
  int64_t bytesIn = 0;
  double seconds = 0;
  double longestMessage = 0;
  double longestTickGap = 0;
  double longestKeyWait = 0;
  int keysSeen = 0;
  size_t transcriptChars = 0;
};

bool OpenSession(int port) {
  char portText[8];
  std::snprintf(portText, sizeof portText, "%d", port);
  SetWindowTextA(app.hostField, "127.0.0.1");
  SetWindowTextA(app.portField, portText);
  SendMessageA(app.mainWindow, WM_COMMAND, kConnectButtonId, 0);
  return app.connected || app.connecting;
}

Figures Flood(TransferMode mode, const std::string& payload) {
  Figures figures;
  SetTransferMode(mode);
  FloodPeer peer(payload);
  if (!peer.port() || !OpenSession(peer.port())) return figures;

  probe.lastTick = 0;
  probe.longestTickGap = 0;
  probe.flooding = false;
  probe.keySent = 0;
  probe.longestKeyWait = 0;
  probe.keysSeen = 0;
  SetForegroundWindow(app.mainWindow);
  SetFocus(app.sendLine);
  KeyProbe keys;
  if (!getenv("NOTIMER")) SetTimer(app.mainWindow, kProbeTimerId, kProbeTimerMs, OnProbeTick);
  const double start = Now();
  double floodStart = 0;
  const int64_t total = static_cast<int64_t>(payload.size());
  while (Now() - start < kFloodLimitMs / 1000.0) {
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
    if (probe.flooding) figures.longestMessage = std::max(figures.longestMessage, after - before);
    if (!probe.flooding && app.connected) {
      probe.flooding = true;
      floodStart = before;
      probe.lastTick = before;
    }
    if (app.sessionBytesIn >= total) {
      figures.seconds = after - floodStart;
      probe.longestTickGap = std::max(probe.longestTickGap, after - probe.lastTick);
      figures.complete = true;
      break;
    }
    if (!app.connected && !app.connecting) break;  // the session ended early
  }
  probe.flooding = false;
  KillTimer(app.mainWindow, kProbeTimerId);
  figures.bytesIn = app.sessionBytesIn;
  figures.longestTickGap = probe.longestTickGap;
  figures.longestKeyWait = probe.longestKeyWait;
  figures.keysSeen = probe.keysSeen;
  figures.transcriptChars = static_cast<size_t>(GetWindowTextLengthA(app.outputPane));
  SendMessageA(app.mainWindow, WM_COMMAND, kDisconnectButtonId, 0);
  return figures;
}

double PeakMegabytes() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
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

  WSADATA winsock;  // for the peer; the window starts Winsock for itself
  if (WSAStartup(0x0202, &winsock) != 0) return 1;
  // The window keeps its settings in a folder of its own, not beside this program.
  const std::string folder = MakeTempFolder();
  SetExecutablePathForTesting((folder + "\\telvane.exe").c_str());
  const std::string payload = FloodPayload(megabytes << 20);

  int failures = 0;
  for (TransferMode mode : modes) {
    app = AppState{};
    HWND window = CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    if (!window) {
      std::fprintf(stderr, "telvane_bench: no window\n");
      return 1;
    }
    const Figures f = Flood(mode, payload);
    const double mb = static_cast<double>(payload.size()) / (1024.0 * 1024.0);
    if (f.complete) {
      std::printf("%-8s %5.1f MB in %6.3f s = %7.1f MB/s shown | longest message %6.1f ms | "
                  "longest gap between %u ms timer ticks %6.1f ms | longest key wait %6.1f ms "
                  "(%d keys) | peak memory %6.1f MB\n",
                  ModeName(mode), mb, f.seconds, mb / f.seconds, f.longestMessage * 1000.0,
                  kProbeTimerMs, f.longestTickGap * 1000.0, f.longestKeyWait * 1000.0,
                  f.keysSeen, PeakMegabytes());
    } else {
      ++failures;
      std::printf("%-8s incomplete: %lld of %zu bytes counted\n", ModeName(mode),
                  static_cast<long long>(f.bytesIn), payload.size());
    }
    std::fflush(stdout);
    DestroyWindow(window);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  SetExecutablePathForTesting(nullptr);
  DeleteFileA((folder + "\\telvane.ini").c_str());
  RemoveDirectoryA(folder.c_str());
  WSACleanup();
  return failures ? 1 : 0;
}
