// What the connect command's port and the connect call mean. Pure.
#pragma once

#include <string>

// The port typed, as the number it reads as (leading blanks and a sign allowed, the
// digits up to the first other character); 0 when that is no port (1 to 65535).
int PortNumberOf(const std::string& typed);

// What a connect call means. Its result decides first: the error code is only
// meaningful when the call failed, since a successful call need not reset it.
enum class ConnectOutcome { Pending, Established, UdpReady, Failed };
ConnectOutcome DecideConnectOutcome(int result, int code, bool tcp);
