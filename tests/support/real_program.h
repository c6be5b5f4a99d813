// Runs the real telvane.exe as its own process, for what only a real start shows.
#pragma once

#include <windows.h>

#include <string>

struct ProgramRun {
  bool windowAppeared = false;
  std::string title;  // of the main window, just before it was closed
  bool ended = false;
  DWORD exitCode = 0;
};

// Starts exe with commandLine in workingFolder, waits (at most 20 s) for its main
// window, closes it with WM_CLOSE and waits (at most 20 s) for the process to end.
ProgramRun RunAndClose(const std::string& exe, std::string commandLine,
                       const std::string& workingFolder);
