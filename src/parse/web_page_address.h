// The address of the page the hidden commands open, by the system's language. Pure.
#pragma once

#include <cstdint>

// True for the five German language identifiers; the whole identifier is compared,
// so German with any other sublanguage is not German here.
bool IsGermanLanguage(uint16_t language);

// Address of the language-dependent page ("de" or "en" version); out holds at least
// kWebPageAddressSize bytes.
constexpr int kWebPageAddressSize = 96;
void LanguagePageAddress(uint16_t language, char* out);
