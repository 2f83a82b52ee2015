#pragma once

#include <string>

#include "platform/bitmap/Color.h"
#include "platform/controls/Control.h"

namespace platform {

enum class TextAlign { Left, Center };

class Label : public Control {
 public:
  Label(Container& parent, const std::string& caption);
  void setCaption(const std::string& caption);
  const std::string& caption() const { return caption_; }
  void setTextColor(Color color);
  void setAlignment(TextAlign align);
  // Sizes the label to its text.
  void setAutoSize(bool autoSize);

 protected:
  void fontChanged() override { fit(); }

 private:
  void fit();
  std::string caption_;
  bool autoSize_ = true;
};

class Panel : public Container {
 public:
  explicit Panel(Container& parent, bool raisedBevel = true);
};

}  // namespace platform
