#include "components/VersionBlock.h"

#include <cstdio>
#include <stdexcept>

#include "platform/core/Bytes.h"

namespace components {

namespace {

using platform::appendLe16;
using platform::appendLe32;

// Children nest a few levels in real blocks; deeper nesting is not followed.
constexpr int kMaxDepth = 16;

std::size_t align4(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

// Parses the node at pos inside [pos, limit); nothing when its header or length is unsound.
std::optional<VersionNode> parseNode(std::span<const std::uint8_t> b, std::size_t pos, std::size_t limit,
                                     int depth, std::size_t& length) {
  if (limit - pos < 6) return std::nullopt;
  length = platform::readLe16(b.data() + pos);
  if (length < 6 || length > limit - pos) return std::nullopt;
  const std::size_t end = pos + length;
  VersionNode node;
  const std::uint16_t valueLength = platform::readLe16(b.data() + pos + 2);
  node.type = platform::readLe16(b.data() + pos + 4);
  std::size_t p = pos + 6;
  for (;;) {
    if (end - p < 2) return std::nullopt;  // the key has no terminating null inside the node
    const std::uint16_t c = platform::readLe16(b.data() + p);
    p += 2;
    if (c == 0) break;
    node.key.push_back(static_cast<char16_t>(c));
  }
  p = std::min(align4(p), end);
  const std::size_t unit = node.type == 1 ? 2 : 1;
  const std::size_t wanted = valueLength * unit;
  const std::size_t taken = std::min(wanted, (end - p) / unit * unit);
  node.value.assign(b.begin() + static_cast<std::ptrdiff_t>(p),
                    b.begin() + static_cast<std::ptrdiff_t>(p + taken));
  node.valueLength = static_cast<std::uint16_t>(taken / unit);
  std::size_t c = align4(p + wanted);
  if (depth >= kMaxDepth) return node;
  while (c < end && end - c >= 6) {
    std::size_t childLength = 0;
    auto child = parseNode(b, c, end, depth + 1, childLength);
    if (!child) break;
    node.children.push_back(std::move(*child));
    c = align4(c + childLength);  // every child is at least 6 bytes long, so this always moves on
  }
  return node;
}

bool sameKey(const std::u16string& key, std::string_view part) {
  if (key.size() != part.size()) return false;
  auto fold = [](char32_t c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; };
  for (std::size_t i = 0; i < key.size(); ++i)
    if (fold(key[i]) != fold(static_cast<unsigned char>(part[i]))) return false;
  return true;
}

void pad4(std::vector<std::uint8_t>& out) {
  while (out.size() % 4) out.push_back(0);
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::uint32_t packVersion(const std::uint16_t (&v)[4], int high) {
  return static_cast<std::uint32_t>(v[high]) << 16 | v[high + 1];
}

}  // namespace

std::optional<VersionNode> parseVersionBlock(std::span<const std::uint8_t> block) {
  if (block.size() > kMaxVersionBlock) block = block.first(kMaxVersionBlock);
  std::size_t length = 0;
  auto root = parseNode(block, 0, block.size(), 0, length);
  if (!root || root->key != u"VS_VERSION_INFO") return std::nullopt;
  return root;
}

std::optional<VersionValue> queryVersionValue(const VersionNode& root, std::string_view path) {
  const VersionNode* node = &root;
  std::size_t i = 0;
  while (i < path.size()) {
    if (path[i] == '\\') {
      ++i;
      continue;
    }
    const std::size_t next = std::min(path.find('\\', i), path.size());
    const std::string_view part = path.substr(i, next - i);
    const VersionNode* found = nullptr;
    for (const VersionNode& child : node->children)
      if (sameKey(child.key, part)) {
        found = &child;
        break;
      }
    if (!found) return std::nullopt;
    node = found;
    i = next;
  }
  return VersionValue{node->value, node->valueLength};
}

std::string versionText(const VersionValue& value, std::size_t maxChars) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < value.bytes.size() && units.size() < maxChars; i += 2) {
    const auto c = static_cast<char16_t>(value.bytes[i] | (value.bytes[i + 1] << 8));
    if (c == 0) break;
    units.push_back(c);
  }
  std::string out;
  for (std::size_t i = 0; i < units.size(); ++i) {
    char32_t c = units[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;  // an unpaired surrogate
    }
    appendUtf8(out, c);
  }
  return out;
}

std::vector<std::uint8_t> encodeVersionNode(const VersionNode& node) {
  std::vector<std::uint8_t> out(6, 0);
  for (char16_t c : node.key) appendLe16(out, c);
  appendLe16(out, 0);
  pad4(out);
  out.insert(out.end(), node.value.begin(), node.value.end());
  for (const VersionNode& child : node.children) {
    pad4(out);
    const auto bytes = encodeVersionNode(child);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  if (out.size() > kMaxVersionBlock) throw std::length_error("version block longer than 65535 bytes");
  out[0] = static_cast<std::uint8_t>(out.size());
  out[1] = static_cast<std::uint8_t>(out.size() >> 8);
  out[2] = static_cast<std::uint8_t>(node.valueLength);
  out[3] = static_cast<std::uint8_t>(node.valueLength >> 8);
  out[4] = static_cast<std::uint8_t>(node.type);
  out[5] = static_cast<std::uint8_t>(node.type >> 8);
  return out;
}

std::u16string utf16(std::string_view s) {
  std::u16string out;
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    char32_t c = 0xFFFD;
    std::size_t n = 1;
    if (b < 0x80) {
      c = b;
    } else if ((b >> 5) == 6 && i + 1 < s.size()) {
      c = (b & 0x1F) << 6 | (s[i + 1] & 0x3F);
      n = 2;
    } else if ((b >> 4) == 14 && i + 2 < s.size()) {
      c = (b & 0x0F) << 12 | (s[i + 1] & 0x3F) << 6 | (s[i + 2] & 0x3F);
      n = 3;
    } else if ((b >> 3) == 30 && i + 3 < s.size()) {
      c = (b & 0x07) << 18 | (s[i + 1] & 0x3F) << 12 | (s[i + 2] & 0x3F) << 6 | (s[i + 3] & 0x3F);
      n = 4;
    }
    i += n;
    if (c >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

VersionNode textNode(std::string_view key, std::string_view value) {
  VersionNode n;
  n.key = utf16(key);
  n.type = 1;
  const std::u16string v = utf16(value);
  for (char16_t c : v) appendLe16(n.value, c);
  appendLe16(n.value, 0);
  n.valueLength = static_cast<std::uint16_t>(v.size() + 1);
  return n;
}

VersionNode binaryNode(std::string_view key, std::vector<std::uint8_t> value) {
  VersionNode n;
  n.key = utf16(key);
  n.type = 0;
  n.valueLength = static_cast<std::uint16_t>(value.size());
  n.value = std::move(value);
  return n;
}

std::vector<std::uint8_t> buildVersionBlock(const VersionInfo& info) {
  std::vector<std::uint8_t> fixed;
  appendLe32(fixed, 0xFEEF04BD);  // signature
  appendLe32(fixed, 0x00010000);  // structure version 1.0
  appendLe32(fixed, packVersion(info.fixed.fileVersion, 0));
  appendLe32(fixed, packVersion(info.fixed.fileVersion, 2));
  appendLe32(fixed, packVersion(info.fixed.productVersion, 0));
  appendLe32(fixed, packVersion(info.fixed.productVersion, 2));
  appendLe32(fixed, 0x3F);  // flags mask
  appendLe32(fixed, 0);     // flags
  appendLe32(fixed, info.fixed.fileOS);
  appendLe32(fixed, info.fixed.fileType);
  appendLe32(fixed, 0);  // subtype
  appendLe32(fixed, 0);  // date, high
  appendLe32(fixed, 0);  // date, low
  VersionNode root = binaryNode("VS_VERSION_INFO", fixed);

  char tableKey[9];
  std::snprintf(tableKey, sizeof tableKey, "%04X%04X", info.language, info.codePage);
  VersionNode table;
  table.key = utf16(tableKey);
  table.type = 1;
  for (const auto& [key, value] : info.strings) table.children.push_back(textNode(key, value));
  VersionNode strings;
  strings.key = u"StringFileInfo";
  strings.type = 1;
  strings.children.push_back(std::move(table));

  std::vector<std::uint8_t> translation;
  appendLe16(translation, info.language);
  appendLe16(translation, info.codePage);
  VersionNode vars;
  vars.key = u"VarFileInfo";
  vars.type = 1;
  vars.children.push_back(binaryNode("Translation", translation));

  root.children.push_back(std::move(strings));
  root.children.push_back(std::move(vars));
  return encodeVersionNode(root);
}

}  // namespace components
