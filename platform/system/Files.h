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

// Reads a whole file; refuses (FileError) a file larger than maxBytes instead of allocating for it.
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
