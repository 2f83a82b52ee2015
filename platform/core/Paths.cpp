#include "platform/core/Paths.h"

namespace platform {

namespace {
std::size_t nameStart(const std::string& path) {
  const std::size_t slash = path.find_last_of(kPathDelim);
  return slash == std::string::npos ? 0 : slash + 1;
}

std::size_t extStart(const std::string& path) {
  const std::size_t dot = path.find_last_of('.');
  return dot == std::string::npos || dot < nameStart(path) ? path.size() : dot;
}
}  // namespace

std::string extractFilePath(const std::string& path) { return path.substr(0, nameStart(path)); }
std::string extractFileName(const std::string& path) { return path.substr(nameStart(path)); }
std::string extractFileExt(const std::string& path) { return path.substr(extStart(path)); }
std::string changeFileExt(const std::string& path, const std::string& ext) {
  return path.substr(0, extStart(path)) + ext;
}

std::string EnsureTrailingBackslash(const std::string& path) {
  if (!path.empty() && path.back() == kPathDelim) return path;
  return path + kPathDelim;
}

}  // namespace platform
