#include "platform/dialogs/ColorDialog.h"

#include "platform/qtbase/Services.h"

namespace platform {

bool ColorDialog::execute() {
  const std::optional<Color> chosen = services().colorDialog(color_);
  if (!chosen) return false;
  color_ = *chosen;
  return true;
}

}  // namespace platform
