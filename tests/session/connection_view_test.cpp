#include "session_steps.h"

#include "view/connection_view.h"

// The view alone, set by hand: its targets (other hosts, privileged ports) are out of
// a loopback test's reach; connection_test opens real sessions to named ports.
TEST_CASE("the connected view names the target as typed and its service") {
  FreshWindow w;
  const std::string longHost(63, 'h');
  struct Row {
    std::string host;
    const char* port;
    std::string title;
    const char* status;
  };
  const Row rows[] = {
      {"example.invalid", "80", "Telvane - example.invalid:80 (HTTP)", "Connected (HTTP)"},
      {"127.0.0.1", "194", "Telvane - 127.0.0.1:194 (IRC)", "Connected (IRC)"},
      {"127.0.0.1", "6667", "Telvane - 127.0.0.1:6667 (IRC)", "Connected (IRC)"},
      {"127.0.0.1", "080", "Telvane - 127.0.0.1:080", "Connected"},
      {"127.0.0.1", "8", "Telvane - 127.0.0.1:8", "Connected"},
      {longHost, "138", "Telvane - " + longHost + ":138 (NETBIOS-DGM)", "Connected (NETBIOS-DGM)"},
  };
  for (const Row& row : rows) {
    CAPTURE(row.port);
    SetTarget(row.host, row.port);
    SetSessionPhase(Phase::Connected);
    EnableWindow(app.controls.sendButton, FALSE);  // as the hex entry rules may leave it
    ShowConnectionView(Phase::Connected, row.host, row.port);
    CHECK(WindowText(w.hwnd()) == row.title);
    CHECK(StatusPart(1) == row.status);
    CHECK(StatusPart(0) == "Ready");
    CHECK(EnabledStates() == kConnectedStates);

    SetSessionPhase(Phase::Idle);
    ShowConnectionView(Phase::Idle);
    CheckIdleView();
  }
}
