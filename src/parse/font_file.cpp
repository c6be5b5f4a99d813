#include "parse/font_file.h"

#include <cstdint>
#include <vector>

namespace {

uint32_t Read16(const std::string& data, size_t at) {
  return (static_cast<uint8_t>(data[at]) << 8) | static_cast<uint8_t>(data[at + 1]);
}

uint32_t Read32(const std::string& data, size_t at) {
  return (Read16(data, at) << 16) | Read16(data, at + 2);
}

void Put16(std::string& data, size_t at, uint32_t value) {
  data[at] = static_cast<char>(value >> 8);
  data[at + 1] = static_cast<char>(value);
}

void Put32(std::string& data, size_t at, uint32_t value) {
  Put16(data, at, value >> 16);
  Put16(data, at + 2, value);
}

bool IsFaceStart(const std::string& data, size_t at) {
  if (at + 12 > data.size()) return false;
  const uint32_t version = Read32(data, at);
  return version == 0x00010000 || version == 0x4F54544F /* OTTO */ ||
         version == 0x74727565 /* true */;
}

// A name table with the Windows English names of a regular face called family.
std::string NameTable(const std::string& family) {
  std::string postscript;
  for (char c : family)
    if (c != ' ') postscript += c;
  const std::string names[] = {family, "Regular", family, postscript};
  const uint32_t ids[] = {1, 2, 4, 6};
  std::string table(6 + 12 * 4, '\0');
  Put16(table, 2, 4);
  Put16(table, 4, static_cast<uint32_t>(table.size()));
  std::string strings;
  for (size_t i = 0; i < 4; ++i) {
    const size_t record = 6 + 12 * i;
    Put16(table, record, 3);           // Windows
    Put16(table, record + 2, 1);       // Unicode BMP
    Put16(table, record + 4, 0x0409);  // English
    Put16(table, record + 6, ids[i]);
    Put16(table, record + 8, static_cast<uint32_t>(2 * names[i].size()));
    Put16(table, record + 10, static_cast<uint32_t>(strings.size()));
    for (char c : names[i]) {
      strings += '\0';
      strings += c;
    }
  }
  return table + strings;
}

}  // namespace

std::string WithoutLayoutTables(const std::string& font, const std::string& family) {
  std::vector<size_t> faces;
  if (font.size() >= 12 && font.compare(0, 4, "ttcf") == 0) {
    const uint32_t count = Read32(font, 8);
    if (count == 0 || 12 + 4 * static_cast<size_t>(count) > font.size()) return {};
    for (uint32_t i = 0; i < count; ++i) faces.push_back(Read32(font, 12 + 4 * i));
  } else {
    faces.push_back(0);
  }
  std::string copy = font;
  while (copy.size() % 4) copy += '\0';  // tables start on 4-byte boundaries
  const size_t nameAt = copy.size();
  const std::string names = NameTable(family);
  copy += names;
  for (size_t face : faces) {
    if (!IsFaceStart(font, face)) return {};
    const uint32_t tables = Read16(font, face + 4);
    if (face + 12 + 16 * static_cast<size_t>(tables) > font.size()) return {};
    for (uint32_t i = 0; i < tables; ++i) {
      const size_t entry = face + 12 + 16 * i;
      const std::string tag = font.substr(entry, 4);
      // A tag no reader asks for, still in the sorted place: the table stays, unseen.
      if (tag == "GDEF" || tag == "GSUB" || tag == "GPOS") --copy[entry + 3];
      if (tag == "name") {
        Put32(copy, entry + 8, static_cast<uint32_t>(nameAt));
        Put32(copy, entry + 12, static_cast<uint32_t>(names.size()));
      }
    }
  }
  return copy;
}
