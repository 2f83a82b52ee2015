#include "platform/controls/Widgets.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QIcon>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <stdexcept>

#include "platform/controls/Application.h"
#include "platform/controls/Form.h"

#include "platform/controls/QtSupport.h"

namespace platform {

namespace {

class LabelWidget : public QLabel {
 public:
  explicit LabelWidget(Label* label) : label_(label) {}

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override {
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) label_->click();
  }
  bool event(QEvent* e) override {
    // Accepting the tool-tip request keeps it from reaching the enclosing controls.
    if (e->type() == QEvent::ToolTip && !label_->showHint()) return true;
    return QLabel::event(e);
  }

 private:
  Label* label_;
};

}  // namespace

Label::Label(Container& parent, const std::string& caption) : Control(&parent, new LabelWidget(this)) {
  setCaption(caption);
}

void Label::click() {
  if (OnClick) guarded(OnClick);
}

void Label::setCaption(const std::string& caption) {
  if (caption != caption_) laidOutWidth_ = -1;
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

void Label::boundsChanged() {
  // A label placed without a width has only its text's.
  if (!fitting_) laidOutWidth_ = width() > 0 ? width() : -1;
  fit();
}

void Label::fit() {
  if (!autoSize_) return;
  const QSize size = widget_->sizeHint();
  if (size.width() == width() && size.height() == height()) return;
  fitting_ = true;
  setBounds(left(), top(), size.width(), size.height());
  fitting_ = false;
}

Panel::Panel(Container& parent, bool raisedBevel) : Container(&parent, new QFrame()) {
  if (raisedBevel) static_cast<QFrame*>(widget_)->setFrameStyle(QFrame::Panel | QFrame::Raised);
}

}  // namespace platform

namespace platform {

namespace {

class PictureWidget : public QWidget {
 public:
  explicit PictureWidget(Image* image) : image_(image) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const Bitmap& b = image_->picture();
    if (b.empty()) return;
    const QImage img = toQImage(b);
    if (image_->stretch()) {
      p.drawImage(rect(), img);
    } else {
      p.drawImage(0, 0, img);
    }
  }

 private:
  Image* image_;
};

}  // namespace

ScrollBar::ScrollBar(Container& parent) : Control(&parent, new QScrollBar(Qt::Horizontal)) {
  auto* bar = static_cast<QScrollBar*>(widget_);
  bar->setRange(min_, max_);
  bar->setPageStep(1);
  bar->setSingleStep(1);
  QObject::connect(bar, &QScrollBar::valueChanged, [this](int v) { guarded([&] { setPosition(v); }); });
}

void ScrollBar::setMin(int value) { apply(value, max_, position_); }
void ScrollBar::setMax(int value) { apply(min_, value, position_); }
void ScrollBar::setPosition(int value) { apply(min_, max_, value); }

void ScrollBar::apply(int min, int max, int position) {
  if (max < min) throw std::runtime_error("Scrollbar property out of range");
  position = std::clamp(position, min, max);
  const bool moved = position != position_;
  min_ = min;
  max_ = max;
  position_ = position;
  {
    auto* bar = static_cast<QScrollBar*>(widget_);
    const QSignalBlocker block(bar);
    bar->setRange(min_, max_);
    bar->setValue(position_);
  }
  if (moved && OnChange) OnChange();
}

Edit::Edit(Container& parent) : Control(&parent, new QLineEdit()) {}

void Edit::setText(const std::string& text) {
  text_ = text;
  static_cast<QLineEdit*>(widget_)->setText(qs(text));
}

void Edit::setReadOnly(bool readOnly) { static_cast<QLineEdit*>(widget_)->setReadOnly(readOnly); }

Button::Button(Container& parent, const std::string& caption) : Control(&parent, new QPushButton(qs(caption))) {
  QObject::connect(static_cast<QPushButton*>(widget_), &QPushButton::clicked, [this] { click(); });
}

namespace {
Form* formOf(Control& control) {
  for (Container* c = control.parent(); c; c = c->parent())
    if (auto* form = dynamic_cast<Form*>(c)) return form;
  return nullptr;
}
}  // namespace

void Button::setDefault(bool isDefault) {
  static_cast<QPushButton*>(widget_)->setDefault(isDefault);
  if (Form* form = formOf(*this)) form->setDefaultButton(isDefault ? this : nullptr);
}

void Button::click() {
  if (!enabled()) return;
  if (OnClick) guarded(OnClick);
  if (modalResult_ != mrNone)
    if (Form* form = formOf(*this)) form->setModalResult(modalResult_);
}

Image::Image(Container& parent) : Control(&parent, new PictureWidget(this)) {}

void Image::setPicture(const Bitmap& picture) {
  picture_ = picture;
  if (autoSize_) setBounds(left(), top(), picture_.width(), picture_.height());
  repaint();
}

void Image::setStretch(bool stretch) {
  stretch_ = stretch;
  repaint();
}

void Image::setAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  if (autoSize_ && !picture_.empty()) setBounds(left(), top(), picture_.width(), picture_.height());
}

void Image::repaint() { widget_->update(); }

}  // namespace platform

namespace platform {

class TimerImpl : public QTimer {};

Timer::Timer() : impl_(new TimerImpl) {
  QObject::connect(impl_, &QTimer::timeout, [this] { tick(); });
}

Timer::~Timer() { delete impl_; }

void Timer::setInterval(int milliseconds) {
  interval_ = std::max(0, milliseconds);
  restart();
}

void Timer::setEnabled(bool enabled) {
  enabled_ = enabled;
  restart();
}

void Timer::restart() {
  impl_->stop();
  if (enabled_) impl_->start(interval_);
}

void Timer::tick() {
  if (enabled_ && OnTimer) guarded(OnTimer);
}

SpeedButton::SpeedButton(Container& parent, const std::string& picture)
    : Control(&parent, pictureButton(picture, 20, down_, [this] { click(); })) {}

void SpeedButton::setIconSize(int size) {
  static_cast<QToolButton*>(widget_)->setIconSize(QSize(size, size));
}

void SpeedButton::setDown(bool down) {
  down_ = down;
  static_cast<QToolButton*>(widget_)->setChecked(down);
  if (!down || group_ <= 0 || !parent()) return;
  for (Control* c : parent()->children()) {
    auto* other = dynamic_cast<SpeedButton*>(c);
    if (other && other != this && other->group_ == group_ && other->down_) other->setDown(false);
  }
}

void SpeedButton::click() {
  if (!enabled()) return;
  if (group_ > 0) setDown(allowAllUp_ ? !down_ : true);
  if (OnClick) guarded(OnClick);
}

}  // namespace platform
