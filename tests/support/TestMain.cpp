// Test entry for everything that needs the application object: headless, and every test with a home of its
// own for its settings, cache and files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/controls/Application.h"

namespace {

// A fresh home for each test, as ctest's process per test gives one: run whole or shuffled, no test meets
// the files or settings of an earlier one.
class HomePerTest : public ::testing::EmptyTestEventListener {
 public:
  explicit HomePerTest(std::string root) : root_(std::move(root)) {}

  void OnTestStart(const ::testing::TestInfo&) override {
    home_ = root_ + "/test-XXXXXX";
    if (!mkdtemp(home_.data())) std::abort();
    setenv("XDG_CONFIG_HOME", (home_ + "/config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home_ + "/cache").c_str(), 1);
    setenv("TESSALY_TEST_HOME", home_.c_str(), 1);
  }

  void OnTestEnd(const ::testing::TestInfo&) override {
    std::error_code ignored;
    std::filesystem::remove_all(home_, ignored);
  }

 private:
  std::string root_;
  std::string home_;
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Nothing touches the user's settings or cache: the process's own folder holds every test's home.
  std::string root = (std::filesystem::temp_directory_path() / "tessaly-test-XXXXXX").string();
  if (!mkdtemp(root.data())) return 2;
  ::testing::UnitTest::GetInstance()->listeners().Append(new HomePerTest(root));
  platform::Application app(argc, argv);
  const int rc = RUN_ALL_TESTS();
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return rc;
}
