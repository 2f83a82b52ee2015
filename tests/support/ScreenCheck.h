#pragma once

#include <string>
#include <vector>

namespace platform {

class Control;
class Form;

// What a form shows once rendered, as a user would find it: texts that do not fit or lie under another
// control, status panels that cut their text, buttons a click cannot reach, and the keyboard's way
// through the form, on which every control that Tab reaches must show that it took the focus.
struct ScreenReport {
  // One readable line per fault; empty when the form is whole.
  std::vector<std::string> faults;
  // The controls Tab visits, from the one that has focus when the form opens, in order.
  std::vector<const Control*> tabOrder;
  const Control* firstFocus = nullptr;
};

// Shows the form if it is hidden (and hides it again afterwards), lets it paint, and walks its controls.
ScreenReport checkScreen(Form& form);

}  // namespace platform
