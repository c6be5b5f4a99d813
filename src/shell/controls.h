// Creation, geometry and tooltips of the main window's children.
#pragma once

#include "base/app_state.h"

// The font, the eight controls and the status bar of window, into controls.
void CreateControls(HWND window, Controls& controls);
// For a client area of the size WM_SIZE gives, kept in layout.
void LayoutControls(const Controls& controls, Layout& layout, LPARAM sizeParam);
void SetMinimumTrackSize(MINMAXINFO* info);
// To the settings' default rectangle, before maximising.
void MoveToDefaultRectangle(HWND window);
void RegisterToolTips(const Controls& controls);
// The fields are filled and selected while still zero pixels wide, which scrolls
// their text out of view; once they have a width, show them from the start.
void ScrollEntryFieldsHome(const Controls& controls);
