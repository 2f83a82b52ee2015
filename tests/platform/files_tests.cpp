#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/BmpFile.h"
#include "platform/core/Files.h"
#include "tests/support/BmpBytes.h"

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
    FileReplacement files({p});
    files.output(0).write(text.data(), text.size());
    files.commit();
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
  // A folder nobody may write holds no new file, for root too.
  fs::create_directory(dir_ / "locked");
  make("locked/old.txt", "old");
  chmod((dir_ / "locked").c_str(), 0555);
  cases.push_back({path("locked/new.txt"), "Permission denied"});
  for (const auto& c : cases) {
    const std::string error = errorOf([&] { write(c.target, "data"); });
    EXPECT_NE(error.find(c.error), std::string::npos) << c.target << ": " << error;
    EXPECT_NE(error.find(c.target), std::string::npos) << error;
  }
  EXPECT_TRUE(fs::is_empty(dir_ / "folder"));
  EXPECT_EQ(entries(), 3u);
  EXPECT_EQ(read(path("locked/old.txt")), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "locked"), {}), 1);
  chmod((dir_ / "locked").c_str(), 0755);
}

// A shared folder the user may not write, holding a file the user may: no new file can be made beside it,
// so the file itself is written. Root ignores the bits on folders, so for root the writer runs as
// "nobody" in a child process, and the folder belongs to root as a shared folder would.
TEST_F(Files, AWritableFileInAReadOnlyFolderIsWrittenInPlace) {
  fs::create_directory(dir_ / "shared");
  make("shared/tile.bmp", "the old and longer contents", 0664);
  const bool root = geteuid() == 0;
  const uid_t nobody = 65534;
  if (root) {
    chmod(dir_.c_str(), 0755);
    ASSERT_EQ(chown(path("shared/tile.bmp").c_str(), nobody, nobody), 0);
  }
  chmod((dir_ / "shared").c_str(), 0555);
  const auto saveTile = [&] {
    Bitmap b(2, 2);
    b.setPixel(1, 1, clBlack);
    saveBmpFile(path("shared/tile.bmp"), b);
  };
  if (root) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (setgid(nobody) != 0 || setuid(nobody) != 0) _exit(2);
      try {
        saveTile();
      } catch (...) {
        _exit(1);
      }
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  } else {
    saveTile();
  }
  EXPECT_EQ(loadBmpFile(path("shared/tile.bmp")).pixel(1, 1), clBlack);
  EXPECT_EQ(fs::file_size(path("shared/tile.bmp")), testing_support::bmpBytes(Bitmap(2, 2)).size());
  EXPECT_EQ(modeOf(path("shared/tile.bmp")), 0664u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "shared"), {}), 1);
  chmod((dir_ / "shared").c_str(), 0755);
}

// A save that was killed leaves its new file; the next save of the same file removes it, but not one a
// live save holds, nor the user's own files, however much their names look like ours.
TEST_F(Files, ASaveRemovesOnlyWhatAKilledSaveLeftBesideItsTarget) {
  make("level.prj", "old");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    FileReplacement killed({path("level.prj")});
    killed.output(0).write("lost", 4);
    _exit(0);  // no clean-up runs, as when the program is killed
  }
  waitpid(child, nullptr, 0);
  const auto ours = [&] {
    std::vector<std::string> found;
    for (const auto& e : fs::directory_iterator(dir_))
      if (e.path().filename().string().rfind(".level.prj.", 0) == 0) found.push_back(e.path().filename());
    return found;
  };
  const std::vector<std::string> left = ours();
  ASSERT_EQ(left.size(), 1u) << "a killed save leaves its new file";
  const std::vector<std::string> users = {"level.prj.backup.saving", "level.prj.a1B2c3.saving",
                                          ".level.prj.a1B2c3-0badc0de.saving", "other.prj.a1B2c3.saving"};
  for (const auto& name : users) make(name, "mine");
  FileReplacement live({path("level.prj")});
  write(path("level.prj"), "new");
  EXPECT_EQ(read(path("level.prj")), "new");
  EXPECT_FALSE(fs::exists(path(left[0])));
  EXPECT_EQ(ours().size(), 2u) << "the live save's file and the user's look-alike stay";
  for (const auto& name : users) EXPECT_EQ(read(path(name)), "mine") << name;
}

// A FIFO or a device is neither written nor replaced by a file, also through a link: the save is refused
// before anything is made.
TEST_F(Files, TargetsThatAreNoRegularFilesAreRefusedAndKept) {
  ASSERT_EQ(mkfifo(path("pipe.bmp").c_str(), 0666), 0);
  fs::create_symlink(dir_ / "pipe.bmp", dir_ / "linked.bmp");
  fs::create_symlink("/dev/null", dir_ / "null.bmp");
  for (const char* name : {"pipe.bmp", "linked.bmp", "null.bmp"}) {
    const std::string error = errorOf([&] { saveBmpFile(path(name), Bitmap(2, 2)); });
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << name << ": " << error;
    EXPECT_NE(error.find(path(name)), std::string::npos) << error;
  }
  EXPECT_TRUE(fs::is_fifo(dir_ / "pipe.bmp"));
  EXPECT_EQ(fs::read_symlink(dir_ / "null.bmp"), "/dev/null");
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_EQ(entries(), 3u);
}

// Where a folder takes no new file the target is written in place, and only when nothing else can fail:
// every target is checked first, the files beside their targets are complete first, and the new size is
// reserved first. Root ignores the bits on folders but not here: a folder nobody may write is closed to
// every save.
TEST_F(Files, AnInPlaceTargetIsTouchedOnlyOnceNothingElseCanFail) {
  fs::create_directory(dir_ / "shared");
  fs::create_directory(dir_ / "open");
  const std::string old(1000, 'o'), grown(64 << 10, 'n');
  make("shared/level.bmp", old);
  make("shared/level.prj", "text", 0444);
  const auto limitFileSize = [](rlim_t bytes) {
    rlimit r{};
    getrlimit(RLIMIT_FSIZE, &r);
    r.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &r);
  };
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  chmod((dir_ / "shared").c_str(), 0555);
  const struct {
    const char* what;
    std::vector<std::string> targets;
    bool limitBeside, limitAtCommit;
    const char* error;
  } cases[] = {
      {"a target that cannot be made",
       {path("shared/level.bmp"), path("shared/level.vid")},
       false,
       false,
       "Permission denied"},
      {"a read-only target",
       {path("shared/level.bmp"), path("shared/level.prj")},
       false,
       false,
       "Permission denied"},
      {"a file beside its target that fails",
       {path("shared/level.bmp"), path("open/level.prj")},
       true,
       false,
       "File too large"},
      {"a disk too full for the new size", {path("shared/level.bmp")}, false, true, "File too large"},
  };
  for (const auto& c : cases) {
    const std::string error = errorOf([&] {
      FileReplacement files(c.targets);
      files.output(0).write(grown.data(), grown.size());
      if (c.limitBeside) limitFileSize(4096);
      if (c.targets.size() > 1) files.output(1).write(grown.data(), grown.size());
      if (c.limitAtCommit) limitFileSize(4096);
      files.commit();
    });
    limitFileSize(RLIM_INFINITY);
    EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
    EXPECT_EQ(read(path("shared/level.bmp")), old) << c.what;
  }
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "shared"), {}), 2);
  EXPECT_TRUE(fs::is_empty(dir_ / "open"));

  FileReplacement files({path("shared/level.bmp"), path("open/level.prj")});
  files.output(0).write("short", 5);
  files.output(1).write(grown.data(), grown.size());
  files.commit();
  EXPECT_EQ(read(path("shared/level.bmp")), "short");
  EXPECT_EQ(read(path("open/level.prj")), grown);
  chmod((dir_ / "shared").c_str(), 0755);
}

// The three files of a project, some in a folder that takes no new files (written in place) and some in
// one that does (renamed), with a journal folder of their own.
class Journal : public Files {
 protected:
  void SetUp() override {
    Files::SetUp();
    journal_ = path("cache/Halvorn/test/");
  }
  void TearDown() override {
    testhooks::setReplacementStepHook(nullptr);
    if (fs::exists(dir_ / "shared")) chmod((dir_ / "shared").c_str(), 0755);
    Files::TearDown();
  }

  // Old contents in every target; folders[i] is "open" or "shared" (read-only), for level.bmp, .vid, .prj.
  std::vector<std::string> lay(const std::vector<std::string>& folders) {
    if (fs::exists(dir_ / "shared")) chmod((dir_ / "shared").c_str(), 0755);
    for (const char* f : {"open", "shared"}) {
      fs::remove_all(dir_ / f);
      fs::create_directory(dir_ / f);
    }
    std::vector<std::string> targets;
    for (std::size_t i = 0; i < folders.size(); ++i) {
      targets.push_back(path(folders[i] + "/level." + kExt[i]));
      make(folders[i] + "/level." + kExt[i], oldOf(i));
    }
    chmod((dir_ / "shared").c_str(), 0555);
    return targets;
  }
  static constexpr const char* kExt[] = {"bmp", "vid", "prj"};
  // Longer than the copy's band in place, so that a copy can stop half way.
  static std::string oldOf(std::size_t i) { return "old " + std::string(1200000 + i, 'a' + i); }
  static std::string newOf(std::size_t i) { return "new " + std::string(2600000 - i * 700000, 'A' + i); }

  // 'o' when every target is old, 'n' when every one is new, else 'x'.
  static char state(const std::vector<std::string>& targets) {
    int olds = 0, news = 0;
    for (std::size_t i = 0; i < targets.size(); ++i) {
      const std::string now = read(targets[i]);
      olds += now == oldOf(i);
      news += now == newOf(i);
    }
    return olds == int(targets.size()) ? 'o' : news == int(targets.size()) ? 'n' : 'x';
  }

  // Runs f in a child stopped at its stop-th step, as a kill there would; whether it ran to its end.
  static bool runStopped(int stop, const std::function<void()>& f) {
    const pid_t child = fork();
    if (child == 0) {
      int steps = 0;
      testhooks::setReplacementStepHook([&] {
        if (++steps == stop) _exit(7);
      });
      try {
        f();
      } catch (...) {
        _exit(1);
      }
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 7)) << status;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

  void save(const std::vector<std::string>& targets) const {
    FileReplacement files(targets, journal_);
    for (std::size_t i = 0; i < targets.size(); ++i) files.output(i).write(newOf(i).data(), newOf(i).size());
    files.commit();
  }
  std::vector<std::string> journalEntries() const {
    std::vector<std::string> found;
    if (fs::exists(journal_))
      for (const auto& e : fs::directory_iterator(journal_)) found.push_back(e.path().filename());
    return found;
  }
  std::string recordFile() const {
    for (const auto& name : journalEntries())
      if (name.size() > 8 && name.compare(name.size() - 8, 8, ".journal") == 0) return journal_ + name;
    return "";
  }

  std::string journal_;
};

// A save stopped after each of its steps, on each path, and then finished as the next start or Open
// does: every target is old, or every one is new; once the record is on disk, every one is new.
TEST_F(Journal, ASaveStoppedAtAnyStepIsFinishedWholeOrNotAtAll) {
  const struct {
    const char* what;
    std::vector<std::string> folders;
  } layouts[] = {
      {"renames", {"open", "open", "open"}},
      {"in place", {"shared", "shared", "shared"}},
      {"split", {"shared", "open", "shared"}},
  };
  for (const auto& layout : layouts) {
    bool mixed = false;
    int stop = 1;
    for (;; ++stop) {
      SCOPED_TRACE(testing::Message() << layout.what << ", stopped at step " << stop);
      const std::vector<std::string> targets = lay(layout.folders);
      fs::remove_all(journal_);
      const bool ended = runStopped(stop, [&] { save(targets); });
      const bool recorded = !recordFile().empty();
      const char before = state(targets);
      mixed |= before == 'x';
      EXPECT_TRUE(recorded || before != 'x') << "a mix without a record";
      finishInterruptedReplacements(targets, journal_);
      EXPECT_EQ(state(targets), recorded ? 'n' : before);
      finishInterruptedReplacements(targets, journal_);
      EXPECT_EQ(state(targets), recorded ? 'n' : before);
      EXPECT_TRUE(journalEntries().empty()) << journalEntries().front();
      if (ended) break;
    }
    EXPECT_GT(stop, 6) << layout.what;
    EXPECT_TRUE(mixed) << layout.what << ": no stop came between the first target and the last";
  }
}

// The finishing is itself stopped at each of its steps, in place: the next one still ends whole and new.
TEST_F(Journal, FinishingStoppedAtAnyStepCanBeFinishedAgain) {
  const std::vector<std::string> folders = {"shared", "open", "shared"};
  for (int stop = 1;; ++stop) {
    SCOPED_TRACE(testing::Message() << "finishing stopped at step " << stop);
    const std::vector<std::string> targets = lay(folders);
    fs::remove_all(journal_);
    // Step 2 is the record on disk, before any target changes.
    runStopped(2, [&] { save(targets); });
    ASSERT_FALSE(recordFile().empty());
    const bool ended = runStopped(stop, [&] { finishInterruptedReplacements(targets, journal_); });
    finishInterruptedReplacements(targets, journal_);
    EXPECT_EQ(state(targets), 'n');
    EXPECT_TRUE(journalEntries().empty());
    if (ended) break;
  }
}

// A record is acted on only when it is whole and names only the files being finished, renames only files
// of our own form beside their own targets, and copies only from our own files in the journal folder.
// Any other is dropped with nothing written or removed; a record of other files waits for them.
TEST_F(Journal, ATornOrForeignRecordChangesNothing) {
  const std::vector<std::string> folders = {"open", "open", "open"};
  make("victim.txt", "the user's");
  make("open.backup", "the user's");
  const struct {
    const char* what;
    std::function<std::string(const std::string& record)> edit;  // the record's new bytes
    bool stays;
  } cases[] = {
      {"torn", [](const std::string& r) { return r.substr(0, r.size() / 2); }, false},
      {"a byte changed",
       [](const std::string& r) {
         std::string t = r;
         t[t.find("level.prj") + 6] ^= 1;
         return t;
       },
       false},
      {"also naming another file",
       [&](const std::string& r) {
         const std::string body = r.substr(0, r.rfind("check "));
         const std::string victim = path("victim.txt"), beside = path("open/.level.bmp.AAAAAA-00000000.saving");
         return testhooks::sealReplacementRecord(body + "R " + std::to_string(beside.size()) + ":" + beside +
                                                 " " + std::to_string(victim.size()) + ":" + victim + " 0\n");
       },
       false},
      {"renaming a file not of our form",
       [&](const std::string&) {
         const std::string from = path("open.backup"), to = path("open/level.prj");
         return testhooks::sealReplacementRecord("file replacement record 1\nR " + std::to_string(from.size()) +
                                                 ":" + from + " " + std::to_string(to.size()) + ":" + to +
                                                 " 0\n");
       },
       false},
      {"copying from outside the journal folder",
       [&](const std::string&) {
         const std::string from = "../../../victim.txt", to = path("open/level.bmp");
         return testhooks::sealReplacementRecord("file replacement record 1\nC " + std::to_string(from.size()) +
                                                 ":" + from + " " + std::to_string(to.size()) + ":" + to +
                                                 " 10\n");
       },
       false},
      {"of another project",
       [&](const std::string& r) {
         std::string t = r.substr(0, r.rfind("check "));
         for (std::size_t at; (at = t.find("/level.")) != std::string::npos;) t.replace(at, 7, "/other.");
         return testhooks::sealReplacementRecord(t);
       },
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<std::string> targets = lay(folders);
    fs::remove_all(journal_);
    runStopped(2, [&] { save(targets); });
    const std::string record = recordFile();
    ASSERT_FALSE(record.empty());
    const std::string edited = c.edit(read(record));
    std::ofstream(record, std::ios::trunc) << edited;
    const auto listed = [&] {
      std::vector<std::string> found;
      for (const auto& e : fs::recursive_directory_iterator(dir_)) found.push_back(e.path());
      std::sort(found.begin(), found.end());
      return found;
    };
    std::vector<std::string> before = listed();
    finishInterruptedReplacements(targets, journal_);
    EXPECT_EQ(state(targets), 'o');
    EXPECT_EQ(read(path("victim.txt")), "the user's");
    EXPECT_EQ(read(path("open.backup")), "the user's");
    const std::vector<std::string> after = listed();
    if (!c.stays) before.erase(std::find(before.begin(), before.end(), record));
    EXPECT_EQ(after, before);
  }
}

// Where no record can be kept (no cache folder can be made, or it is full), the save is refused with a
// message saying so, on either path, before any target changes.
TEST_F(Journal, ASaveWithoutRoomForItsRecordIsRefusedAndChangesNothing) {
  const std::string full = path("full");
  fs::create_directory(full);
  const bool mounted = mount("tmpfs", full.c_str(), "tmpfs", 0, "size=8k") == 0;
  if (mounted) {
    std::ofstream filler(full + "/filler");
    filler << std::string(64 << 10, 'f');
  }
  make("not a folder", "x");
  struct Case {
    std::string what, journal, error;
  };
  std::vector<Case> cases = {
      {"the cache folder is a file", path("not a folder") + "/Halvorn/", "Not a directory"}};
  if (mounted) cases.push_back({"the cache folder is full", full + "/", "No space left on device"});
  for (const auto& c : cases) {
    for (const auto& folders : {std::vector<std::string>{"open", "open", "open"},
                                std::vector<std::string>{"shared", "open", "shared"}}) {
      SCOPED_TRACE(c.what + (folders[0] == "open" ? ", renames" : ", in place"));
      const std::vector<std::string> targets = lay(folders);
      journal_ = c.journal;
      const std::string error = errorOf([&] { save(targets); });
      EXPECT_NE(error.find("no record of the save can be kept in \"" + c.journal + "\": " + c.error),
                std::string::npos)
          << error;
      EXPECT_EQ(state(targets), 'o');
      EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "open"), {}), folders[0] == "open" ? 3 : 1);
      EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "shared"), {}), folders[0] == "open" ? 0 : 2);
    }
  }
  if (mounted) {
    EXPECT_EQ(std::distance(fs::directory_iterator(full), {}), 1);
    umount(full.c_str());
  } else {
    GTEST_LOG_(INFO) << "no tmpfs could be mounted: the full cache folder is not tried";
  }
}

// Opening a FIFO waits for a writer and a device never ends: both are refused at once, before opening.
TEST_F(Files, OnlyRegularFilesAreRead) {
  ASSERT_EQ(mkfifo(path("pipe").c_str(), 0644), 0);
  for (const std::string& p : {path("pipe"), std::string("/dev/zero"), dir_.string()}) {
    const std::string error = errorOf([&] { RegularFile file(p); });
    EXPECT_NE(error.find(p), std::string::npos) << error;
    EXPECT_TRUE(error.find("not a regular file") != std::string::npos ||
                error.find("Is a directory") != std::string::npos)
        << error;
    EXPECT_THROW(loadBmpFile(p), FileError) << p;
  }
}

// Saving writes a band of rows at a time; the file is the bitmap's file form byte for byte, also across
// bands and in every format.
TEST_F(Files, SavedBitmapsHoldTheirFileFormAcrossBands) {
  struct Case {
    int w, h;
    PixelFormat f;
  };
  const Case cases[] = {{5, 3, PixelFormat::pf1bit},       {5, 3, PixelFormat::pf4bit},
                        {5, 3, PixelFormat::pf15bit},      {5, 3, PixelFormat::pf16bit},
                        {5, 3, PixelFormat::pf24bit},      {5, 3, PixelFormat::pf32bit},
                        {1027, 1500, PixelFormat::pf8bit}, {300000, 1, PixelFormat::pf24bit}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << " x " << c.h << ", " << bitsPerPixelOf(c.f) << " bits");
    Bitmap b(c.w, c.h, c.f);
    for (int y = 0; y < c.h; y += 7)
      for (int x = y % 5; x < c.w; x += 3) b.setPixel(x, y, rgb(x * 37, y * 11, x ^ y));
    saveBmpFile(path("saved.bmp"), b);
    const std::vector<std::uint8_t> expected = testing_support::bmpBytes(b);
    EXPECT_EQ(read(path("saved.bmp")), std::string(expected.begin(), expected.end()));
  }
  EXPECT_EQ(entries(), 1u);
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
