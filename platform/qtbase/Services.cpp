#include "platform/qtbase/Services.h"

#include "platform/dialogs/QtServices.h"

namespace platform {

namespace {
Services* installed = nullptr;
}

Services& services() {
  if (installed) return *installed;
  static QtServices real;
  return real;
}

void setServices(Services* s) { installed = s; }

ModalResult messageDlg(const std::string& text, MsgType type, MsgButtons buttons) {
  return services().messageBox(text, type, buttons);
}

void showMessage(const std::string& text) { services().plainMessage(text); }

}  // namespace platform
