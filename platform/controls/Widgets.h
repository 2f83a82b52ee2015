#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/controls/Control.h"
#include "platform/core/Bitmap.h"
#include "platform/core/Color.h"
#include "platform/qtbase/Services.h"

namespace platform {

enum class TextAlign { Left, Center };

class Label : public Control {
 public:
  Label(Container& parent, const std::string& caption);
  void setCaption(const std::string& caption);
  const std::string& caption() const { return caption_; }
  void setTextColor(Color color);
  void setAlignment(TextAlign align);
  // Sizes the label to its text. Turned off, the label takes the size the program last gave it, not
  // the size its text had meanwhile.
  void setAutoSize(bool autoSize);
  bool autoSize() const { return autoSize_; }
  // The width the program last gave the label (0: none, it has only its text's).
  int roomWidth() const { return roomWidth_; }
  // Off: no tool tip over the label, not even an enclosing control's.
  void setShowHint(bool show) { showHint_ = show; }
  bool showHint() const { return showHint_; }
  // A left click on the label, as the platform delivers it.
  void click();
  std::function<void()> OnClick;
  // Fits the label to its text again, as after any change of its font.
  void fit();

 protected:
  void fontChanged() override { fit(); }
  // An auto-sized label keeps its place and takes its text's size.
  void boundsChanged() override;

 private:
  void fitText();
  std::string caption_;
  bool autoSize_ = true;
  bool fitting_ = false;
  // The room the program gave the label; its own fitting does not change it.
  int roomWidth_ = 0, roomHeight_ = 0;
  bool showHint_ = true;
};

class Panel : public Container {
 public:
  explicit Panel(Container& parent, bool raisedBevel = true);
};

}  // namespace platform

namespace platform {

// A horizontal scroll bar. The position stays within the range; every change of position, by the user
// or by the program, also while hidden, runs OnChange once. It is a tab stop: arrows move it by one,
// PgUp and PgDn by its page step (1), Home and End to its ends.
class ScrollBar : public Control {
 public:
  explicit ScrollBar(Container& parent);
  // A maximum below the minimum is refused with "Scrollbar property out of range".
  void setMin(int value);
  void setMax(int value);
  void setPosition(int value);
  int min() const { return min_; }
  int max() const { return max_; }
  int position() const { return position_; }
  std::function<void()> OnChange;

 private:
  void apply(int min, int max, int position);
  int min_ = 0, max_ = 100, position_ = 0;
  int largeChange_ = 1;
};

class Edit : public Control {
 public:
  explicit Edit(Container& parent);
  void setText(const std::string& text);
  // The text shown: the last one set, or what the user typed since.
  const std::string& text() const { return text_; }
  void setReadOnly(bool readOnly);

 private:
  std::string text_;
};

// A push button; one with a modal result ends its form's modal showing with that result.
class Button : public Control {
 public:
  Button(Container& parent, const std::string& caption);
  void setModalResult(ModalResult result) { modalResult_ = result; }
  void setDefault(bool isDefault);
  void click();
  std::function<void()> OnClick;

 private:
  ModalResult modalResult_ = mrNone;
};

// Shows a picture: stretched to the control, or 1:1 from the top-left corner; it may size itself to it.
// Reading the picture changes nothing; whoever draws on it takes it through editPicture, which marks what
// may change, so the view converts again only that part, and only where it is seen.
class Image : public Control {
 public:
  explicit Image(Container& parent);
  // The control keeps its own copy.
  void setPicture(const Bitmap& picture);
  // The control shares the picture, which it never changes: drawing on it works on a copy of its own.
  void setPicture(std::shared_ptr<const Bitmap> picture);
  const Bitmap& picture() const { return *picture_; }
  // The picture to draw on; all of it counts as changed, or only area (in picture pixels; an empty area
  // for a change of no pixel, such as the pen's place). The change shows at the next paint.
  Bitmap& editPicture();
  Bitmap& editPicture(const Rect& area);
  void setStretch(bool stretch);
  bool stretch() const { return stretch_; }
  void setAutoSize(bool autoSize);
  // Paints the control again; a change of the picture needs no repaint of its own.
  void repaint() override;

 private:
  void pictureChanged();
  Bitmap& own();
  std::shared_ptr<const Bitmap> picture_;
  std::shared_ptr<Bitmap> own_;  // picture_ when the control holds a copy of its own; null while shared
  bool stretch_ = false;
  bool autoSize_ = false;
};

}  // namespace platform

namespace platform {

class TimerImpl;

// A window timer: ticks arrive as messages of the user-interface thread, between commands and while a
// modal box is open.
class Timer {
 public:
  Timer();
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void setInterval(int milliseconds);
  int interval() const { return interval_; }
  void setEnabled(bool enabled);
  bool enabled() const { return enabled_; }
  // One tick, as the platform delivers it (tests fire ticks this way instead of waiting).
  void tick();
  std::function<void()> OnTimer;

 private:
  void restart();
  std::unique_ptr<TimerImpl> impl_;
  int interval_ = 1000;
  bool enabled_ = false;
};

// A flat button with a small picture. A button of a group (group index above 0) is two-state: a press
// flips it before its handler runs; with all-up allowed it may be released again. Of the buttons of one
// group in one container at most one is down: putting one down raises the others.
class SpeedButton : public Control {
 public:
  SpeedButton(Container& parent, const std::string& picture);
  void setGroupIndex(int group) { group_ = group; }
  void setAllowAllUp(bool allow) { allowAllUp_ = allow; }
  // Side of the square picture in pixels; 20 unless set.
  void setIconSize(int size);
  void setDown(bool down);
  bool down() const { return down_; }
  void click();
  std::function<void()> OnClick;

 private:
  int group_ = 0;
  bool allowAllUp_ = false;
  bool down_ = false;
};

}  // namespace platform
