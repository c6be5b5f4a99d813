#include "core/connect_rules.h"

#include <cstdlib>

#include "core/session_core.h"

int PortNumberOf(const std::string& typed) {
  // strtol saturates where atoi would overflow.
  const long number = std::strtol(typed.c_str(), nullptr, 10);
  return number >= 1 && number <= 0xFFFF ? static_cast<int>(number) : 0;
}

ConnectOutcome DecideConnectOutcome(int result, int code, bool tcp) {
  if (result == 0) return tcp ? ConnectOutcome::Established : ConnectOutcome::UdpReady;
  if (code == kWouldBlock) return ConnectOutcome::Pending;
  return ConnectOutcome::Failed;
}
