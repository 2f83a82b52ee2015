#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/controls/Control.h"

namespace platform {

class ToolButton;

// A tool bar across the top of its parent; buttons and fixed separators laid out left to right.
class ToolBar : public Container {
 public:
  explicit ToolBar(Container& parent);
  void setButtonSize(int width, int height);

 private:
  friend class ToolButton;
  void add(ToolButton* button);
  void layoutButtons();
  std::vector<ToolButton*> buttons_;
  int buttonWidth_ = 23;
  int buttonHeight_ = 22;
};

class ToolButton : public Control {
 public:
  // A button showing a picture from the program's resources ("tlb_exit").
  ToolButton(ToolBar& bar, const std::string& picture);
  // A separator: a fixed gap of the given width.
  ToolButton(ToolBar& bar, int separatorWidth);

  bool isSeparator() const { return separator_; }
  int gapWidth() const { return gap_; }

  // A button that stays down; only the program moves it.
  void setDown(bool down);
  bool down() const { return down_; }

  // The user's press: runs OnClick inside the handler guard.
  void click();
  std::function<void()> OnClick;

 private:
  bool separator_;
  int gap_ = 0;
  bool down_ = false;
};

}  // namespace platform
