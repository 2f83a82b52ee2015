#include <gtest/gtest.h>

#include "components/VersionBlock.h"

using components::VersionNode;

namespace {

components::VersionInfo sampleInfo() {
  components::VersionInfo info;
  info.fixed.fileVersion[0] = 1;
  info.fixed.fileVersion[3] = 7;
  info.strings = {{"CompanyName", "Halvorn"}, {"FileVersion", "1.0.0.7"}, {"Comments", "f\xC3\xBCr"}};
  return info;
}

std::uint32_t word(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::string text(const VersionNode& root, const std::string& path) {
  const auto v = components::queryVersionValue(root, path);
  return v ? components::versionText(*v) : "<none>";
}

}  // namespace

TEST(VersionBlock, BuiltBlockAnswersTheThreeKindsOfQuery) {
  const auto block = components::buildVersionBlock(sampleInfo());
  ASSERT_EQ(block.size() % 4, 0u);
  EXPECT_EQ(block[0] | block[1] << 8, static_cast<int>(block.size()));
  const auto root = components::parseVersionBlock(block);
  ASSERT_TRUE(root);

  const auto fixed = components::queryVersionValue(*root, "\\");
  ASSERT_TRUE(fixed);
  ASSERT_EQ(fixed->length, 52u);
  EXPECT_EQ(word(fixed->bytes, 0), 0xFEEF04BDu);
  EXPECT_EQ(word(fixed->bytes, 8), 0x00010000u);   // 1.0
  EXPECT_EQ(word(fixed->bytes, 12), 0x00000007u);  // .0.7

  const auto translation = components::queryVersionValue(*root, "\\VarFileInfo\\Translation");
  ASSERT_TRUE(translation);
  EXPECT_EQ(translation->length, 4u);
  EXPECT_EQ(word(translation->bytes, 0), 0x04E40409u);

  const auto company = components::queryVersionValue(*root, "\\StringFileInfo\\040904E4\\CompanyName");
  ASSERT_TRUE(company);
  EXPECT_EQ(company->length, 8u);  // characters, with the terminating null
  const struct {
    const char* path;
    const char* expected;
  } cases[] = {
      {"\\StringFileInfo\\040904E4\\CompanyName", "Halvorn"},
      {"\\stringfileinfo\\040904e4\\fileversion", "1.0.0.7"},  // keys compare in any letter case
      {"\\StringFileInfo\\040904E4\\Comments", "f\xC3\xBCr"},
      {"\\StringFileInfo\\040904E4\\ProductName", "<none>"},
      {"\\StringFileInfo\\04090000\\CompanyName", "<none>"},
      {"\\StringFileInfo\\040904E4\\CompanyName\\More", "<none>"},
  };
  for (const auto& c : cases) EXPECT_EQ(text(*root, c.path), c.expected) << c.path;
}

TEST(VersionBlock, TextValuesStopAtNullAndAtTheirRoom) {
  const struct {
    std::string value;
    std::size_t room;
    std::string expected;
  } cases[] = {
      {"plain", 256, "plain"},
      {std::string(300, 'x'), 256, std::string(256, 'x')},
      {"abcdef", 3, "abc"},
      {"\xF0\x9F\x99\x82 smile", 256, "\xF0\x9F\x99\x82 smile"},  // a pair of surrogates
      {"", 256, ""},
  };
  for (const auto& c : cases) {
    const VersionNode n = components::textNode("K", c.value);
    EXPECT_EQ(components::versionText({n.value, n.valueLength}, c.room), c.expected) << c.value;
  }
  // A value with a null inside ends there; a lone surrogate becomes the replacement character.
  EXPECT_EQ(components::versionText({{'a', 0, 0, 0, 'b', 0}, 3}), "a");
  EXPECT_EQ(components::versionText({{0x00, 0xD8, 'z', 0}, 2}), "\xEF\xBF\xBDz");
}

TEST(VersionBlock, SeveralTablesAndTranslationsStayApart) {
  VersionNode root = components::binaryNode("VS_VERSION_INFO", std::vector<std::uint8_t>(52, 0));
  VersionNode strings;
  strings.key = u"StringFileInfo";
  for (const char* table : {"040704B0", "040904E4"}) {
    VersionNode t;
    t.key = components::utf16(table);
    t.children.push_back(components::textNode("FileVersion", table));
    strings.children.push_back(t);
  }
  root.children.push_back(strings);
  const auto parsed = components::parseVersionBlock(components::encodeVersionNode(root));
  ASSERT_TRUE(parsed);
  EXPECT_EQ(text(*parsed, "\\StringFileInfo\\040704B0\\FileVersion"), "040704B0");
  EXPECT_EQ(text(*parsed, "\\StringFileInfo\\040904E4\\FileVersion"), "040904E4");
}

// Byte surgery on a sound block; each case says whether the root still parses and whether the first
// string is still found.
TEST(VersionBlock, HostileBlocksAreRefusedOrReadAsFarAsSound) {
  const auto good = components::buildVersionBlock(sampleInfo());
  const std::size_t stringFileInfo = 40 + 52;  // header and "VS_VERSION_INFO" padded to 40, fixed info
  using Mutate = void (*)(std::vector<std::uint8_t>&);
  const struct {
    const char* what;
    Mutate mutate;
    bool root;
    bool company;
  } cases[] = {
      {"sound", [](std::vector<std::uint8_t>&) {}, true, true},
      {"empty", [](std::vector<std::uint8_t>& b) { b.clear(); }, false, false},
      {"five bytes", [](std::vector<std::uint8_t>& b) { b.resize(5); }, false, false},
      {"truncated", [](std::vector<std::uint8_t>& b) { b.resize(b.size() / 2); }, false, false},
      {"root length zero", [](std::vector<std::uint8_t>& b) { b[0] = b[1] = 0; }, false, false},
      {"root longer than block", [](std::vector<std::uint8_t>& b) { b[0] = b[1] = 0xFF; }, false, false},
      {"wrong root key", [](std::vector<std::uint8_t>& b) { b[6] = 'X'; }, false, false},
      {"key without null",
       [](std::vector<std::uint8_t>& b) {
         b.resize(64);
         b[0] = 64;
         b[1] = 0;
         for (std::size_t i = 6; i < 64; ++i) b[i] = 'A';
       },
       false, false},
      {"child of length zero loops no more",
       [](std::vector<std::uint8_t>& b) { b[stringFileInfo] = b[stringFileInfo + 1] = 0; }, true, false},
      {"child longer than its parent",
       [](std::vector<std::uint8_t>& b) { b[stringFileInfo] = b[stringFileInfo + 1] = 0xF0; }, true, false},
      {"fixed info overruns the root", [](std::vector<std::uint8_t>& b) { b[2] = 0xFF, b[3] = 0x7F; }, true,
       false},
      {"misaligned child",
       [](std::vector<std::uint8_t>& b) { b.insert(b.begin() + stringFileInfo, 2, 0), b[0] += 2; }, true,
       false},
      {"garbage after the root", [](std::vector<std::uint8_t>& b) { b.resize(b.size() + 40, 0xCC); }, true,
       true},
  };
  for (const auto& c : cases) {
    auto b = good;
    c.mutate(b);
    const auto root = components::parseVersionBlock(b);
    EXPECT_EQ(root.has_value(), c.root) << c.what;
    if (root) {
      EXPECT_EQ(text(*root, "\\StringFileInfo\\040904E4\\CompanyName") == "Halvorn", c.company) << c.what;
    }
  }
}

TEST(VersionBlock, NodesDeeperThanAnyRealBlockAreNotFollowed) {
  VersionNode root = components::binaryNode("VS_VERSION_INFO", {});
  VersionNode* n = &root;
  for (int i = 0; i < 40; ++i) {
    n->children.push_back(components::textNode("a", ""));
    n = &n->children.back();
  }
  const auto parsed = components::parseVersionBlock(components::encodeVersionNode(root));
  ASSERT_TRUE(parsed);
  EXPECT_TRUE(components::queryVersionValue(*parsed, "\\a\\a\\a"));
  std::string deepest;
  for (int i = 0; i < 40; ++i) deepest += "\\a";
  EXPECT_FALSE(components::queryVersionValue(*parsed, deepest));
}
