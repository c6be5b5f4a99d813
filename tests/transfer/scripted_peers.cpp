#include "transfer/scripted_peers.h"

#include <winsock2.h>

namespace {
constexpr int kPeerWaitMs = 10000;
SOCKET AsSocket(uintptr_t socket) { return static_cast<SOCKET>(socket); }
}  // namespace

ScriptedServer::ScriptedServer(bool holdReading, int receiveBuffer) : held_(holdReading) {
  Listen(true, 0, 4, receiveBuffer);
  Start();
}

ScriptedServer::~ScriptedServer() {
  // A push still under way ends when its socket shuts down.
  if (client_) shutdown(AsSocket(client_), SD_BOTH);
  if (pusher_.joinable()) pusher_.join();
  Stop();
  if (client_) CloseSocket(client_);
}

bool ScriptedServer::WaitClient() {
  for (int waited = 0; !client_ && waited < kPeerWaitMs; waited += 10) Sleep(10);
  return client_ != 0;
}

bool ScriptedServer::Push(const std::string& bytes) {
  return WaitClient() && SendAll(client_, bytes);
}

void ScriptedServer::PushInBackground(std::string bytes) {
  pusher_ = std::thread([this, bytes = std::move(bytes)] { Push(bytes); });
}

void ScriptedServer::ShutdownSending() {
  if (WaitClient()) shutdown(AsSocket(client_), SD_SEND);
}

void ScriptedServer::ReadAfter(int ms) {
  readFrom_ = GetTickCount() + static_cast<unsigned>(ms);
  held_ = false;
}

void ScriptedServer::Serve() {
  const uintptr_t client = AcceptClient(kPeerWaitMs);
  if (!client) return;
  client_ = client;
  while (!stop_ && (held_ || (readFrom_ && static_cast<int>(GetTickCount() - readFrom_) < 0)))
    Sleep(10);
  ReadClient(client, [](const std::string&) { return true; });
  done_ = true;
}
