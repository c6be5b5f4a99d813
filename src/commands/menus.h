// The output pane's context menu and the transfer-mode menu of the status bar.
#pragma once

#include "base/app_state.h"

// Built when the output pane is subclassed; its items never change.
HMENU CreateOutputMenu();
// Right button released in the pane: lParam holds the position in pane coordinates.
void ShowOutputMenu(LPARAM position);
void OnOutputMenuCommand(int id);
// Radio mark on the current mode, anchored at the left edge of status part 2.
// Returns the chosen item's ID, or 0 when the menu was dismissed.
int ShowModeMenu();
