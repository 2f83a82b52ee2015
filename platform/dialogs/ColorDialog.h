#pragma once

#include "platform/core/Color.h"

namespace platform {

// A colour dialog component: opens fully at its colour and keeps the colour chosen.
class ColorDialog {
 public:
  Color color() const { return color_; }
  void setColor(Color color) { color_ = color; }
  // Shows the dialog; on OK the chosen colour becomes the colour and true is returned.
  bool execute();

 private:
  Color color_ = clBlack;
};

}  // namespace platform
