#pragma once

#include <string>
#include <vector>

#include "platform/controls/Control.h"

class QLabel;

namespace platform {

// Status bar along the bottom of its parent with panels of fixed widths.
class StatusBar : public Control {
 public:
  StatusBar(Container& parent, int height);
  void addPanel(int width, bool bevel = true);
  int panelCount() const { return static_cast<int>(texts_.size()); }
  void setPanelText(int index, const std::string& text);
  const std::string& panelText(int index) const { return texts_.at(index); }

 private:
  std::vector<std::string> texts_;
  std::vector<QLabel*> labels_;
  int nextLeft_ = 0;
};

}  // namespace platform
