#include "platform/controls/ToolBar.h"

#include <QFrame>
#include <QIcon>
#include <QToolButton>

#include "platform/controls/Application.h"
#include "platform/qtbase/QtSupport.h"

namespace platform {

ToolBar::ToolBar(Container& parent) : Container(&parent, new QFrame()) {
  auto* frame = static_cast<QFrame*>(widget_);
  frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
  setAlign(Align::Top);
}

void ToolBar::setButtonSize(int width, int height) {
  buttonWidth_ = width;
  buttonHeight_ = height;
  layoutButtons();
}

void ToolBar::add(ToolButton* button) {
  buttons_.push_back(button);
  layoutButtons();
}

void ToolBar::layoutButtons() {
  int x = 2;
  for (ToolButton* b : buttons_) {
    const int w = b->isSeparator() ? b->gapWidth() : buttonWidth_;
    b->setBounds(x, 2, w, buttonHeight_);
    x += w;
  }
}

ToolButton::ToolButton(ToolBar& bar, const std::string& picture)
    : Control(&bar, pictureButton(picture, 32, down_, [this] { click(); })), separator_(false) {
  bar.add(this);
}

ToolButton::ToolButton(ToolBar& bar, int separatorWidth)
    : Control(&bar, new QFrame()), separator_(true), gap_(separatorWidth) {
  bar.add(this);
}

void ToolButton::setDown(bool down) {
  down_ = down;
  if (!separator_) static_cast<QToolButton*>(widget_)->setChecked(down);
}

void ToolButton::click() {
  if (!enabled() || !OnClick) return;
  guarded(OnClick);
}

}  // namespace platform
