#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include "tests/fuzz/FuzzTargets.h"

namespace {

namespace fs = std::filesystem;

// Every file of a target's corpus, the inputs that once failed included, runs through the target again; a
// failing property aborts with the file named just before.
void replay(const char* target, int (*run)(const std::uint8_t*, std::size_t)) {
  const fs::path dir = fs::path(TESSALY_FUZZ_CORPUS) / target;
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.is_regular_file()) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  ASSERT_FALSE(files.empty()) << dir;
  for (const auto& f : files) {
    std::ifstream in(f, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    std::cerr << "replaying " << f << std::endl;
    EXPECT_EQ(run(bytes.data(), bytes.size()), 0) << f;
  }
}

TEST(FuzzCorpus, Bmp) {
  replay("bmp", fuzz::bmpTarget);
}
TEST(FuzzCorpus, Project) {
  replay("project", fuzz::projectTarget);
}
TEST(FuzzCorpus, Version) {
  replay("version", fuzz::versionTarget);
}

}  // namespace
