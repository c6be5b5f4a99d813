// Shared pieces of the transfer tests.
#pragma once

#include <string>

// Makes sure the send line's keys go through the hex entry rules.
void UseSendLineRules();
bool PutOnClipboard(const char* text);
