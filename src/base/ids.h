// The identifiers more than one piece uses: controls, the pane's menu, private
// messages and the session's timers. The mode menu's are in the transfer modes' table.
#pragma once

#include <windows.h>
#include <winsock.h>  // wsock32's, for the FD_ events

#include "core/session_timers.h"

// Control identifiers, in the order of their IDs.
enum ControlId : int {
  kHostFieldId = 100,
  kPortFieldId = 101,
  kConnectButtonId = 102,
  kDisconnectButtonId = 103,
  kSendButtonId = 104,
  kClearButtonId = 105,
  kSendLineId = 106,
  kOutputPaneId = 107,
  kStatusBarId = 108,
};

// Context menu of the output pane.
enum OutputMenuId : int {
  kMenuHelpId = 201,
  kMenuAboutId = 202,
  kMenuVisitId = 203,
  kMenuSelectAllId = 204,
  kMenuCopyId = 205,
};

// Private messages. Two share WM_USER and are told apart by target and wParam.
constexpr UINT kSocketNotify = WM_USER + 1;
constexpr UINT kLookupDone = WM_USER + 2;     // WSAAsyncGetHostByName's completion
constexpr UINT kSessionStep = WM_USER + 3;    // draws the next piece of the transcript
constexpr UINT kSubclassHandshake = WM_USER;  // to a control, wParam = previous proc

// Requests other programs may send to the main window, besides the buttons' and the
// mode menu's WM_COMMAND and WM_KEYUP with F1.
constexpr UINT kReportRequest = WM_USER;  // wParam 1, lParam which report
constexpr WPARAM kReportRequestTag = 1;
constexpr LPARAM kWinsockReportArg = 1;
constexpr LPARAM kStatisticsReportArg = 2;
constexpr WPARAM kAboutCommand = 201;  // the low word of a WM_SYSCOMMAND

// The session's timers, by the core's table.
constexpr UINT_PTR kConnectTimerId = RowOf(Timer::Dots).id;
constexpr UINT_PTR kReadResumeTimerId = RowOf(Timer::ReadResume).id;
constexpr UINT_PTR kFrameTimerId = RowOf(Timer::Frame).id;
constexpr UINT_PTR kSendWaitTimerId = RowOf(Timer::SendWait).id;
constexpr UINT_PTR kStepTimerId = RowOf(Timer::Step).id;

constexpr long kSocketEvents = FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE;
