// Font file copies whose layout tables are hidden.
#include <doctest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "parse/font_file.h"

namespace {

std::string Be16(uint32_t v) { return {static_cast<char>(v >> 8), static_cast<char>(v)}; }
std::string Be32(uint32_t v) { return Be16(v >> 16) + Be16(v); }
uint32_t At16(const std::string& d, size_t at) {
  return (static_cast<uint8_t>(d[at]) << 8) | static_cast<uint8_t>(d[at + 1]);
}
uint32_t At32(const std::string& d, size_t at) { return (At16(d, at) << 16) | At16(d, at + 2); }

// A face's table directory at base, its tables' data following in the file at dataAt.
std::string Directory(const std::vector<std::string>& tags, uint32_t dataAt) {
  std::string dir =
      Be32(0x00010000) + Be16(static_cast<uint32_t>(tags.size())) + std::string(6, '\0');
  for (size_t i = 0; i < tags.size(); ++i)
    dir += tags[i] + Be32(0) + Be32(dataAt + 4 * static_cast<uint32_t>(i)) + Be32(4);
  return dir;
}

std::vector<std::string> TagsAt(const std::string& font, size_t face) {
  std::vector<std::string> tags;
  for (uint32_t i = 0; i < At16(font, face + 4); ++i)
    tags.push_back(font.substr(face + 12 + 16 * i, 4));
  return tags;
}

// The Windows family name (ID 1) of the face whose directory is at face.
std::string FamilyAt(const std::string& font, size_t face) {
  for (uint32_t i = 0; i < At16(font, face + 4); ++i) {
    const size_t entry = face + 12 + 16 * i;
    if (font.compare(entry, 4, "name") != 0) continue;
    const size_t table = At32(font, entry + 8);
    for (uint32_t r = 0; r < At16(font, table + 2); ++r) {
      const size_t record = table + 6 + 12 * r;
      if (At16(font, record) != 3 || At16(font, record + 6) != 1) continue;
      const size_t text = table + At16(font, table + 4) + At16(font, record + 10);
      std::string family;
      for (size_t c = 0; c < At16(font, record + 8); c += 2) family += font[text + c + 1];
      return family;
    }
  }
  return {};
}

const std::vector<std::string> kTags = {"GDEF", "GPOS", "GSUB", "OS/2",
                                        "cmap", "glyf", "head", "name"};
const std::vector<std::string> kHidden = {"GDEE", "GPOR", "GSUA", "OS/2",
                                          "cmap", "glyf", "head", "name"};

}  // namespace

TEST_CASE("a font file copy hides the layout tables and carries its own family name") {
  SUBCASE("one face: the tables keep their data and their sorted order") {
    const std::string font = Directory(kTags, 140) + std::string(32, 'd');
    const std::string copy = WithoutLayoutTables(font, "Telvane Controls");
    REQUIRE(copy.size() > font.size());
    CHECK(TagsAt(copy, 0) == kHidden);
    CHECK(copy.substr(140, 28) == font.substr(140, 28));  // the tables' data untouched
    CHECK(FamilyAt(copy, 0) == "Telvane Controls");
  }
  SUBCASE("a collection: every face") {
    const std::string header =
        std::string("ttcf") + Be32(0x00010000) + Be32(2) + Be32(20) + Be32(160);
    const std::string font =
        header + Directory(kTags, 300) + Directory(kTags, 300) + std::string(32, 'd');
    const std::string copy = WithoutLayoutTables(font, "X");
    REQUIRE_FALSE(copy.empty());
    for (size_t face : {20u, 160u}) {
      CHECK(TagsAt(copy, face) == kHidden);
      CHECK(FamilyAt(copy, face) == "X");
    }
  }
  SUBCASE("anything else is no copy") {
    CHECK(WithoutLayoutTables("", "X").empty());
    CHECK(WithoutLayoutTables("MZ not a font at all", "X").empty());
    const std::string font = Directory(kTags, 140);
    CHECK(WithoutLayoutTables(font.substr(0, 40), "X").empty());  // directory cut short
    CHECK(WithoutLayoutTables(std::string("ttcf") + Be32(0x00010000) + Be32(9), "X").empty());
  }
}
