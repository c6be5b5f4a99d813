// The nine colour schemes of the output pane.
#pragma once

#include "app/app_state.h"

void CreateSchemeBrush();  // in WM_CREATE, right after LoadSettings
void DeleteSchemeBrush();  // in WM_DESTROY
void ApplyScheme(int index);  // new brush, whole pane repainted at once
HBRUSH OnOutputPaneColors(HDC dc);
