// Texts that more than one piece shows.
#pragma once

// Literals where longer texts are put together from them at compile time.
#define TELVANE_TITLE "Telvane - Kestrelink"
#define TELVANE_HOME_PAGE_HOST "telvane.example"
#define TELVANE_HOME_PAGE_URL "http://" TELVANE_HOME_PAGE_HOST "/"

constexpr char kAppTitle[] = TELVANE_TITLE;  // class name and idle title
constexpr char kConnectingTitle[] = "Telvane  (connecting...)";

// The home page: one host, shared by the banner, the context menu and the About box.
// Under the reserved .example domain so that it can never point at someone's site.
constexpr char kHomePageHost[] = TELVANE_HOME_PAGE_HOST;
constexpr char kHomePageUrl[] = TELVANE_HOME_PAGE_URL;

// Status bar parts.
enum StatusPart : int {
  kStatusActivity = 0,
  kStatusConnection = 1,
  kStatusMode = 2,
  kStatusProtocol = 3,
  kStatusIn = 4,
  kStatusOut = 5,
};
// Where each part ends, in characters left of the bar's right end.
constexpr int kStatusPartEndChars[] = {70, 50, 40, 30, 15, 0};

constexpr char kStatusInitial[] = "...";
constexpr char kStatusStartup[] = "Ready ... Press F1 to display help!";
constexpr char kStatusReady[] = "Ready";
constexpr char kStatusConnecting[] = "Connecting ...";
constexpr char kStatusResolving[] = "Resolving hostname ...";
constexpr char kStatusSending[] = "Sending ...";
constexpr char kStatusNotConnected[] = "Not connected";
constexpr char kStatusInZero[] = "In: 0 bytes";
constexpr char kStatusOutZero[] = "Out: 0 bytes";
constexpr char kStatusTcp[] = "TCP/IP";
constexpr char kStatusUdp[] = "UDP/IP";
