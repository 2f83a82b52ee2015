#pragma once

#include <memory>
#include <stdexcept>
#include <string>

namespace platform {

class SettingsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One settings section of the current user, holding string values (the per-user registry key on
// Windows; ~/.config/ORGANISATION/APPLICATION.conf here, XDG_CONFIG_HOME respected). Opening reads the
// file; a file that is too large or malformed, or a value that is not a string, is a SettingsError.
class Settings {
 public:
  Settings(const std::string& organisation, const std::string& application);
  ~Settings();
  Settings(const Settings&) = delete;
  Settings& operator=(const Settings&) = delete;

  // The settings file's path.
  static std::string fileFor(const std::string& organisation, const std::string& application);
  const std::string& path() const { return path_; }

  bool valueExists(const std::string& name) const;
  // The stored text, or fallback when the value is missing. Text that is not UTF-8 is stored so that its
  // bytes read back the same; UTF-8 text is stored as it is.
  std::string readString(const std::string& name, const std::string& fallback) const;
  void writeString(const std::string& name, const std::string& value);
  // Writes what was changed to disk; a failure is a SettingsError.
  void sync();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::string path_;
};

}  // namespace platform
