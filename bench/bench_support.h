// Pieces the in-process benchmarks share: a clock, loopback peers, a watch on how
// long the window takes to answer, a timed message loop and the figures line.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "base/app_state.h"
#include "clock.h"

// Working set now, or its peak so far, in MB.
double MemoryMegabytes(bool peak);

// A listening socket on 127.0.0.1 (port 0 picks one); INVALID_SOCKET when it fails.
SOCKET ListenOnLoopback(int receiveBuffer = 0);
int PortOf(SOCKET socket);
// Waits up to seconds for a client; INVALID_SOCKET when none comes or stop is set.
SOCKET AcceptWithin(SOCKET listener, double seconds, const std::atomic<bool>& stop);
bool Readable(SOCKET socket, long microseconds);

// Accepts one client and sends it payload as fast as it takes it. Then either closes
// at once (closeAfter) or waits for the client to close first, so that the window
// sees no close of its own while the benchmark still watches the transcript.
class FloodPeer {
 public:
  FloodPeer(const std::string& payload, bool closeAfter);
  ~FloodPeer();
  int port() const { return port_; }
  int64_t sent() const { return sent_; }

 private:
  void Serve();
  const std::string& payload_;
  const bool closeAfter_;
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<int64_t> sent_{0};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// From another thread, asks the window every few milliseconds to answer an empty
// message and keeps the longest round trip: how long a user would wait for it.
class AnswerWatch {
 public:
  explicit AnswerWatch(HWND window);
  ~AnswerWatch() { Finish(); }
  // Stops asking, answers the question still on its way, returns the longest wait.
  double Finish();
  int answers() const { return answers_; }
  // After Finish: the wait that this share of the answers (0.99: all but one in a
  // hundred) took no longer than.
  double Percentile(double share) const;

 private:
  void Run();
  HWND window_;
  std::atomic<double> longest_{0};
  std::atomic<int> answers_{0};
  std::vector<double> waits_;  // written by the asking thread until it has finished
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::thread thread_;
};

// Handles the window's messages until done() holds or seconds pass; keeps the
// longest single dispatch. Returns whether done() held.
template <typename Done>
bool PumpUntil(Done done, double seconds, double* longestDispatch = nullptr);

// Handles what is queued now.
void DrainMessages();

// A fresh main window in mode, as WinMain makes it; null (and a word) when none.
HWND OpenWindow(TransferMode mode);
void CloseBenchWindow(HWND window);

// Opens a TCP session to 127.0.0.1:port through the connect command.
bool OpenSession(int port);
// Pumps until the session is open (or fails); returns whether it is.
bool AwaitSession(double seconds);
void CloseSession();
void ClearTranscript();

std::string PaneText();
std::string StatusText(int part);

// A temporary folder for the window's settings, so no settings file is left
// beside the benchmark; removed with its file by the destructor.
class SettingsFolder {
 public:
  SettingsFolder();
  ~SettingsFolder();

 private:
  std::string folder_;
};

// One line of figures for scripts/bench.sh: "@ name key=value ...".
class Figures {
 public:
  explicit Figures(const char* name);
  Figures& Add(const char* key, double value, int decimals = 1);
  Figures& Add(const char* key, const char* value);
  void Print();

 private:
  std::string line_;
};

template <typename Done>
bool PumpUntil(Done done, double seconds, double* longestDispatch) {
  const double start = Now();
  while (!done()) {
    if (Now() - start > seconds) return false;
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
      continue;
    }
    const double before = Now();
    TranslateMessage(&message);
    DispatchMessageA(&message);
    if (longestDispatch && Now() - before > *longestDispatch) *longestDispatch = Now() - before;
  }
  return true;
}
