#include "commands/web_pages.h"

#include <shellapi.h>

#include "app/app_state.h"
#include "app/texts.h"

namespace {

void (*testOpener)(const char*) = nullptr;

}  // namespace

bool IsGermanLanguage(LANGID language) {
  switch (language) {
    case 0x0407:  // Germany
    case 0x0807:  // Switzerland
    case 0x0C07:  // Austria
    case 0x1007:  // Luxembourg
    case 0x1407:  // Liechtenstein
      return true;
    default:
      return false;
  }
}

void LanguagePageAddress(LANGID language, char* out) {
  wsprintfA(out, "http://%s/%s/", kHomePageHost, IsGermanLanguage(language) ? "de" : "en");
}

void OpenWebPage(const char* address) {
  if (testOpener) {
    testOpener(address);
    return;
  }
  ShellExecuteA(app.mainWindow, nullptr, address, nullptr, nullptr, SW_SHOWNORMAL);
}

void SetWebPageOpenerForTesting(void (*opener)(const char*)) { testOpener = opener; }
