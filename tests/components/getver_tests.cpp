#include <gtest/gtest.h>

#include "components/ProgramFile.h"
#include "components/VersionBlock.h"
#include "components/getver.h"
#include "tests/components/ProgramFixtures.h"

using fixtures::Bytes;

namespace {

const std::vector<std::pair<std::string, std::string>> kAllEight = {
    {"CompanyName", "Halvorn"},        {"FileDescription", "Tile workspace"},
    {"FileVersion", "2.3.4.5"},        {"InternalName", "tlwkproj"},
    {"LegalCopyright", "(c) Halvorn"}, {"OriginalFilename", "tlwkproj"},
    {"ProductName", "Tessaly"},        {"ProductVersion", "2.3"}};

Bytes blockWith(std::vector<std::pair<std::string, std::string>> strings) {
  components::VersionInfo info;
  info.strings = std::move(strings);
  return components::buildVersionBlock(info);
}

std::vector<std::pair<std::string, std::string>> without(const std::string& key) {
  auto s = kAllEight;
  std::erase_if(s, [&](const auto& kv) { return kv.first == key; });
  return s;
}

}  // namespace

TEST(ProgramFile, BlockIsFoundInEveryKindOfProgramFile) {
  const Bytes block = blockWith(kAllEight);
  const struct {
    const char* what;
    Bytes file;
  } cases[] = {{"windows", fixtures::peFile(block)},
               {"elf 64 little", fixtures::elfFile(block, true, false)},
               {"elf 32 little", fixtures::elfFile(block, false, false)},
               {"elf 64 big", fixtures::elfFile(block, true, true)},
               {"elf 32 big", fixtures::elfFile(block, false, true)}};
  for (const auto& c : cases) {
    const auto found = components::readVersionResource(fixtures::writeFile("program", c.file));
    ASSERT_TRUE(found) << c.what;
    EXPECT_EQ(*found, block) << c.what;
  }
}

TEST(ProgramFile, FilesWithoutABlockGiveNothing) {
  const Bytes block = blockWith(kAllEight);
  const struct {
    const char* what;
    Bytes file;
  } cases[] = {{"empty", {}},
               {"text", {'h', 'e', 'l', 'l', 'o'}},
               {"other section", fixtures::elfFile(block, true, false, ".data")},
               {"section name a prefix", fixtures::elfFile(block, true, false, ".tessaly_versio")}};
  for (const auto& c : cases)
    EXPECT_FALSE(components::readVersionResource(fixtures::writeFile("other", c.file))) << c.what;
  EXPECT_FALSE(components::readVersionResource("/no/such/file"));
}

// Every prefix of a sound file, and fields pointed far outside it, end in nothing (never a crash or a
// huge allocation).
TEST(ProgramFile, TruncatedAndLyingProgramFilesGiveNothing) {
  const Bytes block = blockWith(kAllEight);
  for (const Bytes& whole : {fixtures::peFile(block), fixtures::elfFile(block)}) {
    for (std::size_t n = 0; n < whole.size(); ++n) {
      const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
      EXPECT_FALSE(components::readVersionResource(fixtures::writeFile("cut", cut))) << n;
    }
  }
  using Lie = void (*)(Bytes&);
  const struct {
    const char* what;
    bool pe;
    Lie lie;
  } cases[] = {
      {"pe header far away", true, [](Bytes& b) { fixtures::put(b, 0x3C, 0xFFFFFFF0u, 4); }},
      {"pe resource rva outside every section", true, [](Bytes& b) { fixtures::put(b, 88 + 112, 0x9000, 4); }},
      {"pe huge section count", true, [](Bytes& b) { fixtures::put(b, 70, 0xFFFF, 2); }},
      {"pe resource data of 4 GiB", true, [](Bytes& b) { fixtures::put(b, 512 + 0x4C, 0xFFFFFFFFu, 4); }},
      {"pe directory entry count huge", true, [](Bytes& b) { fixtures::put(b, 512 + 12, 0xFFFF, 2); }},
      {"elf section table far away", false, [](Bytes& b) { fixtures::put(b, 0x28, 0x7FFFFFFFFFFFull, 8); }},
      {"elf section count huge", false,
       [](Bytes& b) { fixtures::put(b, 0x3C, 0, 2), fixtures::put(b, 0x3E, 0xFFFF, 2); }},
      {"elf name index past the table", false, [](Bytes& b) { fixtures::put(b, 0x3E, 9, 2); }},
      {"elf entry size too small", false, [](Bytes& b) { fixtures::put(b, 0x3A, 8, 2); }},
      {"elf unknown class", false, [](Bytes& b) { b[4] = 7; }},
  };
  for (const auto& c : cases) {
    Bytes b = c.pe ? fixtures::peFile(block) : fixtures::elfFile(block);
    c.lie(b);
    EXPECT_FALSE(components::readVersionResource(fixtures::writeFile("lie", b))) << c.what;
  }
}

TEST(GetVersionInfo, LoadsTheEightKeysInOrderAndStopsOrSkipsAsTheTableSays) {
  auto emptyDescription = kAllEight;
  emptyDescription[1].second.clear();
  const struct {
    const char* what;
    std::vector<std::pair<std::string, std::string>> strings;
    std::vector<std::string> categories;
  } cases[] = {
      {"all eight",
       kAllEight,
       {"CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright", "OriginalFilename",
        "ProductName", "ProductVersion"}},
      {"no CompanyName", without("CompanyName"), {}},
      {"no LegalCopyright",
       without("LegalCopyright"),
       {"CompanyName", "FileDescription", "FileVersion", "InternalName"}},
      // An empty text still holds its null, so only a stored length of 0 is skipped.
      {"FileDescription of length 1",
       emptyDescription,
       {"CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright", "OriginalFilename",
        "ProductName", "ProductVersion"}},
  };
  for (const auto& c : cases) {
    components::TGetVersionInfoFromFile reader;
    const std::string path = fixtures::writeFile("prog", fixtures::elfFile(blockWith(c.strings)));
    reader.setFileName(path);
    EXPECT_EQ(reader.fileName(), path);
    EXPECT_EQ(reader.VersionCategories(), c.categories) << c.what;
    ASSERT_EQ(reader.VersionStrings().size(), c.categories.size()) << c.what;
    for (std::size_t i = 0; i < c.categories.size(); ++i) {
      const auto it = std::find_if(c.strings.begin(), c.strings.end(),
                                   [&](const auto& kv) { return kv.first == c.categories[i]; });
      EXPECT_EQ(reader.VersionStrings()[i], it->second) << c.what;
    }
  }
}

TEST(GetVersionInfo, ValueOfLengthZeroIsSkippedAndLoadingGoesOn) {
  components::VersionInfo info;
  info.strings = kAllEight;
  auto block = components::buildVersionBlock(info);
  auto root = components::parseVersionBlock(block);
  ASSERT_TRUE(root);
  auto& description = root->children[0].children[0].children[1];
  description.valueLength = 0;
  description.value.clear();
  components::TGetVersionInfoFromFile reader;
  reader.setFileName(fixtures::writeFile("zero", fixtures::elfFile(components::encodeVersionNode(*root))));
  ASSERT_EQ(reader.VersionStrings().size(), 7u);
  EXPECT_EQ(reader.VersionStrings()[2], "tlwkproj");  // the internal name now stands at entry 2
}

TEST(GetVersionInfo, FirstTranslationChoosesTheTable) {
  components::VersionInfo info;
  info.language = 0x0407;
  info.codePage = 0x04B0;
  info.strings = kAllEight;
  auto root = *components::parseVersionBlock(components::buildVersionBlock(info));
  // A second table in the default language, and a second translation pointing at it.
  auto other = root.children[0].children[0];
  other.key = u"040904E4";
  for (auto& s : other.children) s = components::textNode(std::string(s.key.begin(), s.key.end()), "other");
  root.children[0].children.push_back(other);
  auto& translation = root.children[1].children[0];
  translation.value.insert(translation.value.end(), {0x09, 0x04, 0xE4, 0x04});
  translation.valueLength = 8;
  components::TGetVersionInfoFromFile reader;
  reader.setFileName(fixtures::writeFile("two", fixtures::elfFile(components::encodeVersionNode(root))));
  ASSERT_EQ(reader.VersionStrings().size(), 8u);
  EXPECT_EQ(reader.VersionStrings()[2], "2.3.4.5");
}

TEST(GetVersionInfo, FileNameAndListsFollowEachSetting) {
  components::TGetVersionInfoFromFile reader;
  reader.storeLists({"placeholder"}, {"placeholder"});
  const std::string good = fixtures::writeFile("good", fixtures::peFile(blockWith(kAllEight)));
  reader.setFileName(good);
  EXPECT_EQ(reader.VersionStrings().size(), 8u);
  reader.setFileName(good);  // again: nothing doubled
  EXPECT_EQ(reader.VersionStrings().size(), 8u);

  const std::string plain = fixtures::writeFile("plain", {'x'});
  reader.setFileName(plain);
  EXPECT_EQ(reader.fileName(), plain);
  EXPECT_TRUE(reader.VersionStrings().empty());

  reader.setFileName(good);
  reader.setFileName("/no/such/program");
  EXPECT_EQ(reader.fileName(), "");
  EXPECT_TRUE(reader.VersionStrings().empty());
  EXPECT_TRUE(reader.VersionCategories().empty());
}

TEST(GetVersionInfo, BlockWithoutTranslationGivesNothing) {
  auto root = *components::parseVersionBlock(components::buildVersionBlock({}));
  root.children.pop_back();
  components::TGetVersionInfoFromFile reader;
  const std::string path = fixtures::writeFile("notr", fixtures::elfFile(components::encodeVersionNode(root)));
  reader.setFileName(path);
  EXPECT_EQ(reader.fileName(), path);
  EXPECT_TRUE(reader.VersionStrings().empty());
}
