#include "commands/web_pages.h"

#include <windows.h>  // before the headers that build on it

#include <shellapi.h>

#include "base/app_state.h"
#include "parse/web_page_address.h"

namespace {

// The shell's library is loaded when a page is first opened, not with the program:
// at start-up it would cost more than everything it is used for.
using ShellExecuteCall = decltype(&ShellExecuteA);
ShellExecuteCall ShellExecuteOnDemand() {
  static const HMODULE shell = LoadLibraryA("shell32.dll");
  return shell ? reinterpret_cast<ShellExecuteCall>(
                     reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteA")))
               : nullptr;
}

}  // namespace

void OpenWebPage(const char* address) {
  if (app.surroundings.openWebPage) return app.surroundings.openWebPage(address);
  if (const ShellExecuteCall open = ShellExecuteOnDemand())
    open(app.controls.mainWindow, nullptr, address, nullptr, nullptr, SW_SHOWNORMAL);
}

void OpenLanguagePage() {
  char address[kWebPageAddressSize];
  LanguagePageAddress(GetSystemDefaultLangID(), address);
  OpenWebPage(address);
}
