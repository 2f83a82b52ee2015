#include "platform/controls/Widgets.h"

#include <QFrame>
#include <QLabel>
#include <QPalette>

#include "platform/controls/QtSupport.h"

namespace platform {

Label::Label(Container& parent, const std::string& caption) : Control(&parent, new QLabel()) {
  setCaption(caption);
}

void Label::setCaption(const std::string& caption) {
  caption_ = caption;
  static_cast<QLabel*>(widget_)->setText(qs(caption));
  fit();
}

void Label::setTextColor(Color color) {
  QPalette p = widget_->palette();
  p.setColor(QPalette::WindowText, QColor(redOf(color), greenOf(color), blueOf(color)));
  widget_->setPalette(p);
}

void Label::setAlignment(TextAlign align) {
  static_cast<QLabel*>(widget_)->setAlignment(align == TextAlign::Center ? Qt::AlignCenter
                                                                         : Qt::AlignLeft | Qt::AlignVCenter);
}

void Label::setAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  fit();
}

void Label::fit() {
  if (!autoSize_) return;
  widget_->adjustSize();
  setBounds(left(), top(), widget_->width(), widget_->height());
}

Panel::Panel(Container& parent, bool raisedBevel) : Container(&parent, new QFrame()) {
  if (raisedBevel) static_cast<QFrame*>(widget_)->setFrameStyle(QFrame::Panel | QFrame::Raised);
}

}  // namespace platform
