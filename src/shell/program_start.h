// What the process entry reads of how it was started.
#pragma once

#include <windows.h>

// Show state the process was started with (STARTUPINFO, else SW_SHOWDEFAULT).
int StartupShowState();
