#include "platform/system/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
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

#include "platform/bitmap/LargeBlocks.h"

namespace platform {

namespace {

[[noreturn]] void failWrite(const std::string& path, int error) {
  throw FileError("Cannot write \"" + path + "\": " + std::strerror(error));
}
[[noreturn]] void failRead(const std::string& path, const std::string& why) {
  throw FileError("Cannot read \"" + path + "\": " + why);
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

bool fileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool folderWritable(const std::string& folder) {
  struct stat st;
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  return (st.st_mode & 0222) != 0 && access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string userCacheFolder(const std::string& organisation, const std::string& application) {
  std::string base;
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && cache[0] == '/') {
    base = cache;
  } else if (const char* home = std::getenv("HOME"); home && home[0]) {
    base = std::string(home) + "/.cache";
  } else {
    throw FileError("Cannot find the user's cache folder: HOME is not set");
  }
  const std::string folder = base + "/" + organisation + "/" + application;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw FileError("Cannot make the folder \"" + folder + "\": " + error.message());
  return folder + "/";
}

namespace {
void refuseIrregular(const std::string& path, const struct stat& st) {
  if (S_ISDIR(st.st_mode)) failRead(path, std::strerror(EISDIR));
  if (!S_ISREG(st.st_mode)) failRead(path, "it is not a regular file");
}
}  // namespace

RegularFile::RegularFile(const std::string& path) {
  // Looked at before opening: opening a FIFO waits for a writer, and opening a device may act on it.
  struct stat st;
  if (stat(path.c_str(), &st) != 0) failRead(path, std::strerror(errno));
  refuseIrregular(path, st);
  fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd_ < 0) failRead(path, std::strerror(errno));
  // The name may have been given to something else in between.
  if (fstat(fd_, &st) != 0) {
    const int e = errno;
    close(fd_);
    failRead(path, std::strerror(e));
  }
  if (!S_ISREG(st.st_mode)) {
    close(fd_);
    refuseIrregular(path, st);
  }
  size_ = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

RegularFile::~RegularFile() { close(fd_); }

bool RegularFile::readAt(std::uint64_t offset, void* out, std::size_t count) const {
  auto* p = static_cast<std::uint8_t*>(out);
  while (count > 0) {
    const ssize_t n = pread(fd_, p, count, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    offset += static_cast<std::uint64_t>(n);
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

std::vector<std::uint8_t> readFileBytes(const std::string& path, std::size_t maxBytes) {
  const RegularFile file(path);
  if (file.size() > maxBytes) failRead(path, "the file is larger than " + std::to_string(maxBytes) + " bytes");
  std::vector<std::uint8_t> bytes;
  detail::reserveLarge(bytes, static_cast<std::size_t>(file.size()));
  bytes.resize(static_cast<std::size_t>(file.size()));
  std::size_t done = 0;
  // The file may have grown since it was opened: a small probe past the expected end finds out without
  // doubling the buffer; one byte past the limit is enough to refuse it.
  std::uint8_t probe[4096];
  for (;;) {
    const bool full = done == bytes.size();
    const ssize_t n = full ? read(file.descriptor(), probe, sizeof probe)
                           : read(file.descriptor(), bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      failRead(path, std::strerror(errno));
    }
    if (n == 0) break;
    if (full) bytes.insert(bytes.end(), probe, probe + n);
    done += static_cast<std::size_t>(n);
    if (done > maxBytes) break;
  }
  if (done > maxBytes) failRead(path, "the file is larger than " + std::to_string(maxBytes) + " bytes");
  bytes.resize(done);
  return bytes;
}

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

// Removes the new files that a killed save left beside a target: names of our form, regular files of the
// current user with one link, that no live save holds locked.
void removeLeftovers(const std::string& folder, const std::string& name) {
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return;
  std::vector<std::string> found;
  if (DIR* list = fdopendir(dup(dir))) {
    while (const dirent* e = readdir(list))
      if (isSavingNameOf(e->d_name, name)) found.push_back(e->d_name);
    closedir(list);
  }
  for (const auto& entry : found) {
    const int fd = openat(dir, entry.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() && st.st_nlink == 1 &&
        flock(fd, LOCK_EX | LOCK_NB) == 0)
      unlinkat(dir, entry.c_str(), 0);
    close(fd);
  }
  close(dir);
}

std::string randomPart() {
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device device;
  std::string out;
  for (std::size_t i = 0; i < kRandomLength; ++i) out += letters[device() % (sizeof letters - 1)];
  return out;
}

// An unnamed file that holds what an in-place target receives until it is written: in the user's cache
// folder, else the temporary folder. Nothing of it stays when the program ends, however it ends.
int openScratch(const std::string& path) {
  std::vector<std::string> folders;
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && cache[0] == '/') {
    folders.push_back(cache);
  } else if (const char* home = std::getenv("HOME"); home && home[0]) {
    folders.push_back(std::string(home) + "/.cache");
  }
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

void removeSaveLeftovers(const std::string& target) {
  try {
    const std::string file = resolveTarget(target);
    removeLeftovers(folderOf(file), nameOf(file));
  } catch (const FileError&) {
    // A link that cannot be followed has nothing beside it to tidy.
  }
}

void FileReplacement::Output::write(const void* data, std::size_t size) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd_, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      failWrite(path_, errno);
    }
    p += n;
    size -= static_cast<std::size_t>(n);
    written_ += static_cast<std::uint64_t>(n);
  }
}

FileReplacement::FileReplacement(const std::vector<std::string>& targets) {
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
  }
  files_.clear();
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
    f.fd_ = openScratch(path);
  }
}

namespace {

// Gives an in-place target back its old size, dropping what a reservation added past its end.
void restoreSize(int fd, std::uint64_t size) {
  struct stat st;
  if (fstat(fd, &st) == 0 && static_cast<std::uint64_t>(st.st_size) != size)
    if (ftruncate(fd, static_cast<off_t>(size)) != 0) {
      // The old contents are whole either way; only the length may show zeros past them.
    }
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
  }
  if (ftruncate(to, static_cast<off_t>(size)) != 0) failWrite(path, errno);
  if (fsync(to) != 0) failWrite(path, errno);
}

}  // namespace

void FileReplacement::commit() {
  std::vector<Output*> reserved;
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
      if (f->targetFd_ < 0 || f->written_ == 0) continue;
      reserved.push_back(f.get());
      const int e = posix_fallocate(f->targetFd_, 0, static_cast<off_t>(f->written_));
      if (e != 0 && e != EOPNOTSUPP && e != ENOSYS && e != EINVAL) failWrite(f->path_, e);
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
    for (auto& f : files_) {
      if (f->temp_.empty()) continue;
      if (rename(f->temp_.c_str(), f->target_.c_str()) != 0) {
        error = errno;
        failedPath = f->path_;
        break;
      }
      f->temp_.clear();
    }
    for (const int fd : replaced)
      if (fd >= 0) close(fd);
    if (error != 0) failWrite(failedPath, error);
  } catch (...) {
    for (Output* f : reserved) restoreSize(f->targetFd_, f->oldSize_);
    discard();
    throw;
  }
  // Last, the in-place targets, in the order named.
  try {
    for (auto& f : files_)
      if (f->targetFd_ >= 0) copyInto(f->path_, f->fd_, f->targetFd_, f->written_);
  } catch (...) {
    discard();
    throw;
  }
  std::vector<std::string> folders;
  for (auto& f : files_) {
    const std::string folder = folderOf(f->target_);
    if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
  }
  discard();
  for (const auto& folder : folders) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      fsync(dir);
      close(dir);
    }
  }
}

void writeFileAtomic(const std::string& path, const void* data, std::size_t size) {
  FileReplacement files({path});
  files.output(0).write(data, size);
  files.commit();
}

}  // namespace platform
