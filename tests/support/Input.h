#pragma once

#include <vector>

#include "platform/controls/Control.h"
#include "platform/controls/Form.h"
#include "platform/controls/Grid.h"
#include "platform/controls/Menu.h"

namespace platform {

// User input delivered to a control through the platform's real event path, as a person's mouse and
// keyboard would: used by tests and benchmarks, never shipped. Points are in the control's client
// coordinates. With otherHeld the other of the left and right buttons is held too.
void pressMouse(Control& control, MouseButton button, int x, int y, bool shift = false, bool otherHeld = false);
void moveMouse(Control& control, int x, int y, bool leftHeld, bool rightHeld = false);
void releaseMouse(Control& control, MouseButton button, int x, int y, bool shift = false);
void doubleClickMouse(Control& control, MouseButton button, int x, int y);
void turnWheel(Control& control, int notches);
// A turn of the given angle in eighths of a degree (120 is one notch), as smooth-scrolling wheels send.
void turnWheelBy(Control& control, int angleDelta);

// Opens the sub-menu of an item with children, as a click on it would, and closes it again.
void openMenu(MenuItem& item);

enum class Key { Left, Right, Up, Down, Home, End, PageUp, PageDown, Enter, Escape, Tab, Space };
// A key sent to the given control.
void pressKey(Control& control, Key key);
// A key as a person types it: pressed and released on whatever control of the form has the focus.
void typeKey(Form& form, Key key);
bool hasFocus(Form& form, const Control& control);
// A left click at a point of the form's client area, landing on whatever control lies there.
void clickAt(Form& form, int x, int y);

// The form becomes the active window, as after a click on its title bar: its focused control then holds
// the keyboard focus.
void makeActive(Form& form);

// The control as the screen shows it, painted in full: what it draws over its canvas included.
Bitmap shownOnScreen(Control& control);
// The visible cells that the screen shows framed by a focus rectangle over the grid's canvas: the cell's
// top-left corner pixel inverted, and the pixels beside and beneath it as the canvas holds them.
std::vector<GridCoord> framedCells(CustomGrid& grid);

}  // namespace platform
