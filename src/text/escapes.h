// Escape sequences and hexadecimal digits. Pure: no window calls.
#pragma once

// Decodes backslash escapes of in into out (at least strlen(in) bytes).
// Returns the byte count, or -1 for any invalid escape.
int DecodeEscapes(unsigned char* out, const char* in);
bool IsHexDigit(char c);  // 0-9, A-F, a-f
unsigned char HexPairToByte(const char* pair);
void ByteToHex(unsigned char byte, char* out);  // two characters, no NUL
