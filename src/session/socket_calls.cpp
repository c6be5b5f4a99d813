#include "session/socket_calls.h"

#include <cstring>
#include <vector>

namespace {

// Bytes of the largest datagram: a recv into this many always takes one whole.
constexpr int kDatagramBytes = 65536;
// A datagram that finds the receive buffer full is lost. The usual default holds only
// a few milliseconds of a stream of small datagrams, less than one drawing of the pane
// takes; 4 MB kept 10,000 per second whole. The system may grant less.
constexpr int kDatagramReceiveBuffer = 4 << 20;

// Most bytes one stream read takes; the socket announces the rest with another event.
constexpr int kMaxReadBytes = 1 << 20;

// Kept between reads: a fresh megabyte per read would cost page faults every time.
std::vector<char> readBuffer;

char* ReadBuffer() {
  if (readBuffer.empty()) readBuffer.resize(kMaxReadBytes + 1);
  return readBuffer.data();
}

bool HasUnreadData(SOCKET socket) {
  u_long pending = 0;
  return ioctlsocket(socket, FIONREAD, &pending) == 0 && pending > 0;
}

// Only one socket exists at a time, and it is the one being closed, so every socket
// event still queued is stale. Socket handles are reused at once, so a stale event
// could otherwise name the socket of the next session.
void DiscardQueuedSocketEvents(HWND window) {
  MSG message;
  while (PeekMessageA(&message, window, kSocketNotify, kSocketNotify, PM_REMOVE)) {
  }
}

}  // namespace

ev::SocketMade MakeSessionSocket(Network& network, HWND window, bool tcp) {
  const SOCKET made = socket(AF_INET, tcp ? SOCK_STREAM : SOCK_DGRAM, 0);
  if (made == INVALID_SOCKET) return {false, OpenStage::Socket, WSAGetLastError()};
  network.sessionSocket = made;
  if (!tcp)
    setsockopt(made, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&kDatagramReceiveBuffer),
               sizeof kDatagramReceiveBuffer);
  if (WSAAsyncSelect(made, window, kSocketNotify, kSocketEvents) == SOCKET_ERROR)
    return {false, OpenStage::Select, WSAGetLastError()};
  return {};
}

ev::HostFound FindHost(Network& network, HWND window, const std::string& host) {
  using How = ev::HostFound::How;
  const unsigned long dotted = inet_addr(host.c_str());
  if (dotted != INADDR_NONE) {
    network.peerAddress = dotted;
    return {How::Known};
  }
  // 255.255.255.255, which inet_addr also answers with INADDR_NONE, is looked up too.
  network.lookupRequest = WSAAsyncGetHostByName(window, kLookupDone, host.c_str(),
                                                network.lookupBuffer, sizeof network.lookupBuffer);
  return {network.lookupRequest ? How::LookingUp : How::Failed};
}

bool TakeLookupAnswer(Network& network, int error) {
  network.lookupRequest = nullptr;
  const hostent* record = reinterpret_cast<const hostent*>(network.lookupBuffer);
  if (error != 0 || record->h_addrtype != AF_INET || record->h_length != 4 ||
      !record->h_addr_list || !record->h_addr_list[0])
    return false;
  std::memcpy(&network.peerAddress, record->h_addr_list[0], sizeof network.peerAddress);
  return true;
}

ev::ConnectCalled ConnectSessionSocket(const Network& network, int port) {
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = network.peerAddress;
  ev::ConnectCalled called;
  called.result =
      connect(network.sessionSocket, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  called.error = called.result == 0 ? 0 : WSAGetLastError();
  return called;
}

ev::ReadDone ReadSessionSocket(const Network& network, bool datagram) {
  char* buffer = ReadBuffer();
  ev::ReadDone done;
  done.received = recv(network.sessionSocket, buffer, datagram ? kDatagramBytes : kMaxReadBytes, 0);
  if (done.received > 0) done.bytes = std::string_view(buffer, static_cast<size_t>(done.received));
  if (done.received < 0) done.error = WSAGetLastError();
  done.more = !datagram && done.received > 0 && HasUnreadData(network.sessionSocket);
  return done;
}

int WatchReads(const Network& network, HWND window, bool on) {
  if (WSAAsyncSelect(network.sessionSocket, window, kSocketNotify, on ? kSocketEvents : FD_CLOSE) !=
      SOCKET_ERROR)
    return 0;
  return WSAGetLastError();
}

ev::SendDone SendOnSessionSocket(const Network& network, const std::string& bytes) {
  ev::SendDone done;
  const int taken = send(network.sessionSocket, bytes.data(), static_cast<int>(bytes.size()), 0);
  if (taken > 0)
    done.taken = taken;
  else
    done.error = taken == SOCKET_ERROR ? WSAGetLastError() : WSAEWOULDBLOCK;
  return done;
}

void CloseSessionSocket(Network& network, HWND window) {
  if (network.lookupRequest) WSACancelAsyncRequest(network.lookupRequest);
  network.lookupRequest = nullptr;
  if (network.sessionSocket != 0) closesocket(network.sessionSocket);
  network.sessionSocket = 0;
  DiscardQueuedSocketEvents(window);
}

bool IsSessionSocket(const Network& network, SOCKET socket) {
  return socket != 0 && socket == network.sessionSocket;
}
