// The transcript lines of the session, each written once. Pure.
#pragma once

// Formats take their numbers as %d and texts as %s (snprintf).
constexpr char kInvalidPortLine[] = "\r\nERR: Invalid Port number!\r\n";
constexpr char kConnectingFormat[] = "\r\n=== Connecting to %s:%d ";
constexpr char kConnectDot[] = ".";
constexpr char kConnectionFailedLine[] = "\r\n=== Connection failed!\r\n";
constexpr char kEstablishedLine[] = "\r\n=== Connection successfully established!\r\n";
constexpr char kUdpReadyLine[] = "\r\n=== UDP ready.";
constexpr char kSocketFailedFormat[] = "\r\nERR: Socket creation failed! Error: #%d";
constexpr char kSelectFailedFormat[] = "\r\nERR: WSAAsyncSelect-Error: #%d";
constexpr char kResolveErrorLine[] = "\r\nERR: Error resolving hostname!";
constexpr char kConnectErrorFormat[] = "\r\nERR: Connection Error: #%d";
constexpr char kTimedOutLine[] = "\r\n=== Connection timed out!\r\n";
constexpr char kRefusedLine[] = "\r\n=== Connection refused\r\n";
constexpr char kConnectFailedFormat[] = "\r\n=== Connection failed! (Error: #%d)\r\n";
constexpr char kDisconnectedLine[] = "\r\n=== Disconnected\r\n";
constexpr char kClosedByPeerFormat[] = "\r\n=== Connection closed by remote host ( %s )\r\n";
constexpr char kReceiveErrorFormat[] = "\r\nERR: Receive Error code: #%d";
constexpr char kWinsockStartFormat[] = "\r\nERR: Winsock initialization error #%d\r\n\r\n";

constexpr char kEchoPrompt[] = "\r\n>>> ";
constexpr char kLineBreak[] = "\r\n";
constexpr char kEscapeErrorLine[] =
    "\r\nERR: Can't send data because of unknown or invalid escape sequence!\r\n";
constexpr char kHexErrorLine[] = "\r\nERR: Can't send data because of invalid hex digits!\r\n";
constexpr char kSendErrorFormat[] = "\r\nERR: Send Error #%d";
constexpr char kSendCutShortFormat[] = "\r\nERR: Send Error #%d (only %d of %d bytes were sent)";
