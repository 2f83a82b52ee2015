// The screen check finds what a user would see wrong on a rendered form.
#include <gtest/gtest.h>

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "platform/controls/Form.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/Widgets.h"
#include "tests/support/ScreenCheck.h"

using namespace platform;

namespace {

// A small dialog that is whole as built: a label beside its scroll bar, an edit box, OK and a status bar.
struct Dialog : Form {
  Dialog() {
    setClientSize(300, 120);
    setFont(Font{"MS Sans Serif", 11});
    name.setBounds(8, 8, 80, 17);
    bar.setBounds(100, 8, 100, 17);
    edit.setBounds(208, 8, 40, 21);
    edit.setText("12");
    ok.setBounds(110, 60, 75, 25);
    status.addPanel(100);
    status.setPanelText(0, "Items: 3");
  }
  Label name{*this, "Tile width"};
  ScrollBar bar{*this};
  Edit edit{*this};
  Button ok{*this, "&OK"};
  StatusBar status{*this, 19};
  std::unique_ptr<Control> extra;  // created last, so it lies above the others
};

// A control that takes the keyboard focus and draws nothing to show it.
struct Unseen : Control {
  explicit Unseen(Container& parent) : Control(&parent, new QWidget) {
    widget()->setFocusPolicy(Qt::StrongFocus);
  }
};

std::string joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const auto& l : lines) all += l + "\n";
  return all;
}

}  // namespace

TEST(ScreenCheck, AWholeFormHasNoFaultsAndTabWalksItsWindowedControls) {
  Dialog d;
  const ScreenReport r = checkScreen(d);
  EXPECT_EQ(joined(r.faults), "");
  EXPECT_EQ(r.firstFocus, &d.bar);
  EXPECT_EQ(r.tabOrder, (std::vector<const Control*>{&d.bar, &d.edit, &d.ok}));
  EXPECT_FALSE(d.showing()) << "a hidden form is hidden again";
}

TEST(ScreenCheck, FindsEachFaultAUserWouldSee) {
  const struct {
    const char* name;
    std::function<void(Dialog&)> spoil;
    std::string fault;
  } cases[] = {
      {"fixed label too narrow",
       [](Dialog& d) {
         d.name.setAutoSize(false);
         d.name.setBounds(8, 8, 20, 17);
       },
       "label \"Tile width\" at 8,8: text"},
      {"auto-sized label past its laid-out width", [](Dialog& d) { d.name.setBounds(8, 8, 30, 17); },
       "past its laid-out 30 px"},
      {"label grown under the scroll bar",
       [](Dialog& d) { d.name.setCaption("Number of tiles across the whole bitmap"); },
       "text lies under scroll bar at 100,8"},
      {"label past the form's edge", [](Dialog& d) { d.name.setBounds(270, 40, 80, 17); },
       "runs past the edge of its container"},
      {"button caption too wide", [](Dialog& d) { d.ok.setBounds(110, 60, 12, 25); },
       "button \"&OK\" at 110,60: text"},
      {"edit text too wide", [](Dialog& d) { d.edit.setText("123456789"); },
       "edit box \"123456789\" at 208,8: text"},
      {"status panel cut by the bar's end",
       [](Dialog& d) {
         d.status.addPanel(150);
         d.status.setPanelText(1, "Project: /a/folder/deep/down/below/the/others/level.prj");
       },
       "status panel 1 \"Project: /a/folder/deep/down/below/the/others/level.prj\""},
      {"button centre under a later panel",
       [](Dialog& d) {
         d.extra = std::make_unique<Panel>(d);
         d.extra->setBounds(100, 50, 100, 50);
       },
       "button \"&OK\" at 110,60: a click on its centre reaches panel at 100,50"},
      {"a tab stop that shows no focus",
       [](Dialog& d) {
         d.extra = std::make_unique<Unseen>(d);
         d.extra->setBounds(10, 90, 30, 20);
       },
       "control at 10,90: takes the focus unseen"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Dialog d;
    c.spoil(d);
    EXPECT_NE(joined(checkScreen(d).faults).find(c.fault), std::string::npos) << joined(checkScreen(d).faults);
  }
}

TEST(ScreenCheck, ATextOverAnotherTextIsCovered) {
  Dialog d;
  Label second{d, "Tile height"};
  second.setBounds(40, 10, 60, 17);
  const std::string faults = joined(checkScreen(d).faults);
  EXPECT_NE(faults.find("label \"Tile width\" at 8,8: text lies under label \"Tile height\""),
            std::string::npos)
      << faults;
}
