#include "support/peers.h"

#include <winsock2.h>

namespace {

// Longest any peer waits for a client or for data before giving up on its own.
constexpr int kPeerWaitMs = 10000;
// How often a waiting peer looks whether it has been asked to stop.
constexpr int kStopCheckMs = 20;

SOCKET AsSocket(uintptr_t socket) { return static_cast<SOCKET>(socket); }

sockaddr_in LoopbackAddress(int port) {
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

int BoundPort(SOCKET socket) {
  sockaddr_in address = {};
  int size = sizeof address;
  if (getsockname(socket, reinterpret_cast<sockaddr*>(&address), &size) != 0) return 0;
  return ntohs(address.sin_port);
}

}  // namespace

LoopbackPeer::LoopbackPeer() {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
}

LoopbackPeer::~LoopbackPeer() {
  Stop();
  WSACleanup();
}

void LoopbackPeer::Listen(bool tcp, int port, int backlog, int receiveBuffer) {
  SOCKET socket = ::socket(AF_INET, tcp ? SOCK_STREAM : SOCK_DGRAM, 0);
  if (socket == INVALID_SOCKET) return;
  if (receiveBuffer > 0)
    setsockopt(socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer),
               sizeof receiveBuffer);
  const sockaddr_in address = LoopbackAddress(port);
  if (bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      (tcp && listen(socket, backlog) != 0)) {
    closesocket(socket);
    return;
  }
  listener_ = static_cast<uintptr_t>(socket);
  port_ = BoundPort(socket);
}

void LoopbackPeer::Start() {
  if (ok() && !thread_.joinable()) thread_ = std::thread([this] { Serve(); });
}

void LoopbackPeer::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listener_) CloseSocket(listener_);
  listener_ = 0;
}

std::string LoopbackPeer::Received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

void LoopbackPeer::Record(const char* data, int count) {
  std::lock_guard<std::mutex> lock(mutex_);
  received_.append(data, static_cast<size_t>(count));
}

bool LoopbackPeer::WaitReadable(uintptr_t socket, int timeoutMs) {
  for (int waited = 0; waited < timeoutMs && !stop_; waited += kStopCheckMs) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(AsSocket(socket), &readable);
    timeval slice = {0, kStopCheckMs * 1000};
    const int ready = select(0, &readable, nullptr, nullptr, &slice);
    if (ready > 0) return true;
    if (ready < 0) Sleep(kStopCheckMs);  // keep a failing select from spinning
  }
  return false;
}

uintptr_t LoopbackPeer::AcceptClient(int timeoutMs) {
  if (!WaitReadable(listener_, timeoutMs)) return 0;
  SOCKET client = accept(AsSocket(listener_), nullptr, nullptr);
  if (client == INVALID_SOCKET) return 0;
  ++accepted_;
  return static_cast<uintptr_t>(client);
}

bool LoopbackPeer::SendAll(uintptr_t socket, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const int n =
        send(AsSocket(socket), bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

void LoopbackPeer::CloseSocket(uintptr_t socket) { closesocket(AsSocket(socket)); }

TcpEchoServer::TcpEchoServer(int port) {
  Listen(true, port);
  Start();
}
TcpEchoServer::~TcpEchoServer() { Stop(); }

void LoopbackPeer::ReadClient(uintptr_t client,
                              const std::function<bool(const std::string&)>& onPiece) {
  char buffer[16384];
  while (WaitReadable(client, kPeerWaitMs)) {
    const int n = recv(AsSocket(client), buffer, sizeof buffer, 0);
    if (n <= 0) {
      clientClosed_ = true;
      return;
    }
    Record(buffer, n);
    if (!onPiece(std::string(buffer, static_cast<size_t>(n)))) return;
  }
}

void TcpEchoServer::Serve() {
  while (!stop_) {
    const uintptr_t client = AcceptClient(kPeerWaitMs);
    if (!client) continue;
    ReadClient(client, [&](const std::string& piece) { return SendAll(client, piece); });
    CloseSocket(client);
  }
}

OneShotServer::OneShotServer(std::string text, Ending ending, bool held)
    : text_(std::move(text)), ending_(ending), released_(!held) {
  Listen(true, 0);
}

void OneShotServer::Serve() {
  const uintptr_t client = AcceptClient(kPeerWaitMs);
  if (!client) return;
  for (int waited = 0; !released_ && !stop_ && waited < kPeerWaitMs; waited += kStopCheckMs)
    Sleep(kStopCheckMs);
  if (!text_.empty()) SendAll(client, text_);
  if (ending_ == Ending::Reset) {
    linger abort = {1, 0};
    setsockopt(AsSocket(client), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
               sizeof abort);
  }
  CloseSocket(client);
  done_ = true;
}

QueueFullServer::QueueFullServer() {
  // A backlog of 0 leaves room for one connection waiting to be accepted.
  Listen(true, 0, 0);
  if (!ok()) return;
  SOCKET filler = ::socket(AF_INET, SOCK_STREAM, 0);
  const sockaddr_in address = LoopbackAddress(port());
  if (filler != INVALID_SOCKET &&
      connect(filler, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
    filler_ = static_cast<uintptr_t>(filler);
  else if (filler != INVALID_SOCKET)
    closesocket(filler);
  Start();
}

QueueFullServer::~QueueFullServer() {
  Stop();
  if (filler_) CloseSocket(filler_);
}

void QueueFullServer::Serve() {
  for (int waited = 0; !released_ && !stop_ && waited < kPeerWaitMs; waited += kStopCheckMs)
    Sleep(kStopCheckMs);
  uintptr_t clients[8] = {};
  int count = 0;
  while (!stop_) {
    const uintptr_t client = AcceptClient(kPeerWaitMs);
    if (client && count < 8)
      clients[count++] = client;
    else if (client)
      CloseSocket(client);
  }
  for (int i = 0; i < count; ++i) CloseSocket(clients[i]);
}

UdpEchoServer::UdpEchoServer(bool held) : released_(!held) {
  Listen(false, 0);
  Start();
}
UdpEchoServer::~UdpEchoServer() { Stop(); }

void UdpEchoServer::Serve() {
  char buffer[65536];
  while (!stop_) {
    if (!WaitReadable(listener_, kPeerWaitMs)) continue;
    sockaddr_in from = {};
    int fromSize = sizeof from;
    const int n = recvfrom(AsSocket(listener_), buffer, sizeof buffer, 0,
                           reinterpret_cast<sockaddr*>(&from), &fromSize);
    if (n < 0) continue;
    Record(buffer, n);
    if (released_)
      sendto(AsSocket(listener_), buffer, n, 0, reinterpret_cast<const sockaddr*>(&from), fromSize);
  }
}

ClosedPort::ClosedPort() {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  SOCKET socket = ::socket(AF_INET, SOCK_STREAM, 0);
  if (socket == INVALID_SOCKET) return;
  const sockaddr_in address = LoopbackAddress(0);
  if (bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    closesocket(socket);
    return;
  }
  socket_ = static_cast<uintptr_t>(socket);
  port_ = BoundPort(socket);
}

ClosedPort::~ClosedPort() {
  if (socket_) closesocket(AsSocket(socket_));
  WSACleanup();
}
