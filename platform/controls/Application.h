#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Bitmap.h"

namespace platform {

class Form;

// The application object: title, message loop, screen facts. One per process.
class Application {
 public:
  Application(int& argc, char** argv);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  static Application& instance();

  void setTitle(const std::string& title);
  const std::string& title() const { return title_; }
  // The application's icon: a picture of the resources (icons/NAME.png), shown at 32 x 32 pixels.
  void setIcon(const std::string& name);
  const Bitmap& icon() const { return icon_; }

  // Shows the main form and runs the message loop until it closes.
  void run(Form& mainForm);
  // Delivers pending messages (timers, posted events) and returns.
  void processMessages();

  // Full path of the running program file.
  std::string exeName() const;
  // The command-line arguments after the program's own name, as the process received them.
  const std::vector<std::string>& arguments() const { return arguments_; }
  // Width of the primary screen in pixels; a test may set it.
  int screenWidth() const;
  int screenHeight() const;
  void setScreenSize(int width, int height);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::string title_;
  Bitmap icon_;
  std::vector<std::string> arguments_;
  int screenWidth_ = 0;
  int screenHeight_ = 0;
};

// The application-wide busy (hourglass) cursor while it lives; nested ones stack.
class BusyCursor {
 public:
  BusyCursor();
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// Runs one event handler: an exception that escapes it ends the handler and is shown in the default
// exception box; the program goes on.
void guarded(const std::function<void()>& handler);

}  // namespace platform
