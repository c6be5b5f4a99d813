// The user's session commands: each reads the fields it needs once and hands the core
// its event; the core decides what comes of it.
#pragma once

// The target fields, with the protocol and mode chosen.
void ConnectCommand();
void DisconnectCommand();
// The send line as it stands.
void SendCommand();
