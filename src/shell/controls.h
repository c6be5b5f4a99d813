// Creation, geometry and tooltips of the main window's children.
#pragma once

#include "base/app_state.h"

void CreateControls(HWND window);
void LayoutControls(LPARAM sizeParam);
void SetMinimumTrackSize(MINMAXINFO* info);
// To the settings' default rectangle, before maximising.
void MoveToDefaultRectangle();
void RegisterToolTips();
// The fields are filled and selected while still zero pixels wide, which scrolls
// their text out of view; once they have a width, show them from the start.
void ScrollEntryFieldsHome();
