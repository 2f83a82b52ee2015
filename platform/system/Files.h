#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

bool fileExists(const std::string& path);

// Whether new files may be made in a folder. A folder nobody may write is taken as closed also to a user
// whom the permission bits do not stop, as with files that writeFileAtomic refuses.
bool folderWritable(const std::string& folder);

// The current user's cache folder for one program, ending in "/" ($XDG_CACHE_HOME, else ~/.cache, then
// ORGANISATION/APPLICATION/); made when missing. FileError when it cannot be made.
std::string userCacheFolder(const std::string& organisation, const std::string& application);

// A file opened for reading only when it is a regular file: a FIFO or a device could block the open or
// the read for ever, and a folder has no contents, so anything else is refused at once (FileError naming
// the path).
class RegularFile {
 public:
  explicit RegularFile(const std::string& path);
  ~RegularFile();
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  std::uint64_t size() const { return size_; }
  int descriptor() const { return fd_; }
  // Reads count bytes at offset; false when the file ends before them or the read fails.
  bool readAt(std::uint64_t offset, void* out, std::size_t count) const;

 private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

// Reads a whole regular file; refuses (FileError) a file larger than maxBytes instead of allocating for it.
std::vector<std::uint8_t> readFileBytes(const std::string& path, std::size_t maxBytes);

// Replaces path with data atomically: written to a new file beside the real target (a symbolic link is
// followed to its file), flushed, given the target's permissions, then renamed over it. A target that
// exists but may not be written is refused, as a write to it would be. A failure leaves the old file whole
// and removes the partial one. Errors are FileError with the platform's text and the path.
void writeFileAtomic(const std::string& path, const void* data, std::size_t size);
inline void writeFileAtomic(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  writeFileAtomic(path, bytes.data(), bytes.size());
}

}  // namespace platform
