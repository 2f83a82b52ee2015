#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace components {

// One node of a version block (VS_VERSIONINFO and its children): a UTF-16 key, a value that is text
// (type 1, length in characters) or binary (type 0, length in bytes), and child nodes.
struct VersionNode {
  std::u16string key;
  std::uint16_t type = 0;
  std::uint16_t valueLength = 0;    // as stored: characters for text, bytes for binary
  std::vector<std::uint8_t> value;  // the value's bytes as they lie in the block (cut at the node's end)
  std::vector<VersionNode> children;
};

// A sub-block found by path, as the platform's query reports it.
struct VersionValue {
  std::vector<std::uint8_t> bytes;
  std::uint32_t length = 0;  // bytes for binary values, characters for text values
};

// The largest block the format can describe: its length is a 16-bit field.
inline constexpr std::size_t kMaxVersionBlock = 0xFFFF;

// Parses a version block. Nodes whose length runs past their parent, or is too short to hold a header,
// end their parent's list of children, so a truncated, overlong or looping block is read as far as it is
// sound. Nothing when the root itself is unsound or is not "VS_VERSION_INFO".
std::optional<VersionNode> parseVersionBlock(std::span<const std::uint8_t> block);

// Finds a sub-block by a path such as "\", "\VarFileInfo\Translation" or
// "\StringFileInfo\040904E4\CompanyName"; keys compare without regard to letter case.
std::optional<VersionValue> queryVersionValue(const VersionNode& root, std::string_view path);

// The text of a text value up to its first null, at most maxChars characters, as UTF-8.
std::string versionText(const VersionValue& value, std::size_t maxChars = 256);

// Writes a node and its children in the block layout (lengths and padding computed here).
std::vector<std::uint8_t> encodeVersionNode(const VersionNode& node);

struct FixedFileInfo {
  std::uint16_t fileVersion[4] = {0, 0, 0, 0};
  std::uint16_t productVersion[4] = {0, 0, 0, 0};
  std::uint32_t fileOS = 0;    // VOS_UNKNOWN
  std::uint32_t fileType = 1;  // VFT_APP
};

// What a program's version block says: fixed info, one string table and its translation.
struct VersionInfo {
  FixedFileInfo fixed;
  std::uint16_t language = 0x0409;
  std::uint16_t codePage = 0x04E4;
  std::vector<std::pair<std::string, std::string>> strings;  // key, value (UTF-8)
};

// A whole VS_VERSIONINFO block for info.
std::vector<std::uint8_t> buildVersionBlock(const VersionInfo& info);

// Helpers for building nodes by hand.
std::u16string utf16(std::string_view utf8);
VersionNode textNode(std::string_view key, std::string_view value);
VersionNode binaryNode(std::string_view key, std::vector<std::uint8_t> value);

}  // namespace components
