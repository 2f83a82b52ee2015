// Test entry for everything that needs the application object: headless, with settings in a folder of
// the test's own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/controls/Application.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Every test process gets its own settings and cache homes, so nothing touches the user's.
  std::string home = (std::filesystem::temp_directory_path() / "tessaly-test-XXXXXX").string();
  if (!mkdtemp(home.data())) return 2;
  setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
  setenv("XDG_CACHE_HOME", (home + "/cache").c_str(), 1);
  setenv("TESSALY_TEST_HOME", home.c_str(), 1);
  platform::Application app(argc, argv);
  const int rc = RUN_ALL_TESTS();
  std::filesystem::remove_all(home);
  return rc;
}
