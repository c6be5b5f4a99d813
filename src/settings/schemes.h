// The nine colour schemes of the output pane.
#pragma once

#include "app/app_state.h"

struct SchemeColors {
  COLORREF text;
  COLORREF background;
};

// Scheme numbers 1..9 as the user sees them; schemeIndex holds the number - 1.
constexpr int kSchemeCount = 9;
extern const SchemeColors SchemeTable[kSchemeCount];

void CreateSchemeBrush();  // in WM_CREATE, right after LoadSettings
void DeleteSchemeBrush();  // in WM_DESTROY
// Makes index (0..8) the current scheme: new brush, whole pane repainted at once.
// Any other index changes nothing.
void ApplyScheme(int index);
HBRUSH OnOutputPaneColors(HDC dc);
