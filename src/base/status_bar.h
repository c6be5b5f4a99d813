// The status bar's parts: what the lower layers write into it, and their edges.
#pragma once

#include "base/app_state.h"

void SetStatusText(int part, const char* text);
// Right edges of the six parts, in client pixels.
void SetStatusParts(const int (&rightEdges)[6]);
