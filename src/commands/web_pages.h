// Web pages opened through the shell: the home page and the page of the hidden commands.
#pragma once

#include <windows.h>

// True for the five German language identifiers; the whole LANGID is compared,
// so German with any other sublanguage is not German here.
bool IsGermanLanguage(LANGID language);

// Address of the language-dependent page ("de" or "en" version); out holds at least
// kWebPageAddressSize bytes.
constexpr int kWebPageAddressSize = 96;
void LanguagePageAddress(LANGID language, char* out);

// Opens an address in the default browser; a failure is ignored.
void OpenWebPage(const char* address);

// Tests record the addresses instead of starting a browser; null restores the shell.
void SetWebPageOpenerForTesting(void (*opener)(const char* address));
