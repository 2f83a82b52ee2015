#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/bitmap/BmpFile.h"
#include "platform/system/Files.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

class Files : public testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "files_tests.XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  void make(const std::string& name, const std::string& text, mode_t mode = 0644) const {
    std::ofstream(path(name)) << text;
    chmod(path(name).c_str(), mode);
  }
  static std::string read(const std::string& p) {
    std::ifstream in(p);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static mode_t modeOf(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
  }
  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }
  static void write(const std::string& p, const std::string& text) {
    writeFileAtomic(p, text.data(), text.size());
  }

  fs::path dir_;
};

// Runs f and returns the FileError's text, or "" when nothing was thrown.
template <typename F>
std::string errorOf(F f) {
  try {
    f();
  } catch (const FileError& e) {
    return e.what();
  }
  return "";
}

TEST_F(Files, NewFilesTakeTheUmask) {
  const mode_t old = umask(027);
  write(path("new.txt"), "abc");
  umask(old);
  EXPECT_EQ(read(path("new.txt")), "abc");
  EXPECT_EQ(modeOf(path("new.txt")), 0640u);
  EXPECT_TRUE(fileExists(path("new.txt")));
  EXPECT_FALSE(fileExists(dir_.string()));
  EXPECT_FALSE(fileExists(path("absent")));
}

TEST_F(Files, ReplacingKeepsThePermissions) {
  for (const mode_t mode : {0600u, 0640u, 0755u, 0604u}) {
    make("keep.txt", "old", mode);
    write(path("keep.txt"), "new contents");
    EXPECT_EQ(read(path("keep.txt")), "new contents");
    EXPECT_EQ(modeOf(path("keep.txt")), mode);
    EXPECT_EQ(entries(), 1u);
  }
}

TEST_F(Files, WritesThroughSymbolicLinks) {
  fs::create_directory(dir_ / "real");
  make("real/target.txt", "old", 0640);
  fs::create_symlink("real/target.txt", dir_ / "relative");
  fs::create_symlink(dir_ / "relative", dir_ / "chained");
  write(path("chained"), "via link");
  EXPECT_TRUE(fs::is_symlink(dir_ / "chained"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "relative"));
  EXPECT_EQ(read(path("real/target.txt")), "via link");
  EXPECT_EQ(modeOf(path("real/target.txt")), 0640u);
  // A dangling link is written as a plain write would: its target is created.
  fs::create_symlink("real/made.txt", dir_ / "dangling");
  write(path("dangling"), "made");
  EXPECT_TRUE(fs::is_symlink(dir_ / "dangling"));
  EXPECT_EQ(read(path("real/made.txt")), "made");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "real"), {}), 2);
}

// Root passes every permission check, so a file nobody may write stands for a read-only one: it is refused
// for root too.
TEST_F(Files, ReadOnlyFilesAreRefusedAndKept) {
  make("locked.txt", "precious", 0444);
  const std::string error = errorOf([&] { write(path("locked.txt"), "lost"); });
  EXPECT_NE(error.find("Permission denied"), std::string::npos) << error;
  EXPECT_NE(error.find(path("locked.txt")), std::string::npos) << error;
  EXPECT_EQ(read(path("locked.txt")), "precious");
  EXPECT_EQ(entries(), 1u);
}

// A write that fails half way (here the file-size limit, which binds root as well) leaves the old file
// whole and no partial file.
TEST_F(Files, AFailedWriteLeavesTheOldFileAndNoTemporary) {
  make("big.txt", "old contents");
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string error = errorOf([&] { write(path("big.txt"), std::string(4096, 'x')); });
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_NE(error.find("File too large"), std::string::npos) << error;
  EXPECT_EQ(read(path("big.txt")), "old contents");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(Files, FoldersThatCannotHoldTheFileAreRefused) {
  make("plain.txt", "x");
  fs::create_directory(dir_ / "folder");
  struct Case {
    std::string target, error;
  };
  std::vector<Case> cases = {
      {path("missing/new.txt"), "No such file or directory"},
      {path("plain.txt/new.txt"), "Not a directory"},
      {path("folder"), "Is a directory"},
  };
  // Permission bits on a folder bind only users other than root.
  if (geteuid() != 0) {
    fs::create_directory(dir_ / "locked");
    make("locked/old.txt", "old");
    chmod((dir_ / "locked").c_str(), 0555);
    cases.push_back({path("locked/old.txt"), "Permission denied"});
  }
  for (const auto& c : cases) {
    const std::string error = errorOf([&] { write(c.target, "data"); });
    EXPECT_NE(error.find(c.error), std::string::npos) << c.target << ": " << error;
    EXPECT_NE(error.find(c.target), std::string::npos) << error;
  }
  EXPECT_TRUE(fs::is_empty(dir_ / "folder"));
  EXPECT_EQ(entries(), geteuid() != 0 ? 3u : 2u);
  if (geteuid() != 0) {
    EXPECT_EQ(read(path("locked/old.txt")), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "locked"), {}), 1);
    chmod((dir_ / "locked").c_str(), 0755);
  }
}

TEST_F(Files, ReadingRefusesFilesOverTheLimit) {
  make("data.bin", std::string(100, 'a'));
  EXPECT_EQ(readFileBytes(path("data.bin"), 100).size(), 100u);
  EXPECT_NE(errorOf([&] { readFileBytes(path("data.bin"), 99); }).find("larger than 99 bytes"),
            std::string::npos);
  EXPECT_NE(errorOf([&] { readFileBytes(path("none"), 99); }).find(path("none")), std::string::npos);
}

// Opening a FIFO waits for a writer and a device never ends: both are refused at once, before opening.
TEST_F(Files, OnlyRegularFilesAreRead) {
  ASSERT_EQ(mkfifo(path("pipe").c_str(), 0644), 0);
  for (const std::string& p : {path("pipe"), std::string("/dev/zero"), dir_.string()}) {
    const std::string error = errorOf([&] { readFileBytes(p, 1 << 20); });
    EXPECT_NE(error.find(p), std::string::npos) << error;
    EXPECT_TRUE(error.find("not a regular file") != std::string::npos ||
                error.find("Is a directory") != std::string::npos)
        << error;
    EXPECT_THROW(loadBmpFile(p), FileError) << p;
  }
}

TEST_F(Files, BitmapFilesNameThemselvesInErrors) {
  Bitmap b(3, 2, PixelFormat::pf4bit);
  b.setPixel(1, 1, clBlack);
  saveBmpFile(path("tile.bmp"), b);
  EXPECT_EQ(loadBmpFile(path("tile.bmp")), b);
  make("bad.bmp", "BMnot really");
  try {
    loadBmpFile(path("bad.bmp"));
    FAIL() << "read";
  } catch (const BitmapError& e) {
    EXPECT_NE(std::string(e.what()).find(path("bad.bmp")), std::string::npos) << e.what();
  }
  EXPECT_NE(errorOf([&] { loadBmpFile(path("missing.bmp")); }).find(path("missing.bmp")), std::string::npos);
}

}  // namespace
