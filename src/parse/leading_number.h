// The leading decimal number of a text, as atoi reads it. Pure.
#pragma once

// White space, a sign and digits, 0 when there is none. A number beyond the int range
// saturates instead of wrapping, as some atoi do, into a value that would pass a range test.
int LeadingNumber(const char* text);
