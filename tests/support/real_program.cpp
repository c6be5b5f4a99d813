#include "support/real_program.h"

#include "support/harness.h"
#include "text/texts.h"

namespace {

constexpr int kWaitMs = 20000;

HWND MainWindowOf(DWORD processId) {
  return FindAnyWindow([processId](HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid == processId && ClassOf(window) == kAppTitle;
  });
}

}  // namespace

ProgramRun RunAndClose(const std::string& exe, std::string commandLine,
                       const std::string& workingFolder) {
  ProgramRun run;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      workingFolder.c_str(), &startup, &process))
    return run;

  HWND window = nullptr;
  run.windowAppeared =
      PumpUntil([&] { return (window = MainWindowOf(process.dwProcessId)); }, kWaitMs);
  if (run.windowAppeared) {
    run.title = WindowText(window);
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
  run.ended = WaitForSingleObject(process.hProcess, kWaitMs) == WAIT_OBJECT_0;
  if (!run.ended) TerminateProcess(process.hProcess, 99);
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}
