#include "tests/support/Input.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <stdexcept>

#include "platform/qtbase/QtSupport.h"

namespace platform {

namespace {

Qt::MouseButton qtButton(MouseButton b) {
  switch (b) {
    case MouseButton::Left:
      return Qt::LeftButton;
    case MouseButton::Right:
      return Qt::RightButton;
    case MouseButton::Middle:
      return Qt::MiddleButton;
  }
  return Qt::NoButton;
}

void send(Control& control, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, int x, int y,
          Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QWidget* w = control.widget();
  // A person's press focuses what it lands on; Qt does that only for events from the window system.
  if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) &&
      (w->focusPolicy() & Qt::ClickFocus))
    w->setFocus(Qt::MouseFocusReason);
  const QPointF local(x + control.clientLeft(), y + control.clientTop());
  QMouseEvent e(type, local, w->mapToGlobal(local), button, held, mods);
  QApplication::sendEvent(w, &e);
}

int qtKey(Key key) {
  static const int keys[] = {Qt::Key_Left,   Qt::Key_Right,  Qt::Key_Up,     Qt::Key_Down,
                             Qt::Key_Home,   Qt::Key_End,    Qt::Key_PageUp, Qt::Key_PageDown,
                             Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab,    Qt::Key_Space};
  return keys[static_cast<int>(key)];
}

}  // namespace

void pressMouse(Control& control, MouseButton button, int x, int y, bool shift, bool otherHeld) {
  Qt::MouseButtons held = qtButton(button);
  if (otherHeld) held |= button == MouseButton::Right ? Qt::LeftButton : Qt::RightButton;
  send(control, QEvent::MouseButtonPress, qtButton(button), held, x, y,
       shift ? Qt::ShiftModifier : Qt::NoModifier);
}

void moveMouse(Control& control, int x, int y, bool leftHeld, bool rightHeld) {
  Qt::MouseButtons held;
  if (leftHeld) held |= Qt::LeftButton;
  if (rightHeld) held |= Qt::RightButton;
  send(control, QEvent::MouseMove, Qt::NoButton, held, x, y);
}

void releaseMouse(Control& control, MouseButton button, int x, int y, bool shift) {
  send(control, QEvent::MouseButtonRelease, qtButton(button), Qt::NoButton, x, y,
       shift ? Qt::ShiftModifier : Qt::NoModifier);
}

void doubleClickMouse(Control& control, MouseButton button, int x, int y) {
  send(control, QEvent::MouseButtonDblClick, qtButton(button), qtButton(button), x, y);
}

void openMenu(MenuItem& item) {
  QMenu* menu = item.action()->menu();
  if (!menu) return;
  menu->popup(QPoint(0, 0));
  menu->hide();
}

void turnWheel(Control& control, int notches) { turnWheelBy(control, notches * 120); }

void turnWheelBy(Control& control, int angleDelta) {
  QWidget* w = control.widget();
  const QPointF local(control.clientLeft() + 1, control.clientTop() + 1);
  QWheelEvent e(local, w->mapToGlobal(local), QPoint(), QPoint(0, angleDelta), Qt::NoButton, Qt::NoModifier,
                Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &e);
}

void pressKey(Control& control, Key key) {
  QKeyEvent e(QEvent::KeyPress, qtKey(key), Qt::NoModifier);
  QApplication::sendEvent(control.widget(), &e);
}

void typeKey(Form& form, Key key) {
  QWidget* target = form.window()->focusWidget();
  if (!target) throw std::logic_error("a key typed while nothing has the focus");
  QKeyEvent down(QEvent::KeyPress, qtKey(key), Qt::NoModifier);
  QKeyEvent up(QEvent::KeyRelease, qtKey(key), Qt::NoModifier);
  QApplication::sendEvent(target, &down);
  QApplication::sendEvent(target, &up);
}

bool hasFocus(Form& form, const Control& control) { return form.window()->focusWidget() == control.widget(); }

void clickAt(Form& form, int x, int y) {
  const QPoint at(x, y);
  QWidget* hit = form.clientWidget()->childAt(at);
  if (!hit) hit = form.clientWidget();
  const QPointF local = hit->mapFrom(form.clientWidget(), at);
  const QPointF global = hit->mapToGlobal(local);
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(hit, &press);
  QApplication::sendEvent(hit, &release);
}

void makeActive(Form& form) {
  form.window()->activateWindow();
  QApplication::processEvents();
}

Bitmap shownOnScreen(Control& control) { return fromQImage(control.widget()->grab().toImage()); }

std::vector<GridCoord> framedCells(CustomGrid& grid) {
  const Bitmap shown = shownOnScreen(grid);
  const Bitmap& canvas = grid.canvas();
  const auto inverse = [](Color c) { return rgb(255 - redOf(c), 255 - greenOf(c), 255 - blueOf(c)); };
  std::vector<GridCoord> framed;
  for (int r = grid.topRow(); r < grid.topRow() + grid.visibleRowCount() && r < grid.rowCount(); ++r)
    for (int c = grid.leftCol(); c < grid.leftCol() + grid.visibleColCount() && c < grid.colCount(); ++c) {
      const Rect rect = grid.cellRect(c, r);
      if (rect.width() < 2 || rect.height() < 2) continue;
      const int x = rect.left, y = rect.top, sx = x + grid.clientLeft(), sy = y + grid.clientTop();
      if (shown.pixel(sx, sy) == inverse(canvas.pixel(x, y)) &&
          shown.pixel(sx + 1, sy) == canvas.pixel(x + 1, y) &&
          shown.pixel(sx, sy + 1) == canvas.pixel(x, y + 1))
        framed.push_back(GridCoord{c, r});
    }
  return framed;
}

}  // namespace platform
