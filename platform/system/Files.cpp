#include "platform/system/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

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

RegularFile::~RegularFile() {
  close(fd_);
}

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
  if (file.size() > maxBytes)
    failRead(path, "the file is larger than " + std::to_string(maxBytes) + " bytes");
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

void writeFileAtomic(const std::string& path, const void* data, std::size_t size) {
  if (path.empty()) failWrite(path, ENOENT);
  const std::string target = resolveTarget(path);
  struct stat st;
  const bool exists = stat(target.c_str(), &st) == 0;
  mode_t mode;
  if (exists) {
    if (S_ISDIR(st.st_mode)) failWrite(path, EISDIR);
    if (access(target.c_str(), W_OK) != 0) failWrite(path, errno);
    // A file nobody may write is not replaced behind the user's back, even by a user whom the
    // permission bits do not stop.
    if ((st.st_mode & 0222) == 0) failWrite(path, EACCES);
    mode = st.st_mode & 07777;
  } else {
    mode = 0666 & ~currentUmask();
  }

  const auto slash = target.rfind('/');
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temp = folderOf(target) + "/" + base + ".XXXXXX";
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) failWrite(path, errno);
  auto abandon = [&](int error) {
    close(fd);
    unlink(temp.c_str());
    failWrite(path, error);
  };
  const auto* p = static_cast<const std::uint8_t*>(data);
  std::size_t left = size;
  while (left > 0) {
    const ssize_t n = write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      abandon(errno);
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (fsync(fd) != 0) abandon(errno);
  if (exists && (st.st_uid != geteuid() || st.st_gid != getegid())) {
    if (fchown(fd, st.st_uid, st.st_gid) != 0) {
      // Keeping the owner is best effort: only a privileged writer can give the file away.
    }
  }
  // After fchown, which clears set-id bits.
  if (fchmod(fd, mode) != 0) abandon(errno);
  if (close(fd) != 0) {
    const int e = errno;
    unlink(temp.c_str());
    failWrite(path, e);
  }
  if (rename(temp.c_str(), target.c_str()) != 0) {
    const int e = errno;
    unlink(temp.c_str());
    failWrite(path, e);
  }
  const int dir = open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
}

}  // namespace platform
