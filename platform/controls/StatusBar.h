#pragma once

#include <string>
#include <vector>

#include "platform/controls/Control.h"

namespace platform {

// Status bar along the bottom of its parent with panels of laid-out widths. A panel whose text does not
// fit grows to show it whole and moves the panels after it: a cut number would read as a wrong one.
class StatusBar : public Control {
 public:
  struct Panel {
    int width;
    bool bevel;
    std::string text;
  };

  StatusBar(Container& parent, int height);
  void addPanel(int width, bool bevel = true);
  int panelCount() const { return static_cast<int>(panels_.size()); }
  const Panel& panel(int index) const { return panels_.at(index); }
  void setPanelText(int index, const std::string& text);
  const std::string& panelText(int index) const { return panels_.at(index).text; }
  // Where the panel is shown: its laid-out width, or more where its text needs it.
  int panelLeft(int index) const;
  int panelWidth(int index) const;
  // The width a panel's text may take before the panel cuts it.
  int textRoom(int index) const;

 private:
  std::vector<Panel> panels_;
};

}  // namespace platform
