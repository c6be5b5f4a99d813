#include "session/connection.h"

#include <cstdlib>
#include <cstring>

#include "app/status_bar.h"
#include "app/texts.h"
#include "codec/output_pane.h"
#include "session/connection_view.h"
#include "session/counters.h"
#include "session/receiving.h"
#include "session/transfer.h"

namespace {

constexpr WORD kWinsockVersion = 0x0002;  // 2.0
constexpr char kInvalidPortLine[] = "\r\nERR: Invalid Port number!\r\n";
constexpr char kConnectionFailedLine[] = "\r\n=== Connection failed!\r\n";
constexpr char kEstablishedLine[] = "\r\n=== Connection successfully established!\r\n";
constexpr char kUdpReadyLine[] = "\r\n=== UDP ready.";
constexpr char kResolveErrorLine[] = "\r\nERR: Error resolving hostname!";
constexpr char kTimedOutLine[] = "\r\n=== Connection timed out!\r\n";
constexpr char kRefusedLine[] = "\r\n=== Connection refused\r\n";
constexpr char kDisconnectedLine[] = "\r\n=== Disconnected\r\n";

bool IsValidPort(int port) { return static_cast<unsigned>(port) - 1u <= 0xFFFEu; }

void RememberTarget() {
  GetWindowTextA(app.portField, app.lastPort, sizeof app.lastPort);
  GetWindowTextA(app.hostField, app.lastHost, sizeof app.lastHost);
}

// An attempt that ends before the peer could answer: its own line, then the common one.
// errorFormat takes the error code as %i, or no argument.
void FailAttempt(const char* errorFormat, int code = 0) {
  char line[64];
  wsprintfA(line, errorFormat, code);
  DropConnection(app.sessionSocket);
  AppendOutput(line);
  AppendOutput(kConnectionFailedLine);
  RefreshConnectionView();
}

void CompleteTcpConnect() {
  app.sessionBytesOut = 0;
  app.sessionBytesIn = 0;
  app.connecting = 0;
  AppendOutput(kEstablishedLine);
  app.connected = 1;
  RefreshConnectionView();
  ++app.connectionsSucceeded;
  RememberTarget();
}

void CompleteUdpConnect() {
  app.connecting = 0;
  app.connected = 1;
  RefreshConnectionView();
  ++app.connectionsSucceeded;
  AppendOutput(kUdpReadyLine);
  RememberTarget();
}

// Connects the session socket to ipv4:port; the outcome may come later, as FD_CONNECT.
void ConnectTo(unsigned long ipv4, int port) {
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = ipv4;
  const bool tcp = app.useTcp != 0;
  const int result =
      connect(app.sessionSocket, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  const int code = result == 0 ? 0 : WSAGetLastError();
  switch (DecideConnectOutcome(result, code, tcp)) {
    case ConnectOutcome::Pending: break;  // FD_CONNECT brings the outcome
    case ConnectOutcome::Established: CompleteTcpConnect(); break;  // its FD_CONNECT is ignored
    case ConnectOutcome::UdpReady: CompleteUdpConnect(); break;
    case ConnectOutcome::Failed: FailAttempt("\r\nERR: Connection Error: #%i", code); break;
  }
}

// Socket, event registration, address and connect for an attempt already shown as connecting.
void OpenSession(const char* host, int port) {
  const bool tcp = app.useTcp != 0;
  app.sessionSocket = socket(AF_INET, tcp ? SOCK_STREAM : SOCK_DGRAM, 0);
  if (app.sessionSocket == INVALID_SOCKET)
    return FailAttempt("\r\nERR: Socket creation failed! Error: #%i", WSAGetLastError());
  if (WSAAsyncSelect(app.sessionSocket, app.mainWindow, kSocketNotify, kSocketEvents) ==
      SOCKET_ERROR)
    return FailAttempt("\r\nERR: WSAAsyncSelect-Error: #%i", WSAGetLastError());
  const unsigned long dotted = inet_addr(host);
  if (dotted != INADDR_NONE) {
    ConnectTo(dotted, port);
    return;
  }
  // A name: looked up off the window's thread; OnLookupDone goes on from there.
  SetStatusText(kStatusActivity, kStatusResolving);
  app.lookupPort = port;
  app.lookupRequest = WSAAsyncGetHostByName(app.mainWindow, kLookupDone, host, app.lookupBuffer,
                                            sizeof app.lookupBuffer);
  if (!app.lookupRequest) FailAttempt(kResolveErrorLine);
}

void ShowClosedByPeer() {
  ShowReceivedData();
  char host[kHostTextSize];
  GetWindowTextA(app.hostField, host, sizeof host);
  char line[128];
  wsprintfA(line, "\r\n=== Connection closed by remote host ( %s )\r\n", host);
  AppendOutput(line);
  DropConnection(app.sessionSocket);
  RefreshConnectionView();
}

// Only one socket exists at a time, and it is the one being closed, so every
// socket event still queued is stale. Socket handles are reused at once, so a
// stale event could otherwise name the socket of the next session.
void DiscardQueuedSocketEvents() {
  MSG message;
  while (PeekMessageA(&message, app.mainWindow, kSocketNotify, kSocketNotify, PM_REMOVE)) {
  }
}

}  // namespace

ConnectOutcome DecideConnectOutcome(int result, int code, bool tcp) {
  if (result == 0) return tcp ? ConnectOutcome::Established : ConnectOutcome::UdpReady;
  if (code == WSAEWOULDBLOCK) return ConnectOutcome::Pending;
  return ConnectOutcome::Failed;
}

bool IsSessionSocket(SOCKET socket) { return socket != 0 && socket == app.sessionSocket; }

void DropConnection(SOCKET& session) {
  if (session != 0 && session != INVALID_SOCKET) closesocket(session);
  session = 0;
  app.connected = 0;
  app.connecting = 0;
  app.peerClosed = 0;
  KillTimer(app.mainWindow, kCloseStepTimerId);
  if (app.lookupRequest) WSACancelAsyncRequest(app.lookupRequest);
  app.lookupRequest = 0;
  ForgetDeferredRead();
  AbandonOutgoingLine();
  DiscardQueuedSocketEvents();
}

void StartWinsock() {
  const int result = WSAStartup(kWinsockVersion, &app.winsockInfo);
  if (result != 0) {
    char line[64];
    wsprintfA(line, "\r\nERR: Winsock initialization error #%i\r\n\r\n", result);
    AppendOutput(line);
  }
}

void StopWinsock() {
  // A pending attempt's socket is closed too, rather than left to WSACleanup.
  if (app.sessionSocket != 0) DropConnection(app.sessionSocket);
  WSACleanup();
}

void OnConnectCommand(WPARAM wParam) {
  // The controls that send it are disabled while connecting; a command sent
  // anyway must not open a second socket and lose the first.
  if (HIWORD(wParam) != 0 || app.connected || app.connecting) return;
  SetFocus(app.sendLine);
  app.sessionBytesIn = 0;
  app.sessionBytesOut = 0;
  ShowSessionBytesIn();
  ShowSessionBytesOut();
  if (IsBinaryMode()) SetWindowTextA(app.sendLine, "");

  char portText[kPortTextSize];
  GetWindowTextA(app.portField, portText, sizeof portText);
  const int port = std::atoi(portText);
  if (!IsValidPort(port)) {
    AppendOutput(kInvalidPortLine);
    return;
  }
  char host[kHostTextSize];
  GetWindowTextA(app.hostField, host, sizeof host);

  SetWindowTextA(app.mainWindow, kConnectingTitle);
  char line[128];
  wsprintfA(line, "\r\n=== Connecting to %s:%i ", host, port);
  SetStatusText(kStatusActivity, kStatusConnecting);
  AppendOutput(line);  // no line break: the timer's dots continue it

  app.connecting = 1;
  SetTimer(app.mainWindow, kConnectTimerId, kConnectTimerMs, nullptr);
  SetFocus(app.sendLine);
  ApplyControlStates(ControlPhase::Connecting);

  OpenSession(host, port);
}

void OnSocketConnect(SOCKET socket, int error) {
  if (!IsSessionSocket(socket) || app.connected) return;
  if (error == 0) {
    CompleteTcpConnect();
    return;
  }
  app.sessionBytesOut = 0;
  app.sessionBytesIn = 0;
  app.connecting = 0;
  char line[64];
  if (error == WSAETIMEDOUT)
    lstrcpyA(line, kTimedOutLine);
  else if (error == WSAECONNREFUSED)
    lstrcpyA(line, kRefusedLine);
  else
    wsprintfA(line, "\r\n=== Connection failed! (Error: #%i)\r\n", error);
  AppendOutput(line);
  DropConnection(app.sessionSocket);
  RefreshConnectionView();
  ++app.connectionsFailed;
}

// An orderly close and a reset read alike, so the error code is not examined.
// A peer that answers and closes at once can have its close reported before its
// data were read: those bytes are shown first, a piece per step, then the line.
void OnSocketClose(SOCKET socket, int) {
  if (!IsSessionSocket(socket) || !app.connected) return;
  app.peerClosed = 1;
  OnCloseStep();
}

void OnCloseStep() {
  KillTimer(app.mainWindow, kCloseStepTimerId);
  if (!app.connected || !app.peerClosed) return;
  // The user's input goes first; the timer comes after it.
  if (LoopHasWaitingMessages() &&
      SetTimer(app.mainWindow, kCloseStepTimerId, USER_TIMER_MINIMUM, nullptr))
    return;
  if (!HasUnreadData(app.sessionSocket)) {
    // All is read: what the pane has still to show goes first, a piece per step.
    if (!ShowReceivedPiece()) return ShowClosedByPeer();
  } else if (app.readResumeSocket) {
    ReadDeferredData();
  } else if (ReceivePending() <= 0) {
    return ShowClosedByPeer();  // what is there cannot be read
  }
  if (!PostMessageA(app.mainWindow, kCloseStep, 0, 0))
    SetTimer(app.mainWindow, kCloseStepTimerId, USER_TIMER_MINIMUM, nullptr);
}

void OnLookupDone(HANDLE request, int error) {
  if (!request || request != app.lookupRequest || !app.connecting) return;  // cancelled
  app.lookupRequest = 0;
  const hostent* record = reinterpret_cast<const hostent*>(app.lookupBuffer);
  if (error != 0 || record->h_addrtype != AF_INET || record->h_length != 4 ||
      !record->h_addr_list || !record->h_addr_list[0]) {
    FailAttempt(kResolveErrorLine);
    return;
  }
  unsigned long ipv4;
  std::memcpy(&ipv4, record->h_addr_list[0], sizeof ipv4);
  ConnectTo(ipv4, app.lookupPort);
}

void OnDisconnectCommand(WPARAM wParam) {
  SetFocus(app.sendLine);
  if (HIWORD(wParam) != 0 || !app.connected) return;
  ReadDeferredData();
  DropConnection(app.sessionSocket);
  RefreshConnectionView();
  AppendOutput(kDisconnectedLine);
}

void OnConnectTimer() {
  if (app.connecting)
    AppendOutput(".");
  else
    KillTimer(app.mainWindow, kConnectTimerId);
}
