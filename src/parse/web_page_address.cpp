#include "parse/web_page_address.h"

#include <cstdio>

#include "text/texts.h"

bool IsGermanLanguage(uint16_t language) {
  switch (language) {
    case 0x0407:  // Germany
    case 0x0807:  // Switzerland
    case 0x0C07:  // Austria
    case 0x1007:  // Luxembourg
    case 0x1407:  // Liechtenstein
      return true;
    default: return false;
  }
}

void LanguagePageAddress(uint16_t language, char* out) {
  std::snprintf(out, kWebPageAddressSize, "http://%s/%s/", kHomePageHost,
                IsGermanLanguage(language) ? "de" : "en");
}
