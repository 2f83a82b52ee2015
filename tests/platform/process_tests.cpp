#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/core/Files.h"
#include "platform/core/Paths.h"
#include "platform/core/Process.h"

using Items = std::vector<std::string>;
namespace fs = std::filesystem;

namespace {
// A folder of this test's own.
fs::path freshFolder() {
  std::string dir = (fs::temp_directory_path() / "tessaly-process-XXXXXX").string();
  if (!mkdtemp(dir.data())) throw std::runtime_error("no temporary folder");
  return dir;
}
}  // namespace

TEST(CommandLine, SplitsAtBlanksAndControlCharactersAndQuotesKeepBlanks) {
  const struct {
    const char* line;
    Items items;
  } cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"prog", {"prog"}},
      {"  prog   a\tb\nc  ", {"prog", "a", "b", "c"}},
      {"\"/a b/pxwkproj\" \"/a b/tempbmp.bmp\"", {"/a b/pxwkproj", "/a b/tempbmp.bmp"}},
      {"\"/p $;&'`/x\" \"/p $;&'`/t.bmp\"", {"/p $;&'`/x", "/p $;&'`/t.bmp"}},
      {"prog /a b/c.bmp", {"prog", "/a", "b/c.bmp"}},
      {"prog \"\" x", {"prog", "", "x"}},
      {"pre\"fix mid\"post end", {"prefix midpost", "end"}},
      {"prog \"unclosed tail", {"prog", "unclosed tail"}},
      {"prog \"in\tquotes\"", {"prog", "in\tquotes"}},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::splitCommandLine(c.line), c.items) << c.line;
}

TEST(CommandLine, TheHelpViewerTakesTheRestOfTheLineAsOneArgument) {
  EXPECT_EQ(platform::commandLineArguments("\"/usr/bin/xdg-open\" /my progs/tlwkhelp.chm "),
            (Items{"/usr/bin/xdg-open", "/my progs/tlwkhelp.chm"}));
  EXPECT_EQ(platform::commandLineArguments("/usr/bin/xdg-open /my progs/pxwkhelp.chm"),
            (Items{"/usr/bin/xdg-open", "/my progs/pxwkhelp.chm"}));
  EXPECT_EQ(platform::commandLineArguments("\"/usr/bin/xdg-open\""), (Items{"/usr/bin/xdg-open"}));
  EXPECT_EQ(platform::commandLineArguments("/bin/echo a b"), (Items{"/bin/echo", "a", "b"}));
  EXPECT_EQ(platform::extractFileName(platform::helpViewerPath()), "xdg-open");
}

TEST(Process, AStartedProgramGetsItsArgumentsAndIsWaitedFor) {
  const fs::path home = freshFolder();
  const std::string out = (home / "touched by $HOME;").string();
  const int pid = platform::spawnProcess("/usr/bin/touch \"" + out + "\"");
  EXPECT_TRUE(platform::waitProcess(pid, platform::kInfinite));
  EXPECT_TRUE(fs::exists(out)) << "one argument, no shell expansion";
  fs::remove_all(home);
}

TEST(Process, ATimeLimitEndsTheWaitAndTerminateEndsTheProcess) {
  const auto t0 = std::chrono::steady_clock::now();
  const int pid = platform::spawnProcess("sleep 30");
  EXPECT_FALSE(platform::waitProcess(pid, 50));
  platform::killProcess(pid);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
  EXPECT_TRUE(platform::waitProcess(pid, 0)) << "reaped";
}

TEST(Process, AProgramThatCannotStartGivesItsErrorNumber) {
  const struct {
    const char* line;
    int code;
  } cases[] = {{"/no/such/program arg", ENOENT}, {"\"\"", ENOENT}};
  for (const auto& c : cases) {
    try {
      platform::spawnProcess(c.line);
      ADD_FAILURE() << c.line << " started";
    } catch (const platform::ProcessError& e) {
      EXPECT_EQ(e.code(), c.code) << c.line;
    }
  }
}

TEST(Folders, AFolderNobodyMayWriteIsNotWritableAndTheCacheFolderIsMadeWhenNeeded) {
  const fs::path home = freshFolder();
  const fs::path closed = home / "closed";
  fs::create_directories(closed);
  chmod(closed.c_str(), 0555);
  EXPECT_FALSE(platform::folderWritable(closed.string()));
  EXPECT_TRUE(platform::folderWritable(home.string()));
  EXPECT_FALSE(platform::folderWritable((home / "missing").string()));
  chmod(closed.c_str(), 0755);

  setenv("XDG_CACHE_HOME", (home / "cache dir").c_str(), 1);
  const std::string folder = platform::userCacheFolder("Halvorn", "tlwkproj");
  EXPECT_EQ(folder, (home / "cache dir" / "Halvorn" / "tlwkproj").string() + "/");
  EXPECT_TRUE(fs::is_directory(folder));
  unsetenv("XDG_CACHE_HOME");
  fs::remove_all(home);
}
