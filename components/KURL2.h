#pragma once

#include <memory>
#include <string>

#include "platform/controls/Widgets.h"

namespace components {

enum class LinkType { ltURL, ltEMAIL };

// A web or e-mail address shown as blue underlined text; a click hands it to the desktop's opener.
class TKURL2 : public platform::Panel {
 public:
  explicit TKURL2(platform::Container& parent);
  ~TKURL2() override;

  // The link text; setting it makes the control as wide as the text, its height stays.
  std::string URLorEMAIL() const;
  void setURLorEMAIL(const std::string& text);
  bool ShowHint() const;
  void setShowHint(bool show);
  LinkType Choose = LinkType::ltURL;

  // Opens the address: "mailto:" and the text for an e-mail link, the text itself for a web link.
  void OpenLink();

  platform::Label& label() { return *label_; }

 private:
  std::unique_ptr<platform::Label> label_;
};

}  // namespace components
