// Web pages opened through the shell: the home page and the page of the hidden commands.
#pragma once

// Opens an address in the default browser; a failure is ignored.
void OpenWebPage(const char* address);

// Tests record the addresses instead of starting a browser; null restores the shell.
void SetWebPageOpenerForTesting(void (*opener)(const char* address));
