// Title, enabled controls and status parts 0 and 1 from the session's phase.
#pragma once

#include "rules/well_known_ports.h"

void RefreshConnectionView();

// Where a session stands, as far as the controls go. HalfByte: a Binary session
// whose send line ends with a digit still waiting for its partner.
enum class ControlPhase { Idle, Connecting, Connected, HalfByte };
struct EnabledControls {
  bool host, port, connect, disconnect, send;
};
// The one rule for which controls take input (pure; the clear button always does).
EnabledControls DecideEnabledControls(ControlPhase phase);
// Enables and disables the controls as DecideEnabledControls says.
void ApplyControlStates(ControlPhase phase);
