#include "platform/controls/Widgets.h"

#include <QFontMetricsF>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QRegion>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/qtbase/QtSupport.h"

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
  void changeEvent(QEvent* e) override {
    QLabel::changeEvent(e);
    // The parent's font reaches the label without the label's own setFont.
    if (e->type() == QEvent::FontChange) label_->fit();
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
  // A caption is text, never markup, whatever it holds.
  static_cast<QLabel*>(widget_)->setTextFormat(Qt::PlainText);
  paintOnParent();
  setCaption(caption);
}

void Label::click() {
  if (OnClick) guarded(OnClick);
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
  if (!autoSize_) setBounds(left(), top(), roomWidth_, roomHeight_);
  fit();
}

namespace {
// A text at most this much wider than its room is condensed to fit rather than cut or overflowing.
constexpr double kMaxCondense = 0.06;
}  // namespace

void Label::boundsChanged() {
  if (!fitting_) {
    roomWidth_ = width();
    roomHeight_ = height();
  }
  fit();
}

void Label::fit() {
  if (fitting_) return;
  fitting_ = true;
  fitText();
  fitting_ = false;
}

void Label::fitText() {
  auto* label = static_cast<QLabel*>(widget_);
  // Changing only the stretch keeps what the label inherits from its parent's font.
  const auto condense = [label](int stretch) {
    QFont font = label->font();
    if (font.stretch() == stretch) return;
    font.setStretch(stretch);
    label->setFont(font);
  };
  condense(100);
  const double natural = QFontMetricsF(label->font()).size(0, label->text()).width();
  if (roomWidth_ > 0 && natural > roomWidth_ && natural <= roomWidth_ * (1 + kMaxCondense))
    condense(static_cast<int>(std::floor(100.0 * roomWidth_ / natural)));
  if (!autoSize_) return;
  const QSize size = widget_->sizeHint();
  if (size.width() != width() || size.height() != height())
    setBounds(left(), top(), size.width(), size.height());
}

Panel::Panel(Container& parent, bool raisedBevel) : Container(&parent, new QFrame()) {
  // A panel hides what lies beneath it, a grid's lines included.
  widget_->setAutoFillBackground(true);
  if (raisedBevel) static_cast<QFrame*>(widget_)->setFrameStyle(QFrame::Panel | QFrame::Raised);
}

}  // namespace platform

namespace platform {

namespace {

class PictureWidget : public QWidget {
 public:
  explicit PictureWidget(Image* image) : image_(image) {}

  // Part of the picture changed (picture pixels): the view converts it again where it is next painted.
  void changed(const Rect& area) {
    if (area.empty()) return;
    if (image_->stretch()) {
      valid_ = QRegion();
      update();
      return;
    }
    const QRect r(area.left, area.top, area.width(), area.height());
    valid_ -= r;
    update(r);
  }
  void changedAll() {
    valid_ = QRegion();
    update();
  }

 protected:
  void paintEvent(QPaintEvent* e) override {
    refreshView(e->region());
    if (view_.isNull()) return;
    QPainter p(this);
    for (const QRect& r : e->region() & view_.rect()) p.drawImage(r.topLeft(), view_, r);
  }

 private:
  // The picture as it is painted: scaled to the control, nearest pixel as a plain scaled draw takes it, or
  // its top-left part at 1:1. Only the part a paint shows is converted, and only when it changed since it
  // was last converted: a large picture whose window shows a corner of it costs that corner, and an
  // uncovered window costs nothing.
  void refreshView(const QRegion& shown) {
    const Bitmap& b = image_->picture();
    const QSize want = b.empty() ? QSize()
                       : image_->stretch()
                           ? size()
                           : QSize(std::min(b.width(), width()), std::min(b.height(), height()));
    if (view_.size() != want || view_.isNull() != want.isEmpty()) {
      view_ = want.isEmpty() ? QImage() : QImage(want, QImage::Format_RGB32);
      valid_ = QRegion();
    }
    if (view_.isNull()) return;
    const QRegion todo = (shown & view_.rect()) - valid_;
    if (todo.isEmpty()) return;
    std::array<std::uint32_t, 256> lut{};
    if (b.indexed()) {
      lut.fill(0xFF000000u);
      for (std::size_t i = 0; i < b.colorTable().size() && i < lut.size(); ++i)
        lut[i] = toWord(b.colorTable()[i]);
    }
    const bool scaled = image_->stretch();
    const std::int64_t bw = b.width(), bh = b.height(), vw = want.width(), vh = want.height();
    std::vector<int> columns;
    for (const QRect& r : todo) {
      const int x0 = r.left(), n = r.width();
      columns.resize(static_cast<std::size_t>(n));
      for (int i = 0; i < n; ++i)
        columns[i] = scaled ? static_cast<int>((2 * (x0 + i) + 1) * bw / (2 * vw)) : x0 + i;
      for (int y = r.top(); y <= r.bottom(); ++y) {
        const int sy = scaled ? static_cast<int>((2 * y + 1) * bh / (2 * vh)) : y;
        auto* row = reinterpret_cast<std::uint32_t*>(view_.scanLine(y)) + x0;
        if (b.indexed()) {
          const std::uint8_t* src = b.indexRow(sy);
          for (int i = 0; i < n; ++i) row[i] = lut[src[columns[i]]];
        } else if (scaled) {
          const std::uint32_t* src = b.wordRow(sy);
          for (int i = 0; i < n; ++i) row[i] = src[columns[i]];
        } else {
          std::memcpy(row, b.wordRow(sy) + x0, static_cast<std::size_t>(n) * 4);
        }
      }
    }
    valid_ += todo;
  }

  Image* image_;
  QImage view_;
  QRegion valid_;  // the part of view_ that shows the picture as it is
};

}  // namespace

namespace {

// The dotted rectangle with which Windows marks the control that has the keyboard focus.
void drawFocusDots(QPainter& p, const QRect& r, const QColor& color) {
  p.setPen(color);
  focusDots(r.left(), r.top(), r.right() + 1, r.bottom() + 1, [&p](int x, int y) { p.drawPoint(x, y); });
}

// A scroll bar as the platform's own control: a tab stop that answers the keys, with a thumb of fixed
// size (no page size) whose page step, for the keys and for clicks on the track, is the bar's own.
class ScrollBarWidget : public QScrollBar {
 public:
  explicit ScrollBarWidget(const int& largeChange) : QScrollBar(Qt::Horizontal), largeChange_(largeChange) {
    setFocusPolicy(Qt::StrongFocus);
    setRange(0, 100);
    setSingleStep(1);
    // Qt sizes the thumb by the page step: none gives the fixed thumb.
    setPageStep(0);
    connect(this, &QAbstractSlider::actionTriggered, [this](int action) {
      if (action == SliderPageStepAdd) setSliderPosition(clampedAdd(largeChange_));
      if (action == SliderPageStepSub) setSliderPosition(clampedAdd(-largeChange_));
    });
  }

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    static const struct {
      int key;
      SliderAction action;
    } keys[] = {{Qt::Key_Left, SliderSingleStepSub},  {Qt::Key_Up, SliderSingleStepSub},
                {Qt::Key_Right, SliderSingleStepAdd}, {Qt::Key_Down, SliderSingleStepAdd},
                {Qt::Key_PageUp, SliderPageStepSub},  {Qt::Key_PageDown, SliderPageStepAdd},
                {Qt::Key_Home, SliderToMinimum},      {Qt::Key_End, SliderToMaximum}};
    for (const auto& k : keys)
      if (e->key() == k.key && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        triggerAction(k.action);
        return;
      }
    QScrollBar::keyPressEvent(e);
  }

  void paintEvent(QPaintEvent* e) override {
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    const bool emptyRange = minimum() == maximum();
    if (!emptyRange) QScrollBar::paintEvent(e);
    QPainter p(this);
    if (emptyRange) {
      // Nowhere to move: the track shows no thumb.
      opt.subControls = QStyle::SubControls(QStyle::SC_All) & ~QStyle::SubControls(QStyle::SC_ScrollBarSlider);
      style()->drawComplexControl(QStyle::CC_ScrollBar, &opt, &p, this);
    }
    if (!hasFocus()) return;
    // Focus shows on the thumb, drawn inverted; without a thumb, a dotted frame runs inside the track.
    if (emptyRange) {
      const QRect track = style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarGroove, this);
      drawFocusDots(p, track.adjusted(1, 1, -1, -1), palette().color(QPalette::WindowText));
      return;
    }
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.fillRect(style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, this),
               Qt::white);
  }

 private:
  int clampedAdd(int step) const {
    return static_cast<int>(
        std::clamp<long long>(static_cast<long long>(value()) + step, minimum(), maximum()));
  }
  const int& largeChange_;
};

}  // namespace

ScrollBar::ScrollBar(Container& parent) : Control(&parent, new ScrollBarWidget(largeChange_)) {
  auto* bar = static_cast<QScrollBar*>(widget_);
  bar->setRange(min_, max_);
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

Edit::Edit(Container& parent) : Control(&parent, new QLineEdit()) {
  QObject::connect(static_cast<QLineEdit*>(widget_), &QLineEdit::textEdited,
                   [this](const QString& text) { text_ = ss(text); });
}

void Edit::setText(const std::string& text) {
  text_ = text;
  static_cast<QLineEdit*>(widget_)->setText(qs(text));
}

void Edit::setReadOnly(bool readOnly) { static_cast<QLineEdit*>(widget_)->setReadOnly(readOnly); }

namespace {

// A push button as Windows draws it: the default button has a darker border, and the focused one a dotted
// rectangle inside its edge.
class ButtonWidget : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent* e) override {
    QPushButton::paintEvent(e);
    QPainter p(this);
    const QColor dark = palette().color(QPalette::WindowText);
    if (isDefault()) {
      p.setPen(dark);
      p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (hasFocus()) drawFocusDots(p, rect().adjusted(4, 4, -5, -5), dark);
  }
};

}  // namespace

Button::Button(Container& parent, const std::string& caption)
    : Control(&parent, new ButtonWidget(qs(caption))) {
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

Image::Image(Container& parent) : Control(&parent, new PictureWidget(this)) {
  own_ = std::make_shared<Bitmap>();
  picture_ = own_;
  paintOnParent();
}

Bitmap& Image::own() {
  if (!own_) {
    own_ = std::make_shared<Bitmap>(*picture_);
    picture_ = own_;
  }
  return *own_;
}

Bitmap& Image::editPicture() {
  Bitmap& b = own();
  static_cast<PictureWidget*>(widget_)->changedAll();
  return b;
}

Bitmap& Image::editPicture(const Rect& area) {
  Bitmap& b = own();
  static_cast<PictureWidget*>(widget_)->changed(area);
  return b;
}

void Image::setPicture(const Bitmap& picture) {
  if (own_) {
    *own_ = picture;
  } else {
    own_ = std::make_shared<Bitmap>(picture);
    picture_ = own_;
  }
  pictureChanged();
}

void Image::setPicture(std::shared_ptr<const Bitmap> picture) {
  own_.reset();
  picture_ = picture ? std::move(picture) : std::make_shared<Bitmap>();
  pictureChanged();
}

void Image::pictureChanged() {
  if (autoSize_) setBounds(left(), top(), picture_->width(), picture_->height());
  static_cast<PictureWidget*>(widget_)->changedAll();
}

void Image::setStretch(bool stretch) {
  stretch_ = stretch;
  static_cast<PictureWidget*>(widget_)->changedAll();
}

void Image::setAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  if (autoSize_ && !picture_->empty()) setBounds(left(), top(), picture_->width(), picture_->height());
}

void Image::repaint() { widget_->update(); }

}  // namespace platform

namespace platform {

class TimerImpl : public QTimer {};

Timer::Timer() : impl_(std::make_unique<TimerImpl>()) {
  QObject::connect(impl_.get(), &QTimer::timeout, [this] { tick(); });
}

Timer::~Timer() = default;

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

void SpeedButton::setIconSize(int size) { static_cast<QToolButton*>(widget_)->setIconSize(QSize(size, size)); }

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
