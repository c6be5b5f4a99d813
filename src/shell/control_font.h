// The one font of the controls.
#pragma once

#include "base/app_state.h"

// controlFont (and controlFontFile, the private copy it may draw from), in WM_CREATE.
void CreateControlFont(Controls& controls);
