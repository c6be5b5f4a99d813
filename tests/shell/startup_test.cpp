#include "support/harness.h"

#include "text/texts.h"
#include "view/output_pane.h"

TEST_CASE("start-up leaves the idle window with its first texts") {
  FreshWindow w;
  CHECK(WindowText(w.hwnd()) == "Telvane - Kestrelink");
  CHECK(Transcript() == BannerText());
  CHECK(StatusPart(0) == "Ready ... Press F1 to display help!");
  CHECK(StatusPart(1) == "Not connected");
  CHECK(StatusPart(4) == "In: 0 bytes");
  CHECK(StatusPart(5) == "Out: 0 bytes");
  CHECK_FALSE(IsWindowEnabled(app.controls.disconnectButton));
  for (HWND control : {app.controls.hostField, app.controls.portField, app.controls.connectButton,
                       app.controls.sendButton, app.controls.clearButton, app.controls.sendLine,
                       app.controls.outputPane})
    CHECK(IsWindowEnabled(control));
}
