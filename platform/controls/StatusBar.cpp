#include "platform/controls/StatusBar.h"

#include <QFrame>
#include <QLabel>

#include "platform/controls/QtSupport.h"

namespace platform {

StatusBar::StatusBar(Container& parent, int height) : Control(&parent, new QFrame()) {
  setBounds(0, 0, 0, height);
  setAlign(Align::Bottom);
}

void StatusBar::addPanel(int width, bool bevel) {
  auto* label = new QLabel(widget_);
  if (bevel) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setContentsMargins(2, 0, 2, 0);
  label->setGeometry(nextLeft_, 2, width - 2, height() - 3);
  label->show();
  nextLeft_ += width;
  labels_.push_back(label);
  texts_.emplace_back();
}

void StatusBar::setPanelText(int index, const std::string& text) {
  texts_.at(index) = text;
  labels_[index]->setText(qs(text));
}

}  // namespace platform
