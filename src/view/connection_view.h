// Title, enabled controls and status parts 0 and 1 from where the session stands.
#pragma once

#include <string>

#include "core/session_events.h"

// host and port as typed: the title of an open session names them. In a Binary
// session the send button follows the send line.
void ShowConnectionView(Phase phase, const std::string& host = std::string(),
                        const std::string& port = std::string(),
                        TransferMode mode = TransferMode::Ascii);
// A Binary session's send button: enabled exactly when the send line holds whole bytes,
// whatever last changed the line or the view.
void FollowHexLine();
// Its digits, counted as the hex entry counts them, make whole bytes.
bool SendLineHoldsWholeBytes();
// Status part 0, the activity: its one writer.
void ShowActivity(const char* text);

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
