#pragma once

#include "components/getver.h"
#include "platform/controls/Form.h"
#include "platform/controls/Widgets.h"

namespace components {

// The about window: title, copyright, author and version lines, a logo and an OK button.
class TAbout : public platform::Form {
 public:
  TAbout();

  platform::Button OkButton{*this, "OK"};
  platform::Label WTitle{*this, "Application Title"};
  platform::Label WCopyright{*this, ""};
  platform::Image Logo{*this};
  platform::Label WVersion{*this, "WVersion"};
  TGetVersionInfoFromFile GetVersion;
  platform::Label WAuthor{*this, ""};
};

// The about window's own logo: 147 x 120 pixels, 8 bits per pixel.
platform::Bitmap builtInLogo();

}  // namespace components
