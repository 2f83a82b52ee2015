#include "platform/dialogs/FileDialog.h"

#include "platform/qtbase/Services.h"

namespace platform {

bool FileDialog::execute() {
  std::optional<std::string> chosen = services().fileDialog(request_);
  if (!chosen) return false;
  request_.fileName = *chosen;
  return true;
}

std::string withDefaultExtension(const std::string& path, const std::string& defaultExt) {
  if (defaultExt.empty() || defaultExt == "exe") return path;
  const std::size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty() || name.find('.') != std::string::npos) return path;
  return path + "." + defaultExt;
}

}  // namespace platform
