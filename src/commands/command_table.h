// The one way in for every command: keys, clicks, menus, the command line and the
// messages other programs may send all end here, each as its command.
#pragma once

#include "parse/command_parse.h"

// Runs command after what the network delivered before it. scheme: 1..9 with
// Command::Scheme.
void RunCommand(Command command, int scheme = 0);

#include "text/transfer_modes.h"

// The command that switches to mode.
Command CommandOfMode(TransferMode mode);
