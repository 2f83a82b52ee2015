#include "components/getver.h"

#include <cstdio>

#include "components/ProgramFile.h"
#include "components/VersionBlock.h"
#include "platform/core/Files.h"

namespace components {

const char* const TGetVersionInfoFromFile::kKeys[8] = {"CompanyName",  "FileDescription", "FileVersion",
                                                       "InternalName", "LegalCopyright",  "OriginalFilename",
                                                       "ProductName",  "ProductVersion"};

namespace {
// Room for a value, as the platform's single-byte query gives it.
constexpr std::size_t kValueRoom = 256;
}  // namespace

TGetVersionInfoFromFile::TGetVersionInfoFromFile() = default;

void TGetVersionInfoFromFile::storeLists(std::vector<std::string> strings,
                                         std::vector<std::string> categories) {
  strings_ = std::move(strings);
  categories_ = std::move(categories);
}

void TGetVersionInfoFromFile::setFileName(const std::string& name) {
  strings_.clear();
  categories_.clear();
  if (!name.empty() && platform::fileExists(name)) {
    fileName_ = name;
    LoadVersionInfo();
  } else {
    fileName_.clear();
  }
}

void TGetVersionInfoFromFile::LoadVersionInfo() {
  if (const auto block = readVersionResource(fileName_)) readVersionStrings(*block, categories_, strings_);
}

void readVersionStrings(std::span<const std::uint8_t> block, std::vector<std::string>& categories,
                        std::vector<std::string>& strings) {
  const auto root = parseVersionBlock(block);
  if (!root || !queryVersionValue(*root, "\\")) return;
  const auto translation = queryVersionValue(*root, "\\VarFileInfo\\Translation");
  if (!translation || translation->bytes.size() < 4) return;
  const auto& t = translation->bytes;
  const unsigned language = t[0] | t[1] << 8;
  const unsigned codePage = t[2] | t[3] << 8;
  char table[9];
  std::snprintf(table, sizeof table, "%04X%04X", language, codePage);
  for (const char* key : TGetVersionInfoFromFile::kKeys) {
    const auto value = queryVersionValue(*root, std::string("\\StringFileInfo\\") + table + "\\" + key);
    if (!value) return;
    if (value->length == 0) continue;
    categories.push_back(key);
    strings.push_back(versionText(*value, kValueRoom));
  }
}

}  // namespace components
