#include "support/harness.h"

#include <string>

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

  // The exe's manifest: GDI scaling, and neither DPI awareness nor common controls 6.
  const HMODULE exe =
      LoadLibraryExA(BesideTestProgram("telvane.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  REQUIRE(exe);
  const HRSRC found = FindResourceA(exe, MAKEINTRESOURCEA(1), RT_MANIFEST);
  REQUIRE(found);
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(exe, found))),
                             SizeofResource(exe, found));
  FreeLibrary(exe);
  CHECK(manifest.find("<gdiScaling xmlns=\"http://schemas.microsoft.com/SMI/2017/"
                      "WindowsSettings\">true</gdiScaling>") != std::string::npos);
  CHECK(manifest.find("Common-Controls") == std::string::npos);
  CHECK(manifest.find("dpiAware") == std::string::npos);
}
