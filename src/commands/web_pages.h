// Web pages opened through the shell, or through what the program was handed at start.
#pragma once

// Opens an address in the default browser; a failure is ignored.
void OpenWebPage(const char* address);
// The page of the hidden commands, in the system's language.
void OpenLanguagePage();
