// Loopback peers that the transfer tests drive step by step.
#pragma once

#include <string>
#include <thread>

#include "support/peers.h"

// Accepts one TCP client and records what it sends. The test pushes bytes to the
// client when it chooses. A held server reads nothing until ReadAfter(); with a
// small receive buffer it then soon stops taking data, as a stalled peer does.
class ScriptedServer final : public LoopbackPeer {
 public:
  explicit ScriptedServer(bool holdReading = false, int receiveBuffer = 0);
  ~ScriptedServer() override;

  bool Push(const std::string& bytes);       // sends from the calling thread
  void PushInBackground(std::string bytes);  // sends from a thread of its own
  void ReadAfter(int ms);                    // a held server starts reading then
  void ShutdownSending();                    // a close of its side alone (FIN)

 protected:
  void Serve() override;

 private:
  bool WaitClient();
  std::atomic<uintptr_t> client_{0};
  std::atomic<bool> held_;
  std::atomic<unsigned> readFrom_{0};  // tick count from which a held server reads
  std::thread pusher_;
};
