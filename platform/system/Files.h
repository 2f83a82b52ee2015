#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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

// Files replaced together. Each file of the set is written to a new file beside its target
// (NAME.XXXXXX.saving, a symbolic link followed to its file) and held locked while it is written; commit()
// flushes them all, gives each its target's permissions and then renames them over their targets back to
// back, in the order they were begun. A failure or a kill before the renames leaves every target as it was;
// what remains is the moment of the renames themselves. A set dropped without commit removes its new files,
// and beginning a file removes, beside its target, the new files of a save that was killed (those no
// live save holds locked). A target that exists but may not be written is refused, as a write to it
// would be. Where no file can be made beside a target that may be written (its folder is not writable)
// the target itself is written, in place: that file is neither atomic nor all-or-nothing. Errors are
// FileError with the platform's text and the path.
class FileReplacement {
 public:
  class Output {
   public:
    void write(const void* data, std::size_t size);

   private:
    friend class FileReplacement;
    std::string path_, target_, temp_;  // temp_ empty: written in place
    int fd_ = -1;
    bool exists_ = false;
    unsigned mode_ = 0, uid_ = 0, gid_ = 0;
    std::uint64_t written_ = 0;
  };

  FileReplacement() = default;
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;
  ~FileReplacement();

  Output& begin(const std::string& path);
  void commit();

 private:
  void discard();
  std::vector<std::unique_ptr<Output>> files_;
};

// Replaces one file with data, as a FileReplacement of that file alone.
void writeFileAtomic(const std::string& path, const void* data, std::size_t size);
inline void writeFileAtomic(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  writeFileAtomic(path, bytes.data(), bytes.size());
}

}  // namespace platform
