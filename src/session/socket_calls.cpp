#include "session/socket_calls.h"

#include <cstring>
#include <vector>

#include "view/output_pane.h"

namespace {

// Bytes of the largest datagram, and more than one stream read takes.
constexpr int kDatagramBytes = 65536;

// A datagram that finds the receive buffer full is lost. The usual default holds only
// a few milliseconds of a stream of small datagrams, less than one drawing of the pane
// takes; 4 MB kept 10,000 per second whole. The system may grant less.
constexpr int kDatagramReceiveBuffer = 4 << 20;

// Kept between reads: a fresh megabyte per read would cost page faults every time.
std::vector<char> readBuffer;

char* ReadBuffer() {
  if (readBuffer.empty()) readBuffer.resize(kMaxReadBytes + 1);
  return readBuffer.data();
}

// One read as the transcript shows it: a hex dump line of its own in Binary mode.
// count <= 0 is a read that found nothing.
void QueueRead(const char* bytes, int count) {
  if (IsBinaryMode())
    QueueHexDump(count > 0 ? bytes : "", count);
  else
    QueueReceivedText(count > 0 ? bytes : "", count);
}

bool HasUnreadData(SOCKET socket) {
  u_long pending = 0;
  return ioctlsocket(socket, FIONREAD, &pending) == 0 && pending > 0;
}

// A stream: one recv, or before a close every one until nothing is left.
void ReadStream(bool all, Event& done) {
  char* buffer = ReadBuffer();
  done.count = -1;
  for (;;) {
    const int received = recv(app.network.sessionSocket, buffer, kMaxReadBytes, 0);
    if (received > 0 || !all) QueueRead(buffer, received);
    if (received > 0) done.count = (done.count > 0 ? done.count : 0) + received;
    done.more = received > 0 && HasUnreadData(app.network.sessionSocket);
    if (!all || !done.more) return;
  }
}

// Datagrams: every one that waits, each as a read of its own, until the time is up.
// Winsock posts a new read event after every recv that leaves data waiting; those
// would pile up, each costing the loop a round trip for nothing, so socket events are
// off while this reads. Turned on again, a read event comes at once for what waits.
void ReadDatagrams(const Action& action, Event& done) {
  char* buffer = ReadBuffer();
  int datagrams = 0;
  done.count = -1;
  WSAAsyncSelect(app.network.sessionSocket, app.controls.mainWindow, kSocketNotify, FD_CLOSE);
  for (;;) {
    const int received = recv(app.network.sessionSocket, buffer, kDatagramBytes, 0);
    if (received < 0) break;  // none waits
    QueueRead(buffer, received);
    ++datagrams;
    done.count = (done.count > 0 ? done.count : 0) + received;
    if (action.purpose != ReadPurpose::BeforeClose && GetTickCount64() >= action.ms) {
      done.more = true;
      break;
    }
  }
  if (WSAAsyncSelect(app.network.sessionSocket, app.controls.mainWindow, kSocketNotify,
                     kSocketEvents) == SOCKET_ERROR)
    done.error = WSAGetLastError();
  // The read right after a send finds nothing yet: like any read it ends a dump line.
  // A read event that finds nothing had its datagrams taken by an earlier read.
  if (datagrams == 0 && action.purpose == ReadPurpose::AfterSend) QueueRead(buffer, -1);
}

// Only one socket exists at a time, and it is the one being closed, so every socket
// event still queued is stale. Socket handles are reused at once, so a stale event
// could otherwise name the socket of the next session.
void DiscardQueuedSocketEvents() {
  MSG message;
  while (PeekMessageA(&message, app.controls.mainWindow, kSocketNotify, kSocketNotify, PM_REMOVE)) {
  }
}

}  // namespace

Event OpenSessionSocket(bool tcp) {
  Event opened;
  opened.kind = EventKind::Opened;
  const SOCKET made = socket(AF_INET, tcp ? SOCK_STREAM : SOCK_DGRAM, 0);
  if (made == INVALID_SOCKET) {
    opened.ok = false;
    opened.stage = OpenStage::Socket;
    opened.error = WSAGetLastError();
    return opened;
  }
  app.network.sessionSocket = made;
  if (!tcp)
    setsockopt(made, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&kDatagramReceiveBuffer),
               sizeof kDatagramReceiveBuffer);
  if (WSAAsyncSelect(made, app.controls.mainWindow, kSocketNotify, kSocketEvents) == SOCKET_ERROR) {
    opened.ok = false;
    opened.stage = OpenStage::Select;
    opened.error = WSAGetLastError();
  }
  return opened;
}

Event LocateHost(const std::string& host) {
  Event located;
  located.kind = EventKind::Located;
  const unsigned long dotted = inet_addr(host.c_str());
  if (dotted != INADDR_NONE) {
    app.network.peerAddress = dotted;
    return located;
  }
  // 255.255.255.255, which inet_addr also answers with INADDR_NONE, is looked up too.
  located.more = true;
  app.network.lookupRequest =
      WSAAsyncGetHostByName(app.controls.mainWindow, kLookupDone, host.c_str(),
                            app.network.lookupBuffer, sizeof app.network.lookupBuffer);
  located.ok = app.network.lookupRequest != nullptr;
  return located;
}

bool TakeLookupAnswer(int error) {
  app.network.lookupRequest = nullptr;
  const hostent* record = reinterpret_cast<const hostent*>(app.network.lookupBuffer);
  if (error != 0 || record->h_addrtype != AF_INET || record->h_length != 4 ||
      !record->h_addr_list || !record->h_addr_list[0])
    return false;
  std::memcpy(&app.network.peerAddress, record->h_addr_list[0], sizeof app.network.peerAddress);
  return true;
}

Event ConnectSessionSocket(int port) {
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = app.network.peerAddress;
  Event called;
  called.kind = EventKind::Called;
  called.count = connect(app.network.sessionSocket, reinterpret_cast<const sockaddr*>(&address),
                         sizeof address);
  called.error = called.count == 0 ? 0 : WSAGetLastError();
  return called;
}

Event ReadSessionSocket(const Action& action) {
  Event done;
  done.kind = EventKind::ReadDone;
  done.purpose = action.purpose;
  if (action.tcp)
    ReadStream(action.purpose == ReadPurpose::BeforeClose, done);
  else
    ReadDatagrams(action, done);
  return done;
}

Event SendOnSessionSocket(const std::string& bytes) {
  Event done;
  done.kind = EventKind::SendDone;
  const int taken =
      send(app.network.sessionSocket, bytes.data(), static_cast<int>(bytes.size()), 0);
  if (taken > 0)
    done.count = taken;
  else
    done.error = taken == SOCKET_ERROR ? WSAGetLastError() : kWouldBlock;
  return done;
}

void CloseSessionSocket() {
  if (app.network.lookupRequest) WSACancelAsyncRequest(app.network.lookupRequest);
  app.network.lookupRequest = nullptr;
  if (app.network.sessionSocket != 0) closesocket(app.network.sessionSocket);
  app.network.sessionSocket = 0;
  DiscardQueuedSocketEvents();
}

bool IsSessionSocket(SOCKET socket) { return socket != 0 && socket == app.network.sessionSocket; }
