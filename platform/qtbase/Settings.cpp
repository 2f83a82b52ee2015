#include "platform/qtbase/Settings.h"

#include <QFileInfo>
#include <QSettings>
#include <cstdlib>

#include "platform/qtbase/QtSupport.h"

namespace platform {

namespace {
// A settings file holds a handful of short values; anything much larger is not ours.
constexpr qint64 kMaxSettingsFile = 1 << 20;
}  // namespace

struct Settings::Impl {
  std::unique_ptr<QSettings> qs;
};

std::string Settings::fileFor(const std::string& organisation, const std::string& application) {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.config";
  } else {
    base = ".config";
  }
  return base + "/" + organisation + "/" + application + ".conf";
}

Settings::Settings(const std::string& organisation, const std::string& application)
    : impl_(std::make_unique<Impl>()), path_(fileFor(organisation, application)) {
  const QFileInfo info(qs(path_));
  if (info.exists() && !info.isFile()) throw SettingsError("Settings file " + path_ + " is not a file");
  if (info.exists() && info.size() > kMaxSettingsFile)
    throw SettingsError("Settings file " + path_ + " is too large");
  impl_->qs = std::make_unique<QSettings>(qs(path_), QSettings::IniFormat);
  if (impl_->qs->status() == QSettings::FormatError)
    throw SettingsError("Settings file " + path_ + " is malformed");
  if (impl_->qs->status() == QSettings::AccessError)
    throw SettingsError("Settings file " + path_ + " cannot be read");
}

Settings::~Settings() = default;

bool Settings::valueExists(const std::string& name) const { return impl_->qs->contains(qs(name)); }

std::string Settings::readString(const std::string& name, const std::string& fallback) const {
  if (!valueExists(name)) return fallback;
  const QVariant v = impl_->qs->value(qs(name));
  if (v.typeId() == QMetaType::QByteArray) return v.toByteArray().toStdString();
  if (v.typeId() != QMetaType::QString)
    throw SettingsError("Settings value \"" + name + "\" in " + path_ + " is not a string");
  return ss(v.toString());
}

void Settings::writeString(const std::string& name, const std::string& value) {
  // Text that is not UTF-8 (a path of any bytes) would lose those bytes to U+FFFD as a string; it is kept
  // as bytes instead, which the file writes as @ByteArray(...). Everything else stays plain text.
  const QString text = qs(value);
  if (ss(text) == value)
    impl_->qs->setValue(qs(name), text);
  else
    impl_->qs->setValue(qs(name), QByteArray(value.data(), static_cast<qsizetype>(value.size())));
}

void Settings::sync() {
  impl_->qs->sync();
  if (impl_->qs->status() != QSettings::NoError) throw SettingsError("Unable to write settings file " + path_);
}

}  // namespace platform
