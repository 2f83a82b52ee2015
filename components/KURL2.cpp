#include "components/KURL2.h"

#include "platform/qtbase/Services.h"

namespace components {

namespace {
const char kPlaceholderAddress[] = "https://www.example.com/";
}  // namespace

TKURL2::TKURL2(platform::Container& parent) : platform::Panel(parent, false) {
  setHeight(13);
  setCursor(platform::Cursor::HandPoint);
  setHint("Put here the Hint for your site link!");
  label_ = std::make_unique<platform::Label>(*this, "");
  label_->setVisible(true);
  label_->setTextColor(platform::rgb(0, 0, 255));
  label_->setFontUnderline(true);
  label_->OnClick = [this] { OpenLink(); };
  label_->setCaption(kPlaceholderAddress);
  label_->setShowHint(true);
  setBounds(left(), top(), label_->width(), height());
}

TKURL2::~TKURL2() = default;

std::string TKURL2::URLorEMAIL() const { return label_->caption(); }

void TKURL2::setURLorEMAIL(const std::string& text) {
  label_->setCaption(text);
  setBounds(left(), top(), label_->width(), height());
}

bool TKURL2::ShowHint() const { return label_->showHint(); }

void TKURL2::setShowHint(bool show) { label_->setShowHint(show); }

void TKURL2::OpenLink() {
  const std::string text = label_->caption();
  const std::string target = Choose == LinkType::ltEMAIL ? "mailto:" + text : text;
  // Whether the desktop could open it is not reported, as the shell's answer is not looked at.
  platform::services().shellOpen(target);
}

}  // namespace components
