// Loopback peers that the transfer tests drive step by step.
#pragma once

#include <string>
#include <thread>

#include "support/peers.h"

// Accepts one TCP client and records what it sends. The test pushes bytes to the
// client when it chooses. A held server reads nothing until ReadAfter(); with a
// small receive buffer it then soon stops taking data, as a stalled peer does.
class ScriptedServer : public LoopbackPeer {
 public:
  explicit ScriptedServer(bool holdReading = false, int receiveBuffer = 0);
  ~ScriptedServer() override;

  bool Push(const std::string& bytes);       // sends from the calling thread
  void PushInBackground(std::string bytes);  // sends from a thread of its own
  void ReadAfter(int ms);                    // a held server starts reading then

 protected:
  void Serve() override;

 private:
  bool WaitClient();
  std::atomic<uintptr_t> client_{0};
  std::atomic<bool> held_;
  std::atomic<unsigned> readFrom_{0};  // tick count from which a held server reads
  std::thread pusher_;
};

// A UDP peer that records every datagram and answers only when the test pushes.
class UdpScriptedServer : public LoopbackPeer {
 public:
  UdpScriptedServer();
  ~UdpScriptedServer() override;
  bool Push(const std::string& bytes);  // one datagram to the last sender

 protected:
  void Serve() override;

 private:
  std::mutex senderMutex_;
  std::string sender_;  // its sockaddr, once a datagram came
};
