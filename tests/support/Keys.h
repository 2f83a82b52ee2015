#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
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

inline bool hasFocus(platform::Form& form, const platform::Control& control) {
  return form.window()->focusWidget() == control.widget();
}

}  // namespace testing_support
