#include "support/harness.h"

#include "app/texts.h"
#include "codec/output_pane.h"

TEST_CASE("start-up leaves the idle window with its first texts") {
  FreshWindow w;
  CHECK(WindowText(w.hwnd()) == "Telvane - Kestrelink");
  CHECK(Transcript() == BannerText());
  CHECK(StatusPart(0) == "Ready ... Press F1 to display help!");
  CHECK(StatusPart(1) == "Not connected");
  CHECK(StatusPart(4) == "In: 0 bytes");
  CHECK(StatusPart(5) == "Out: 0 bytes");
  CHECK_FALSE(IsWindowEnabled(app.disconnectButton));
  for (HWND control : {app.hostField, app.portField, app.connectButton, app.sendButton,
                       app.clearButton, app.sendLine, app.outputPane})
    CHECK(IsWindowEnabled(control));
}
