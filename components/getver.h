#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace components {

// Reads the string table of a file's version resource: eight standard keys, in order, into two parallel
// lists (the values and the key each value belongs to).
class TGetVersionInfoFromFile {
 public:
  TGetVersionInfoFromFile();

  // Empties both lists; an existing file is stored and loaded, any other name stores the empty string.
  void setFileName(const std::string& name);
  const std::string& fileName() const { return fileName_; }

  const std::vector<std::string>& VersionStrings() const { return strings_; }
  const std::vector<std::string>& VersionCategories() const { return categories_; }
  // What a stored form puts into the lists before the first load.
  void storeLists(std::vector<std::string> strings, std::vector<std::string> categories);

  static const char* const kKeys[8];

 private:
  void LoadVersionInfo();
  std::string fileName_;
  std::vector<std::string> strings_;
  std::vector<std::string> categories_;
};

// What a load appends from a version block: the keys found, in order, and their values, stopping at the
// first key the string table lacks and skipping empty values.
void readVersionStrings(std::span<const std::uint8_t> block, std::vector<std::string>& categories,
                        std::vector<std::string>& strings);

}  // namespace components
