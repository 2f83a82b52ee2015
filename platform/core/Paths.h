#pragma once

#include <string>

namespace platform {

inline constexpr char kPathDelim = '/';

// The folder part of a path, ending in the separator ("/a/b/c.txt" gives "/a/b/"; "/c" gives "/").
std::string extractFilePath(const std::string& path);
// The name part after the last separator.
std::string extractFileName(const std::string& path);
// The path ending in the folder separator: unchanged when it ends in one, else with one appended; an empty
// text gives the separator alone.
std::string EnsureTrailingBackslash(const std::string& path);
// The last extension of the name part with its dot, or empty.
std::string extractFileExt(const std::string& path);
// The path with its last extension replaced (ext includes the dot, or is empty to remove it).
std::string changeFileExt(const std::string& path, const std::string& ext);

}  // namespace platform
