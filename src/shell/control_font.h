// The one font of the controls.
#pragma once

#include "base/app_state.h"

// True in a process that Wine runs (its ntdll exports wine_get_version).
bool RunsOnWine();

// controlFont, in WM_CREATE. copyFace: draw from a private copy of the face without its
// layout tables (controlFontFile), which only Wine needs; else the system's face as it is.
void CreateControlFont(Controls& controls, bool copyFace = RunsOnWine());
