// What the process entry makes of its command line. Pure.
#pragma once

// Skips the program name of a process command line and the blanks after it.
const char* SkipProgramName(const char* commandLine);
