#include "platform/qtbase/Services.h"

namespace platform {

namespace {
Services* installed = nullptr;
}

Services& services() { return installed ? *installed : realServices(); }

void setServices(Services* s) { installed = s; }

ModalResult messageDlg(const std::string& text, MsgType type, MsgButtons buttons) {
  return services().messageBox(text, type, buttons);
}

void showMessage(const std::string& text) { services().plainMessage(text); }

}  // namespace platform
