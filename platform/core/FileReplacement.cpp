#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <utility>

#include "platform/core/Files.h"

namespace platform {

namespace {

[[noreturn]] void failWrite(const std::string& path, int error) {
  throw FileError("Cannot write \"" + path + "\": " + std::strerror(error));
}

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a write to path lands in: links are followed, also a dangling one, whose target a plain write
// would create.
std::string resolveTarget(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      if (current != path) {
        char real[PATH_MAX];
        if (realpath(current.c_str(), real) != nullptr) return real;
      }
      return current;
    }
    char link[PATH_MAX];
    const ssize_t n = readlink(current.c_str(), link, sizeof link - 1);
    if (n < 0) failWrite(path, errno);
    link[n] = '\0';
    current = link[0] == '/' ? std::string(link) : folderOf(current) + "/" + link;
  }
  failWrite(path, ELOOP);
}

mode_t currentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
  }
  // Without /proc the mask can only be read by setting it.
  const mode_t mask = umask(022);
  umask(mask);
  return mask;
}

}  // namespace

namespace {

constexpr std::size_t kRandomLength = 6, kCheckLength = 8;
constexpr const char* kSavingSuffix = ".saving";
constexpr std::size_t kSavingSuffixLength = 7;
// Room in a 255-byte name for ".", ".", the random part, "-", the check and the suffix.
constexpr std::size_t kMaxNamePart = 255 - 3 - kRandomLength - kCheckLength - kSavingSuffixLength;

std::string nameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The check that marks a new file's name as this code's: a hash of the rest of the name under a key of
// our own, which no name a user types matches by chance.
std::string savingCheck(const std::string& head) {
  std::uint32_t h = 2166136261u;
  for (const char c : std::string("Halvorn saving mark 1\n") + head) {
    h ^= static_cast<unsigned char>(c);
    h *= 16777619u;
  }
  char hex[kCheckLength + 1];
  std::snprintf(hex, sizeof hex, "%08x", h);
  return hex;
}

// ".NAME.RRRRRR", the part of a new file's name the check covers (NAME cut to fit a file name).
std::string savingHead(const std::string& name, const std::string& random) {
  return "." + name.substr(0, kMaxNamePart) + "." + random;
}
std::string savingName(const std::string& name, const std::string& random) {
  const std::string head = savingHead(name, random);
  return head + "-" + savingCheck(head) + kSavingSuffix;
}

bool isSavingNameOf(const std::string& entry, const std::string& name) {
  const std::string prefix = "." + name.substr(0, kMaxNamePart) + ".";
  if (entry.size() != prefix.size() + kRandomLength + 1 + kCheckLength + kSavingSuffixLength ||
      entry.compare(0, prefix.size(), prefix) != 0)
    return false;
  const std::string random = entry.substr(prefix.size(), kRandomLength);
  return std::all_of(random.begin(), random.end(), [](unsigned char c) { return std::isalnum(c); }) &&
         entry == savingName(name, random);
}

// Removes a file of ours that a killed save left: a regular file of the user's with one link that no live
// save holds locked.
void removeIfUnheld(int dir, const std::string& entry) {
  const int fd = openat(dir, entry.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() && st.st_nlink == 1 &&
      flock(fd, LOCK_EX | LOCK_NB) == 0)
    unlinkat(dir, entry.c_str(), 0);
  close(fd);
}

// Removes the new files that a killed save left beside a target: names of our form that no live save holds.
void removeLeftovers(const std::string& folder, const std::string& name) {
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return;
  std::vector<std::string> found;
  if (DIR* list = fdopendir(dup(dir))) {
    while (const dirent* e = readdir(list))
      if (isSavingNameOf(e->d_name, name)) found.push_back(e->d_name);
    closedir(list);
  }
  for (const auto& entry : found) removeIfUnheld(dir, entry);
  close(dir);
}

std::string randomPart() {
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device device;
  std::string out;
  for (std::size_t i = 0; i < kRandomLength; ++i) out += letters[device() % (sizeof letters - 1)];
  return out;
}

// An unnamed file that holds what an in-place target of a set without a journal receives until it is
// written, in the temporary folder. Nothing of it stays when the program ends, however it ends.
int openScratch(const std::string& path) {
  std::vector<std::string> folders;
  if (const char* tmp = std::getenv("TMPDIR"); tmp && tmp[0] == '/') folders.push_back(tmp);
  folders.push_back("/tmp");
  int error = ENOENT;
  for (const auto& folder : folders) {
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    error = errno;
    if (error != EOPNOTSUPP && error != EISDIR && error != EINVAL) continue;
    std::string name = folder + "/.scratch.XXXXXX";
    fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0) {
      unlink(name.c_str());
      return fd;
    }
    error = errno;
  }
  throw FileError("Cannot write \"" + path + "\": no scratch file can be made: " + std::strerror(error));
}

[[noreturn]] void failIrregular(const std::string& path) {
  throw FileError("Cannot write \"" + path + "\": it is not a regular file");
}

}  // namespace

namespace {

[[noreturn]] void failJournal(const std::string& path, const std::string& folder, int error) {
  throw FileError("Cannot write \"" + path + "\": no record of the save can be kept in \"" + folder +
                  "\": " + std::strerror(error));
}

std::function<void()>& stepHook() {
  static std::function<void()> hook;
  return hook;
}
void step() {
  if (stepHook()) stepHook()();
}

void syncFolder(const std::string& folder) {
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
}

// A record names its files whole, whatever folder the program runs in when it is finished.
std::string absolute(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char here[PATH_MAX];
  return getcwd(here, sizeof here) != nullptr ? std::string(here) + "/" + path : path;
}

std::vector<std::string> foldersOf(const std::vector<std::string>& paths) {
  std::vector<std::string> folders;
  for (const auto& p : paths) {
    const std::string folder = folderOf(p);
    if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
  }
  return folders;
}

// Gives an in-place target back the room a reservation took past its end; its contents are whole anyway.
void restoreSize(int fd, std::uint64_t size) {
  if (ftruncate(fd, static_cast<off_t>(size)) != 0) {
  }
}

// Takes the room an in-place target's new contents need past its old end, without changing its length:
// a kill before the copy leaves the old file exactly.
int reserve(int fd, std::uint64_t oldSize, std::uint64_t newSize) {
  if (newSize <= oldSize) return 0;
  // A reservation that keeps the length is not held to the file-size limit, which the copy would meet.
  rlimit limit{};
  if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && newSize > limit.rlim_cur)
    return EFBIG;
  if (fallocate(fd, FALLOC_FL_KEEP_SIZE, static_cast<off_t>(oldSize), static_cast<off_t>(newSize - oldSize)) ==
      0)
    return 0;
  return errno == EOPNOTSUPP || errno == ENOSYS || errno == EINVAL ? 0 : errno;
}

void copyInto(const std::string& path, int from, int to, std::uint64_t size) {
  std::vector<std::uint8_t> buffer(std::size_t{1} << 20);
  for (std::uint64_t offset = 0; offset < size;) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size - offset));
    const ssize_t n = pread(from, buffer.data(), want, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) failWrite(path, n < 0 ? errno : EIO);
    for (ssize_t done = 0; done < n;) {
      const ssize_t m = pwrite(to, buffer.data() + done, static_cast<std::size_t>(n - done),
                               static_cast<off_t>(offset) + done);
      if (m < 0 && errno == EINTR) continue;
      if (m < 0) failWrite(path, errno);
      done += m;
    }
    offset += static_cast<std::uint64_t>(n);
    step();
  }
  if (ftruncate(to, static_cast<off_t>(size)) != 0) failWrite(path, errno);
  if (fsync(to) != 0) failWrite(path, errno);
}

// A record of a journaled replacement: what goes where, in the order it is done, then a check over all
// of it. A rename takes a new file beside its target over it; a copy writes a file of the journal folder
// into its target and cuts the target to that size.
struct Step {
  bool copy = false;
  std::string from, target;
  std::uint64_t size = 0;
};

constexpr const char* kRecordHead = "file replacement record 1\n";
constexpr const char* kRecordSuffix = ".journal";
constexpr std::size_t kMaxRecordBytes = 1 << 20;

std::string recordCheck(const std::string& text) {
  std::uint64_t h = 14695981039346656037ull;
  for (const char c : std::string("Halvorn replacement record\n") + text) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
  return hex;
}

std::string encodeRecord(const std::vector<Step>& steps) {
  std::string text = kRecordHead;
  for (const Step& s : steps) {
    text += s.copy ? "C " : "R ";
    text += std::to_string(s.from.size()) + ":" + s.from + " " + std::to_string(s.target.size()) + ":" +
            s.target + " " + std::to_string(s.size) + "\n";
  }
  return text + "check " + recordCheck(text) + "\n";
}

// The steps of a whole record; false when it is torn or was not written by encodeRecord.
bool decodeRecord(const std::string& bytes, std::vector<Step>& steps) {
  const std::string head = kRecordHead;
  const std::size_t checkAt = bytes.rfind("check ");
  if (bytes.compare(0, head.size(), head) != 0 || checkAt == std::string::npos ||
      bytes.size() != checkAt + 6 + 16 + 1 || bytes.back() != '\n' ||
      bytes.compare(checkAt + 6, 16, recordCheck(bytes.substr(0, checkAt))) != 0)
    return false;
  std::size_t at = head.size();
  const auto field = [&](std::string& out) {
    const std::size_t colon = bytes.find(':', at);
    if (colon == std::string::npos || colon == at || colon - at > 6) return false;
    const std::size_t length = std::strtoul(bytes.substr(at, colon - at).c_str(), nullptr, 10);
    if (colon + 1 + length + 1 > checkAt || bytes[colon + 1 + length] != ' ') return false;
    out = bytes.substr(colon + 1, length);
    at = colon + 1 + length + 1;
    return true;
  };
  while (at < checkAt) {
    Step s;
    if (bytes.compare(at, 2, "C ") != 0 && bytes.compare(at, 2, "R ") != 0) return false;
    s.copy = bytes[at] == 'C';
    at += 2;
    if (!field(s.from) || !field(s.target)) return false;
    const std::size_t end = bytes.find('\n', at);
    if (end == std::string::npos || end >= checkAt || end == at) return false;
    const std::string size = bytes.substr(at, end - at);
    if (!std::all_of(size.begin(), size.end(), [](unsigned char c) { return std::isdigit(c); })) return false;
    s.size = std::strtoull(size.c_str(), nullptr, 10);
    at = end + 1;
    steps.push_back(std::move(s));
  }
  return !steps.empty();
}

// "RRRRRR-CCCCCCCC.journal", the check covering the random part.
std::string recordName(const std::string& random) {
  return random + "-" + savingCheck("journal " + random) + kRecordSuffix;
}
bool isRecordName(const std::string& entry) {
  const std::size_t length = kRandomLength + 1 + kCheckLength + std::strlen(kRecordSuffix);
  return entry.size() == length && entry == recordName(entry.substr(0, kRandomLength));
}
// A record while it is written: its name and ".part".
bool isPartialRecordName(const std::string& entry) {
  return entry.size() > 5 && entry.compare(entry.size() - 5, 5, ".part") == 0 &&
         isRecordName(entry.substr(0, entry.size() - 5));
}
// ".NAME.RRRRRR-CCCCCCCC.saving", for whatever NAME.
bool isAsideName(const std::string& entry) {
  const std::size_t tail = 1 + kRandomLength + 1 + kCheckLength + kSavingSuffixLength;
  if (entry.size() <= tail + 1 || entry[0] != '.') return false;
  return isSavingNameOf(entry, entry.substr(1, entry.size() - tail - 1));
}

// A file of the journal folder, or beside a target, that may be acted on: a regular file of the current
// user with one name.
bool ownFile(int dir, const std::string& name, struct stat& st) {
  return fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
         st.st_uid == geteuid() && st.st_nlink == 1;
}

bool readRecord(int fd, std::string& bytes) {
  struct stat st;
  if (fstat(fd, &st) != 0 || st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > kMaxRecordBytes)
    return false;
  bytes.resize(static_cast<std::size_t>(st.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Whether every step of a record is one this code would have written for the targets in `files`: a
// rename only of a file of the new-file form beside its own target, a copy only from a file of that form
// in the journal folder, whole.
bool stepsBelong(int journal, const std::vector<Step>& steps, const std::vector<std::string>& files) {
  for (const Step& s : steps) {
    if (s.target.empty() || s.target[0] != '/' ||
        std::find(files.begin(), files.end(), s.target) == files.end())
      return false;
    struct stat st;
    if (s.copy) {
      if (s.from.find('/') != std::string::npos || !isSavingNameOf(s.from, nameOf(s.target)) ||
          !ownFile(journal, s.from, st) || static_cast<std::uint64_t>(st.st_size) != s.size)
        return false;
    } else if (folderOf(s.from) != folderOf(s.target) || !isSavingNameOf(nameOf(s.from), nameOf(s.target))) {
      return false;
    }
  }
  return true;
}

// Does what a whole record says that is not done yet. A new file that is gone was renamed already; a
// copy is made again whole.
void redo(int journal, const std::vector<Step>& steps) {
  std::vector<std::string> targets;
  for (const Step& s : steps) {
    targets.push_back(s.target);
    if (s.copy) continue;
    const int dir = ::open(folderOf(s.from).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) failWrite(s.target, errno);
    struct stat st;
    const bool pending = ownFile(dir, nameOf(s.from), st);
    close(dir);
    if (pending && rename(s.from.c_str(), s.target.c_str()) != 0) failWrite(s.target, errno);
    step();
  }
  for (const auto& folder : foldersOf(targets)) syncFolder(folder);
  for (const Step& s : steps) {
    if (!s.copy) continue;
    const int from = openat(journal, s.from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (from < 0) failWrite(s.target, errno);
    const int to = ::open(s.target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat st;
    if (to < 0 || fstat(to, &st) != 0 || !S_ISREG(st.st_mode)) {
      const int e = to < 0 ? errno : EINVAL;
      close(from);
      if (to >= 0) close(to);
      failWrite(s.target, e);
    }
    try {
      copyInto(s.target, from, to, s.size);
    } catch (...) {
      close(from);
      close(to);
      throw;
    }
    close(from);
    close(to);
  }
}

}  // namespace

void removeSaveLeftovers(const std::string& target) {
  try {
    const std::string file = resolveTarget(target);
    removeLeftovers(folderOf(file), nameOf(file));
  } catch (const FileError&) {
    // A link that cannot be followed has nothing beside it to tidy.
  }
}

void finishInterruptedReplacements(const std::vector<std::string>& files, const std::string& journalFolder) {
  const int journal = ::open(journalFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (journal < 0) return;
  std::vector<std::string> targets;
  for (const auto& f : files) {
    try {
      targets.push_back(absolute(resolveTarget(f)));
    } catch (const FileError&) {
      // A link that cannot be followed names no file a record could hold.
    }
  }
  std::vector<std::string> entries;
  if (DIR* list = fdopendir(dup(journal))) {
    while (const dirent* e = readdir(list)) entries.push_back(e->d_name);
    closedir(list);
  }
  std::vector<std::string> kept;  // the files of the journal folder that records still name
  try {
    for (const auto& entry : entries) {
      if (!isRecordName(entry)) continue;
      struct stat st;
      if (!ownFile(journal, entry, st)) continue;
      const int fd = openat(journal, entry.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
      if (fd < 0) continue;
      std::vector<Step> steps;
      std::string bytes;
      // A record a live replacement holds is its own business; one that is gone was finished meanwhile.
      if (flock(fd, LOCK_EX | LOCK_NB) != 0 || fstat(fd, &st) != 0 || st.st_nlink == 0) {
        if (readRecord(fd, bytes) && decodeRecord(bytes, steps))
          for (const Step& s : steps) kept.push_back(s.from);
        close(fd);
        continue;
      }
      if (!readRecord(fd, bytes) || !decodeRecord(bytes, steps)) {
        unlinkat(journal, entry.c_str(), 0);
        close(fd);
        continue;
      }
      const bool touches = std::any_of(steps.begin(), steps.end(), [&](const Step& s) {
        return std::find(targets.begin(), targets.end(), s.target) != targets.end();
      });
      if (!touches) {
        for (const Step& s : steps) kept.push_back(s.from);
        close(fd);
        continue;
      }
      if (stepsBelong(journal, steps, targets)) {
        try {
          redo(journal, steps);
        } catch (...) {
          close(fd);
          throw;
        }
      }
      unlinkat(journal, entry.c_str(), 0);
      fsync(journal);
      step();
      close(fd);
    }
  } catch (...) {
    close(journal);
    throw;
  }
  // What a killed replacement made in the journal folder and no record names.
  for (const auto& entry : entries) {
    if (!isPartialRecordName(entry) && !isAsideName(entry)) continue;
    if (std::find(kept.begin(), kept.end(), entry) != kept.end()) continue;
    removeIfUnheld(journal, entry);
  }
  close(journal);
}

namespace testhooks {
void setReplacementStepHook(std::function<void()> hook) { stepHook() = std::move(hook); }
std::string sealReplacementRecord(const std::string& body) {
  return body + "check " + recordCheck(body) + "\n";
}
}  // namespace testhooks

void FileReplacement::Output::write(const void* data, std::size_t size) { writeAt(written_, data, size); }

void FileReplacement::Output::writeAt(std::uint64_t offset, const void* data, std::size_t size) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  while (size > 0) {
    const ssize_t n = ::pwrite(fd_, p, size, static_cast<off_t>(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      if (!aside_.empty()) failJournal(path_, folderOf(aside_) + "/", errno);
      failWrite(path_, errno);
    }
    p += n;
    size -= static_cast<std::size_t>(n);
    offset += static_cast<std::uint64_t>(n);
    written_ = std::max(written_, offset);
  }
}

FileReplacement::FileReplacement(const std::vector<std::string>& targets, const std::string& journalFolder)
    : journalFolder_(journalFolder) {
  if (!journalFolder_.empty() && journalFolder_.back() != '/') journalFolder_ += '/';
  try {
    for (const auto& target : targets) open(target);
  } catch (...) {
    discard();
    throw;
  }
}

FileReplacement::~FileReplacement() { discard(); }

void FileReplacement::discard() {
  for (auto& f : files_) {
    if (f->fd_ >= 0) close(f->fd_);
    if (f->targetFd_ >= 0) close(f->targetFd_);
    if (!f->temp_.empty()) unlink(f->temp_.c_str());
    if (!f->aside_.empty()) unlink(f->aside_.c_str());
  }
  files_.clear();
}

bool FileReplacement::journaled() const {
  return !journalFolder_.empty() &&
         (files_.size() > 1 ||
          std::any_of(files_.begin(), files_.end(), [](const auto& f) { return f->targetFd_ >= 0; }));
}

void FileReplacement::prepareJournalFolder(const std::string& path) const {
  if (const int error = detail::makeFolders(journalFolder_)) failJournal(path, journalFolder_, error);
}

void FileReplacement::open(const std::string& path) {
  if (path.empty()) failWrite(path, ENOENT);
  auto out = std::make_unique<Output>();
  Output& f = *out;
  files_.push_back(std::move(out));
  f.path_ = path;
  f.target_ = resolveTarget(path);
  struct stat st;
  f.exists_ = stat(f.target_.c_str(), &st) == 0;
  if (f.exists_) {
    if (S_ISDIR(st.st_mode)) failWrite(path, EISDIR);
    // A FIFO or a device is not replaced by a file, nor written, as the readers do not read them.
    if (!S_ISREG(st.st_mode)) failIrregular(path);
    if (access(f.target_.c_str(), W_OK) != 0) failWrite(path, errno);
    // A file nobody may write is not replaced behind the user's back, even by a user whom the
    // permission bits do not stop.
    if ((st.st_mode & 0222) == 0) failWrite(path, EACCES);
    f.mode_ = st.st_mode & 07777;
    f.uid_ = st.st_uid;
    f.gid_ = st.st_gid;
  } else {
    f.mode_ = 0666 & ~currentUmask();
  }

  const std::string folder = folderOf(f.target_), name = nameOf(f.target_);
  struct stat folderStat;
  bool inPlace =
      stat(folder.c_str(), &folderStat) == 0 && S_ISDIR(folderStat.st_mode) && !folderWritable(folder);
  if (!inPlace) {
    removeLeftovers(folder, name);
    for (int tries = 0; f.fd_ < 0; ++tries) {
      const std::string temp = folder + "/" + savingName(name, randomPart());
      f.fd_ = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
      if (f.fd_ >= 0) {
        f.temp_ = temp;
        // Held until the set ends, so that no other save takes it for a leftover.
        flock(f.fd_, LOCK_EX | LOCK_NB);
      } else if (errno == EACCES || errno == EPERM) {
        inPlace = true;
        break;
      } else if (errno != EEXIST || tries == 100) {
        failWrite(path, errno);
      }
    }
  }
  if (inPlace) {
    // The user's permission on the file says it may be written, though no new file can be made.
    if (!f.exists_) failWrite(path, EACCES);
    f.targetFd_ = ::open(f.target_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (f.targetFd_ < 0) failWrite(path, errno);
    // The name may have been given to something else since it was looked at.
    if (fstat(f.targetFd_, &st) != 0) failWrite(path, errno);
    if (!S_ISREG(st.st_mode)) failIrregular(path);
    f.oldSize_ = static_cast<std::uint64_t>(st.st_size);
    if (journalFolder_.empty()) {
      f.fd_ = openScratch(path);
    } else {
      // Named and on disk, so that a kill during the copy into the target can be made good from it.
      prepareJournalFolder(path);
      for (int tries = 0; f.fd_ < 0; ++tries) {
        const std::string aside = journalFolder_ + savingName(name, randomPart());
        f.fd_ = ::open(aside.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (f.fd_ >= 0) {
          f.aside_ = aside;
          flock(f.fd_, LOCK_EX | LOCK_NB);
        } else if (errno != EEXIST || tries == 100) {
          failJournal(path, journalFolder_, errno);
        }
      }
    }
  }
}

void FileReplacement::commit() {
  std::vector<Output*> reserved;
  const bool journal = journaled();
  int record = -1;
  std::string recordPath;
  bool recorded = false, keep = false;
  try {
    for (auto& f : files_) {
      if (f->temp_.empty()) continue;
      if (fsync(f->fd_) != 0) failWrite(f->path_, errno);
      if (f->exists_ && (f->uid_ != geteuid() || f->gid_ != getegid())) {
        if (fchown(f->fd_, f->uid_, f->gid_) != 0) {
          // Keeping the owner is best effort: only a privileged writer can give the file away.
        }
      }
      // After fchown, which clears set-id bits.
      if (fchmod(f->fd_, static_cast<mode_t>(f->mode_)) != 0) failWrite(f->path_, errno);
    }
    // Every in-place target takes its new size before any is written, so that a full disk stops the save
    // while the old contents are whole.
    for (auto& f : files_) {
      if (f->targetFd_ < 0) continue;
      if (!f->aside_.empty() && fsync(f->fd_) != 0) failWrite(f->path_, errno);
      reserved.push_back(f.get());
      if (const int e = reserve(f->targetFd_, f->oldSize_, f->written_)) failWrite(f->path_, e);
    }
    if (journal) {
      // The new files' names must be on disk before a record that relies on them.
      std::vector<std::string> beside;
      for (auto& f : files_)
        if (!f->temp_.empty()) beside.push_back(f->target_);
      for (const auto& folder : foldersOf(beside)) syncFolder(folder);
      step();
      std::vector<Step> steps;
      for (auto& f : files_)
        if (!f->temp_.empty()) steps.push_back({false, absolute(f->temp_), absolute(f->target_), 0});
      for (auto& f : files_)
        if (f->targetFd_ >= 0) steps.push_back({true, nameOf(f->aside_), absolute(f->target_), f->written_});
      const std::string text = encodeRecord(steps);
      prepareJournalFolder(files_.front()->path_);
      // Written under a name no reader takes, and renamed whole, held locked until it is removed.
      for (int tries = 0; record < 0; ++tries) {
        recordPath = journalFolder_ + recordName(randomPart());
        record =
            ::open((recordPath + ".part").c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (record < 0 && (errno != EEXIST || tries == 100))
          failJournal(files_.front()->path_, journalFolder_, errno);
      }
      flock(record, LOCK_EX | LOCK_NB);
      for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(record, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failJournal(files_.front()->path_, journalFolder_, errno);
        done += static_cast<std::size_t>(n);
      }
      if (fsync(record) != 0 || rename((recordPath + ".part").c_str(), recordPath.c_str()) != 0)
        failJournal(files_.front()->path_, journalFolder_, errno);
      recorded = true;
      const int dir = ::open(journalFolder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      if (dir < 0 || fsync(dir) != 0) {
        const int e = errno;
        if (dir >= 0) close(dir);
        failJournal(files_.front()->path_, journalFolder_, e);
      }
      close(dir);
      step();
    }
    // Back to back: nothing that can wait or fail for long stands between the first rename and the last.
    // The replaced files are held open meanwhile, so that freeing their blocks waits until all renames
    // are done.
    std::vector<int> replaced;
    for (auto& f : files_)
      if (!f->temp_.empty() && f->exists_)
        replaced.push_back(::open(f->target_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    int error = 0;
    std::string failedPath;
    bool renamedAny = false;
    for (auto& f : files_) {
      if (f->temp_.empty()) continue;
      if (rename(f->temp_.c_str(), f->target_.c_str()) != 0) {
        error = errno;
        failedPath = f->path_;
        break;
      }
      f->temp_.clear();
      renamedAny = true;
      if (journal) step();
    }
    for (const int fd : replaced)
      if (fd >= 0) close(fd);
    // Once a target is new, the record finishes the rest later; before, the set is dropped whole.
    keep = journal && renamedAny;
    if (error != 0) failWrite(failedPath, error);
  } catch (...) {
    for (Output* f : reserved) restoreSize(f->targetFd_, f->oldSize_);
    if (keep) {
      for (auto& f : files_) f->temp_.clear(), f->aside_.clear();
    } else if (record >= 0) {
      unlink((recorded ? recordPath : recordPath + ".part").c_str());
    }
    if (record >= 0) close(record);
    discard();
    throw;
  }
  std::vector<std::string> targets;
  for (auto& f : files_) targets.push_back(f->target_);
  if (journal) {
    for (const auto& folder : foldersOf(targets)) syncFolder(folder);
  }
  // Last, the in-place targets, in the order named. A failure here keeps the record, which finishes them.
  try {
    for (auto& f : files_) {
      if (f->targetFd_ < 0) continue;
      copyInto(f->path_, f->fd_, f->targetFd_, f->written_);
      if (journal) step();
    }
  } catch (...) {
    if (journal)
      for (auto& f : files_) f->aside_.clear();
    if (record >= 0) close(record);
    discard();
    throw;
  }
  if (journal) {
    // Not flushed: a record that comes back after a power cut finds its renames done, and its files in
    // the journal folder gone or whole, and is only removed again.
    unlink(recordPath.c_str());
    close(record);
    step();
  }
  discard();
  if (!journal)
    for (const auto& folder : foldersOf(targets)) syncFolder(folder);
}

}  // namespace platform
