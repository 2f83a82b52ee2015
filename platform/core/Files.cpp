#include "platform/core/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

[[noreturn]] void failRead(const std::string& path, const std::string& why) {
  throw FileError("Cannot read \"" + path + "\": " + why);
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

std::string userCachePath(const std::string& organisation, const std::string& application) {
  std::string base;
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && cache[0] == '/') {
    base = cache;
  } else if (const char* home = std::getenv("HOME"); home && home[0]) {
    base = std::string(home) + "/.cache";
  } else {
    throw FileError("Cannot find the user's cache folder: HOME is not set");
  }
  return base + "/" + organisation + "/" + application + "/";
}

namespace detail {
int makeFolders(const std::string& folder) {
  for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
    const std::string part = folder.substr(0, end);
    if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    if (end == std::string::npos || end + 1 == folder.size()) break;
  }
  struct stat st;
  if (stat(folder.c_str(), &st) != 0) return errno;
  return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}
}  // namespace detail

std::string userCacheFolder(const std::string& organisation, const std::string& application) {
  const std::string folder = userCachePath(organisation, application);
  if (const int error = detail::makeFolders(folder))
    throw FileError("Cannot make the folder \"" + folder.substr(0, folder.size() - 1) +
                    "\": " + std::strerror(error));
  return folder;
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

}  // namespace platform
