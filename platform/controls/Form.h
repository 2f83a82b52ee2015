#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/controls/Control.h"
#include "platform/qtbase/Services.h"

class QMargins;

namespace platform {

enum class CloseAction { None, Hide, Free, Minimize };

class Button;
class FormWidget;
class MainMenu;

// A window. Its client area has the size the program gives; the main menu sits above it.
class Form : public Container {
 public:
  Form();
  ~Form() override;

  void setCaption(const std::string& caption);
  std::string caption() const;

  void setClientSize(int width, int height);
  // The window's size with the window manager's frame: the client area is what the frame leaves.
  void setOuterSize(int width, int height);
  // Fixed single border with system menu and minimise box only.
  void setFixedBorder();
  // Dialog border: fixed size, close box only.
  void setDialogBorder();
  // Keeps the window above the other windows.
  void setStayOnTop();
  // Places the window's frame in the middle of the screen, at this and every later showing.
  void centerOnScreen();
  void setMaximized(bool maximized);
  bool maximized() const { return maximized_; }

  void show();
  void close();
  bool showing() const;

  // Outer position of the window on the screen.
  int screenLeft() const;
  int screenTop() const;

  // Modal use of one of our own forms: the modal result ends ShowModal.
  ModalResult showModal();
  void setModalResult(ModalResult result);
  ModalResult modalResult() const { return modalResult_; }

  // Runs the activation handler as the platform does when the window becomes active.
  void activate();

  QWidget* clientWidget() const override;
  QWidget* window() const;
  void attachMenu(MainMenu& menu);
  // The button that Enter presses.
  void setDefaultButton(Button* button) { defaultButton_ = button; }
  // Called after the window has closed (the message loop of the main form listens here).
  void whenClosed(std::function<void()> hook) { closedHook_ = std::move(hook); }
  // The modal loop behind showModal, for the real dialog service.
  ModalResult runModalLoop();

  std::function<void()> OnActivate;
  std::function<void(CloseAction&)> OnClose;

 private:
  friend class FormWidget;
  void handleClose();
  // Gives the focus to the first tab stop in tab order.
  void focusFirstTabStop();
  void fitOuterSize();
  // The outer place a centred form asks for, with the window manager's frame given.
  void reckonAsked(const QMargins& frame);
  void placeAsked();
  // Once the window manager has framed the window: moves it where it asked if it landed elsewhere.
  void keepAskedPlace();
  // Restored by the window manager: the fixed size again, centred, its title bar on the screen.
  void restored();

  QWidget* client_;
  bool maximized_ = false;
  bool fixedBorder_ = false;
  int outerWidth_ = 0, outerHeight_ = 0;
  bool centred_ = false;
  int askedLeft_ = 0, askedTop_ = 0;
  // Corrections left to this showing while the window manager places it.
  int placing_ = 0;
  int showings_ = 0;
  ModalResult modalResult_ = mrNone;
  std::function<void()> closedHook_;
  Button* defaultButton_ = nullptr;
  std::function<void()> endModal_;
};

}  // namespace platform
