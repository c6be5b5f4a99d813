#include "bench_support.h"

#include <algorithm>
#include <cstdio>

#include <commctrl.h>
#include <psapi.h>

#include "session/session_runner.h"
#include "settings/settings_file.h"
#include "shell/main_window.h"

namespace {
// Where the window believes it runs, while a SettingsFolder lives: its settings go there.
std::string benchExecutable;
}  // namespace

double MemoryMegabytes(bool peak) {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize) /
         (1024.0 * 1024.0);
}

SOCKET ListenOnLoopback(int receiveBuffer) {
  SOCKET listener = socket(AF_INET, SOCK_STREAM, 0);
  if (listener == INVALID_SOCKET) return listener;
  // Set before listen: an accepted socket takes its buffer sizes from the listener.
  if (receiveBuffer > 0)
    setsockopt(listener, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer),
               sizeof receiveBuffer);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener, 1) != 0) {
    closesocket(listener);
    return INVALID_SOCKET;
  }
  return listener;
}

int PortOf(SOCKET socket) {
  sockaddr_in address = {};
  int length = sizeof address;
  if (getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
  return ntohs(address.sin_port);
}

bool Readable(SOCKET socket, long microseconds) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(socket, &set);
  timeval wait{0, microseconds};
  return select(0, &set, nullptr, nullptr, &wait) == 1;
}

SOCKET AcceptWithin(SOCKET listener, double seconds, const std::atomic<bool>& stop) {
  const double start = Now();
  while (!stop && !Readable(listener, 100000))
    if (Now() - start > seconds) return INVALID_SOCKET;
  return stop ? INVALID_SOCKET : accept(listener, nullptr, nullptr);
}

FloodPeer::FloodPeer(const std::string& payload, bool closeAfter)
    : payload_(payload), closeAfter_(closeAfter) {
  listener_ = ListenOnLoopback();
  if (listener_ == INVALID_SOCKET) return;
  port_ = PortOf(listener_);
  if (port_) thread_ = std::thread([this] { Serve(); });
}

FloodPeer::~FloodPeer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listener_ != INVALID_SOCKET) closesocket(listener_);
}

void FloodPeer::Serve() {
  SOCKET client = AcceptWithin(listener_, 10, stop_);
  if (client == INVALID_SOCKET) return;
  size_t sent = 0;
  while (sent < payload_.size() && !stop_) {
    const int chunk = static_cast<int>(std::min<size_t>(64 * 1024, payload_.size() - sent));
    const int n = send(client, payload_.data() + sent, chunk, 0);
    if (n <= 0) break;
    sent += static_cast<size_t>(n);
    sent_ = static_cast<int64_t>(sent);
  }
  if (!closeAfter_) {
    char sink[512];
    while (!stop_)
      if (Readable(client, 100000) && recv(client, sink, sizeof sink, 0) <= 0) break;
  }
  closesocket(client);
}

AnswerWatch::AnswerWatch(HWND window) : window_(window), thread_([this] { Run(); }) {}

double AnswerWatch::Finish() {
  stop_ = true;
  // The last question may wait for the window thread, which is here: answer it.
  while (!finished_) {
    DrainMessages();
    Sleep(1);
  }
  if (thread_.joinable()) thread_.join();
  return longest_;
}

double AnswerWatch::Percentile(double share) const {
  if (waits_.empty()) return 0;
  std::vector<double> sorted = waits_;
  std::sort(sorted.begin(), sorted.end());
  const size_t index = static_cast<size_t>(share * static_cast<double>(sorted.size() - 1) + 0.5);
  return sorted[std::min(index, sorted.size() - 1)];
}

void AnswerWatch::Run() {
  constexpr UINT kAskEveryMs = 2;
  constexpr UINT kGiveUpMs = 30000;
  while (!stop_) {
    const double asked = Now();
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, kGiveUpMs, &result)) break;
    const double took = Now() - asked;
    if (took > longest_) longest_ = took;
    waits_.push_back(took);
    ++answers_;
    Sleep(kAskEveryMs);
  }
  finished_ = true;
}

void DrainMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

HWND OpenWindow(TransferMode mode) {
  app = AppState{};
  Surroundings surroundings;
  surroundings.executablePath = benchExecutable.empty() ? nullptr : benchExecutable.c_str();
  HWND window = CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOWNORMAL, surroundings);
  if (!window) std::fprintf(stderr, "telvane_bench: no window\n");
  RunSession(ev::ModeSwitched{mode});
  DrainMessages();
  return window;
}

void CloseBenchWindow(HWND window) {
  DestroyWindow(window);
  DrainMessages();
}

bool OpenSession(int port) {
  char portText[8];
  std::snprintf(portText, sizeof portText, "%d", port);
  SetWindowTextA(app.controls.hostField, "127.0.0.1");
  SetWindowTextA(app.controls.portField, portText);
  SendMessageA(app.controls.mainWindow, WM_COMMAND, kConnectButtonId, 0);
  return app.session.connected() || app.session.connecting();
}

bool AwaitSession(double seconds) {
  PumpUntil([] { return app.session.connected() || !app.session.connecting(); }, seconds);
  return app.session.connected() != 0;
}

void CloseSession() {
  if (app.session.connected())
    SendMessageA(app.controls.mainWindow, WM_COMMAND, kDisconnectButtonId, 0);
  DrainMessages();
}

void ClearTranscript() {
  SendMessageA(app.controls.mainWindow, WM_COMMAND, MAKEWPARAM(kClearButtonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(app.controls.clearButton));
  DrainMessages();
}

std::string PaneText() {
  const int length = GetWindowTextLengthA(app.controls.outputPane);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(app.controls.outputPane, &text[0], length + 1)));
  return text;
}

std::string StatusText(int part) {
  const LRESULT length = LOWORD(SendMessageA(app.controls.statusBar, SB_GETTEXTLENGTHA, part, 0));
  std::string text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(app.controls.statusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<size_t>(length));
  return text;
}

SettingsFolder::SettingsFolder() {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  for (int n = 0;; ++n) {
    folder_ = std::string(base) + "telvane-bench-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(n);
    if (CreateDirectoryA(folder_.c_str(), nullptr)) break;
  }
  benchExecutable = folder_ + "\\telvane.exe";
}

SettingsFolder::~SettingsFolder() {
  benchExecutable.clear();
  DeleteFileA((folder_ + "\\telvane.ini").c_str());
  RemoveDirectoryA(folder_.c_str());
}

Figures::Figures(const char* name) : line_(std::string("@ ") + name) {}

Figures& Figures::Add(const char* key, double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, " %s=%.*f", key, decimals, value);
  line_ += text;
  return *this;
}

Figures& Figures::Add(const char* key, const char* value) {
  line_ += std::string(" ") + key + "=" + value;
  return *this;
}

void Figures::Print() {
  std::printf("%s\n", line_.c_str());
  std::fflush(stdout);
}
