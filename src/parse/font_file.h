// Font files as GDI hands them out (GetFontData): rewriting one for private use.
#pragma once

#include <string>

// A copy of a TrueType/OpenType font file or collection in which the OpenType layout
// tables (GDEF, GSUB, GPOS) are hidden and every face is named family, Regular.
// Drawn from such a copy, text keeps the glyphs and advances of the original but is
// never shaped by those tables: Wine 8's shaper reads outside its glyph buffer when
// a mark such as the small tilde starts a run. Empty when font is not such a file.
std::string WithoutLayoutTables(const std::string& font, const std::string& family);
