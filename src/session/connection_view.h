// Title, enabled controls and status parts 0 and 1 from the connection state.
#pragma once

#include "session/well_known_ports.h"

void RefreshConnectionView();
