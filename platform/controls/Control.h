#pragma once

#include <string>
#include <vector>

class QFont;
class QWidget;

namespace platform {

class Container;

enum class Align { None, Top, Bottom };
enum class Cursor { Default, HandPoint };

struct Font {
  // "MS Sans Serif", "Arial", "Small Fonts" and the default sans serif all show in Liberation Sans where
  // it is installed, whose widths match the faces the layouts were measured with.
  std::string family = "Sans Serif";
  int pixelSize = 11;
  bool bold = false;
  bool underline = false;
};

// The Qt font a control shows a font in.
QFont qtFont(const Font& font);

// A visual control. The control keeps its own state; the Qt widget is its view.
class Control {
 public:
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  void setBounds(int left, int top, int width, int height);
  int left() const { return left_; }
  int top() const { return top_; }
  int width() const { return width_; }
  int height() const { return height_; }
  virtual void setHeight(int height) { setBounds(left_, top_, width_, height); }

  // The control's own visibility flag (it may still be unseen when its window is hidden).
  void setVisible(bool visible);
  bool visible() const { return visible_; }
  void show() { setVisible(true); }
  void hide() { setVisible(false); }

  void setEnabled(bool enabled);
  bool enabled() const { return enabled_; }

  // Shown as a tool tip.
  void setHint(const std::string& hint);
  const std::string& hint() const { return hint_; }

  // The mouse pointer over the control; children with the default pointer show it too.
  void setCursor(Cursor cursor);
  Cursor cursor() const { return cursor_; }

  void setFont(const Font& font);
  // Underlines the font the control has now (its parent's, unless it was given one).
  void setFontUnderline(bool underline);
  void setAlign(Align align);
  Align align() const { return align_; }
  // The control's place among its parent's tab stops (0 first); the others keep their order.
  void setTabOrder(int order);

  // Where the client area starts inside the control (a grid's border).
  virtual int clientLeft() const { return 0; }
  virtual int clientTop() const { return 0; }

  Container* parent() const { return parent_; }
  QWidget* widget() const { return widget_; }

  // Paints the control again.
  virtual void repaint();

 protected:
  Control(Container* parent, QWidget* widget);
  // For controls drawn on their parent (labels, images): they lie beneath every windowed control of the
  // parent, whatever the order of creation, so they never cover a button or take its clicks.
  void paintOnParent();
  virtual void boundsChanged() {}
  virtual void fontChanged() {}

  QWidget* widget_;

 private:
  friend class Container;
  Container* parent_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  Align align_ = Align::None;
  Cursor cursor_ = Cursor::Default;
  std::string hint_;
};

// A control that holds others: a form's client area or a panel.
class Container : public Control {
 public:
  // Where child widgets live (the client area).
  virtual QWidget* clientWidget() const { return widget_; }
  int clientWidth() const;
  int clientHeight() const;
  // Lays out the aligned children (top ones down from the top, bottom ones up from the bottom).
  void realign();
  const std::vector<Control*>& children() const { return children_; }

 protected:
  Container(Container* parent, QWidget* widget) : Control(parent, widget) {}

 private:
  friend class Control;
  std::vector<Control*> children_;
  std::vector<Control*> tabOrder_;
};

}  // namespace platform
