#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "components/ProgramFile.h"
#include "components/VersionBlock.h"
#include "components/getver.h"
#include "tests/fuzz/FuzzTargets.h"

namespace fuzz {

namespace {

void readLists(std::span<const std::uint8_t> block) {
  std::vector<std::string> categories, strings;
  components::readVersionStrings(block, categories, strings);
  check(categories.size() == strings.size(), "the lists run in parallel");
  check(categories.size() <= 8, "at most the eight keys");
  for (const auto& s : strings) check(s.size() <= 3 * 256, "a value fits its room");
}

}  // namespace

int versionTarget(const std::uint8_t* data, std::size_t size) {
  readLists({data, size});
  const bool program = size >= 4 && ((data[0] == 'M' && data[1] == 'Z') ||
                                     (data[0] == 0x7F && data[1] == 'E' && data[2] == 'L' && data[3] == 'F'));
  if (!program) return 0;
  // Program files are read from disk, through the same reader as the about box.
  static const std::string path = "/tmp/tessaly-fuzz-program-" + std::to_string(getpid());
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  if (const auto block = components::readVersionResource(path)) {
    check(block->size() <= components::kMaxVersionBlock, "a block fits its 16-bit length");
    readLists(*block);
  }
  std::remove(path.c_str());
  return 0;
}

}  // namespace fuzz
