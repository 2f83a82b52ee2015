#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace platform {

class Form;
class MainMenu;
class PopupMenu;

// A menu item; a caption of "-" makes a separator. Items with children open a sub-menu.
class MenuItem {
 public:
  MenuItem(MainMenu& menu, const std::string& caption);
  MenuItem(PopupMenu& menu, const std::string& caption);
  MenuItem(MenuItem& parent, const std::string& caption);
  ~MenuItem();
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  void setCaption(const std::string& caption);
  const std::string& caption() const { return caption_; }
  void setChecked(bool checked);
  bool checked() const { return checked_; }
  void setEnabled(bool enabled);
  bool enabled() const { return enabled_; }
  void setVisible(bool visible);
  bool visible() const { return visible_; }

  // The user's choice of the item: runs OnClick inside the handler guard. An item with children runs it
  // each time its sub-menu opens, before it drops down.
  void click();
  std::function<void()> OnClick;

  const std::vector<MenuItem*>& items() const { return items_; }
  QAction* action() const { return action_; }

 private:
  MenuItem(QWidget* host, const std::string& caption);
  QMenu* submenu();

  QAction* action_;
  QMenu* submenu_ = nullptr;
  std::vector<MenuItem*> items_;
  std::string caption_;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
};

// The menu bar of a form.
class MainMenu {
 public:
  explicit MainMenu(Form& form);
  ~MainMenu();
  const std::vector<MenuItem*>& items() const { return items_; }
  QWidget* bar() const { return bar_; }

 private:
  friend class MenuItem;
  QWidget* bar_;
  std::vector<MenuItem*> items_;
};

class PopupMenu {
 public:
  PopupMenu();
  ~PopupMenu();
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;

  // Opens the menu with its top-left corner at a screen point.
  void popup(int screenX, int screenY);
  const std::vector<MenuItem*>& items() const { return items_; }
  QMenu* menu() const { return menu_; }

 private:
  friend class MenuItem;
  QMenu* menu_;
  std::vector<MenuItem*> items_;
};

}  // namespace platform
