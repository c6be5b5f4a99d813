// The output pane's colours: the current scheme's brush and text colours.
#pragma once

#include "base/app_state.h"

void CreateSchemeBrush();  // in WM_CREATE, right after LoadSettings
void DeleteSchemeBrush();  // in WM_DESTROY
// Makes index (0..8) the current scheme: new brush, whole pane repainted at once.
// Any other index changes nothing.
void ApplyScheme(int index);
HBRUSH OnOutputPaneColors(HDC dc);
