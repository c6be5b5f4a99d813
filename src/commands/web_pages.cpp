#include "commands/web_pages.h"

#include <windows.h>  // before the headers that build on it

#include <shellapi.h>

#include "base/app_state.h"

namespace {

void (*testOpener)(const char*) = nullptr;

}  // namespace

void OpenWebPage(const char* address) {
  if (testOpener) {
    testOpener(address);
    return;
  }
  ShellExecuteA(app.controls.mainWindow, nullptr, address, nullptr, nullptr, SW_SHOWNORMAL);
}

void SetWebPageOpenerForTesting(void (*opener)(const char*)) { testOpener = opener; }
