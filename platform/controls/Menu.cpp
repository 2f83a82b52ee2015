#include "platform/controls/Menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPoint>

#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/qtbase/QtSupport.h"
#include "platform/qtbase/Services.h"

namespace platform {

MenuItem::MenuItem(QWidget* host, const std::string& caption) : action_(new QAction(host)) {
  host->addAction(action_);
  setCaption(caption);
  // Qt would flip a checkable item by itself; the program alone decides the mark.
  QObject::connect(action_, &QAction::triggered, [this] {
    action_->setChecked(checked_);
    click();
  });
}

MenuItem::MenuItem(MainMenu& menu, const std::string& caption) : MenuItem(menu.bar_, caption) {
  menu.items_.push_back(this);
}

MenuItem::MenuItem(PopupMenu& menu, const std::string& caption) : MenuItem(menu.menu_, caption) {
  menu.items_.push_back(this);
}

MenuItem::MenuItem(MenuItem& parent, const std::string& caption) : MenuItem(parent.submenu(), caption) {
  parent.items_.push_back(this);
}

MenuItem::~MenuItem() {
  delete submenu_;
  delete action_;
}

QMenu* MenuItem::submenu() {
  if (!submenu_) {
    submenu_ = new QMenu();
    submenu_->setTitle(action_->text());
    action_->setMenu(submenu_);
    QObject::connect(submenu_, &QMenu::aboutToShow, [this] { click(); });
  }
  return submenu_;
}

void MenuItem::setCaption(const std::string& caption) {
  caption_ = caption;
  action_->setSeparator(caption == "-");
  // A separator shows no text: some styles would draw the "-" beside its line.
  action_->setText(caption == "-" ? QString() : qs(caption));
  if (submenu_) submenu_->setTitle(qs(caption));
}

void MenuItem::setChecked(bool checked) {
  checked_ = checked;
  action_->setCheckable(checked);
  action_->setChecked(checked);
}

void MenuItem::setEnabled(bool enabled) {
  enabled_ = enabled;
  action_->setEnabled(enabled);
}

void MenuItem::setVisible(bool visible) {
  visible_ = visible;
  action_->setVisible(visible);
}

void MenuItem::click() {
  if (!enabled_ || !OnClick) return;
  guarded(OnClick);
}

MainMenu::MainMenu(Form& form) : bar_(new QMenuBar()) { form.attachMenu(*this); }

MainMenu::~MainMenu() = default;  // the bar belongs to its window

PopupMenu::PopupMenu() : menu_(new QMenu()) {}

PopupMenu::~PopupMenu() { delete menu_; }

void PopupMenu::popup(int screenX, int screenY) { services().popup(*this, screenX, screenY); }

}  // namespace platform
