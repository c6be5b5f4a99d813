// Times the start-up of window programs from outside: from just before CreateProcess
// until the program's first top-level window is visible, and until the program first
// waits for input (WaitForInputIdle: its first paint is done). Then it closes the
// window as a user would (WM_CLOSE) and waits for the process to end.
//
//   telvane_startup.exe [--runs N] program.exe ...
//
// Each program runs from a copy in a temporary folder of its own, so that whatever it
// writes beside itself (Telvane's settings file) goes away with the folder. After one
// unmeasured run of each, the programs take turns, N runs each (7 by default). Prints
// "@ startup program=NAME visible_ms=MEDIAN idle_ms=MEDIAN best_ms=MIN runs=N visible=ALL";
// on a shared machine the best run says most about the program itself.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "clock.h"

namespace {

constexpr double kGiveUpSeconds = 20;

BOOL CALLBACK TakeVisibleWindow(HWND window, LPARAM found) {
  if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

HWND VisibleWindowOf(DWORD threadId) {
  HWND found = nullptr;
  EnumThreadWindows(threadId, TakeVisibleWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

struct Program {
  std::string name;
  std::string folder;
  std::string copy;
  std::vector<double> visible;
  std::vector<double> idle;
};

bool Prepare(Program& program, const char* path, int index) {
  const char* slash = std::max(std::strrchr(path, '\\'), std::strrchr(path, '/'));
  const std::string file = slash ? slash + 1 : path;
  program.name = file.substr(0, file.rfind('.'));
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  program.folder = std::string(base) + "telvane-startup-" + std::to_string(GetCurrentProcessId()) +
                   "-" + std::to_string(index);
  program.copy = program.folder + "\\" + file;
  return CreateDirectoryA(program.folder.c_str(), nullptr) &&
         CopyFileA(path, program.copy.c_str(), FALSE);
}

void RemoveFolder(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileA((folder + "\\" + entry.cFileName).c_str());
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

// One start; false when the program showed no window in time.
bool TimeOneStart(Program& program, bool keep) {
  std::string commandLine = "\"" + program.copy + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  const double start = Now();
  if (!CreateProcessA(program.copy.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      program.folder.c_str(), &startup, &process))
    return false;
  HWND window = nullptr;
  double visible = 0, idle = 0;
  while (Now() - start < kGiveUpSeconds && (!window || idle == 0)) {
    if (!window && (window = VisibleWindowOf(process.dwThreadId))) visible = Now() - start;
    if (idle == 0 && WaitForInputIdle(process.hProcess, 0) == 0) idle = Now() - start;
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
    Sleep(1);
  }
  if (window) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
    TerminateProcess(process.hProcess, 99);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!window) return false;
  Sleep(300);  // lets the ended process finish leaving before the next start
  if (keep) {
    program.visible.push_back(visible);
    program.idle.push_back(idle);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 7;
  std::vector<Program> programs;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
      continue;
    }
    programs.emplace_back();
    if (!Prepare(programs.back(), argv[i], static_cast<int>(programs.size()))) {
      std::fprintf(stderr, "telvane_startup: cannot copy %s\n", argv[i]);
      return 1;
    }
  }
  if (programs.empty()) {
    std::fprintf(stderr, "usage: telvane_startup [--runs N] program.exe ...\n");
    return 2;
  }

  bool failed = false;
  for (int round = 0; round <= runs && !failed; ++round)
    for (Program& program : programs)
      if (!TimeOneStart(program, round > 0)) failed = true;  // round 0 only warms up

  for (Program& program : programs) {
    std::string all;
    for (double seconds : program.visible)
      all += (all.empty() ? "" : ",") + std::to_string(static_cast<int>(seconds * 1000 + 0.5));
    std::printf(
        "@ startup program=%s complete=%s visible_ms=%.1f idle_ms=%.1f best_ms=%.1f runs=%zu "
        "visible=%s\n",
        program.name.c_str(), failed ? "NO" : "yes", Median(program.visible) * 1000.0,
        Median(program.idle) * 1000.0,
        *std::min_element(program.visible.begin(), program.visible.end()) * 1000.0,
        program.visible.size(), all.c_str());
    RemoveFolder(program.folder);
  }
  return failed ? 1 : 0;
}
