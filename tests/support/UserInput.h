#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "platform/controls/Form.h"

namespace testing_support {

// A key as the user types it: pressed and released on the window's focused control.
inline void pressKey(platform::Form& form, int key) {
  QWidget* target = form.window()->focusWidget();
  ASSERT_NE(target, nullptr) << "nothing has the focus";
  QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
  QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(target, &down);
  QApplication::sendEvent(target, &up);
}

// A left click as the user makes it, at a point of the widget.
inline void clickAt(QWidget* widget, QPointF at) {
  const QPointF global = widget->mapToGlobal(at);
  QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QApplication::sendEvent(widget, &release);
}

inline bool hasFocus(platform::Form& form, const platform::Control& control) {
  return form.window()->focusWidget() == control.widget();
}

}  // namespace testing_support
