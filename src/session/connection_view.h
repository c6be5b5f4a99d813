// Title, enabled controls and status parts 0 and 1 from the connection state.
#pragma once

void RefreshConnectionView();
// Service name of a well-known port text ("80" -> "HTTP"), or null.
const char* ServiceNameForPort(const char* portText);
