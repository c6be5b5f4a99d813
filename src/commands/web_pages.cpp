#include "commands/web_pages.h"

#include <windows.h>  // before the headers that build on it

#include <shellapi.h>

#include "base/app_state.h"
#include "parse/web_page_address.h"

void OpenWebPage(const char* address) {
  if (app.surroundings.openWebPage) return app.surroundings.openWebPage(address);
  ShellExecuteA(app.controls.mainWindow, nullptr, address, nullptr, nullptr, SW_SHOWNORMAL);
}

void OpenLanguagePage() {
  char address[kWebPageAddressSize];
  LanguagePageAddress(GetSystemDefaultLangID(), address);
  OpenWebPage(address);
}
