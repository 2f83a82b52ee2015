// The keyboard as a Windows user works a form: tab stops in their order, scroll bars that answer the keys,
// buttons that Enter presses; tool and speed buttons never take the focus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QToolButton>
#include <vector>

#include "platform/controls/Form.h"
#include "platform/controls/ToolBar.h"
#include "platform/controls/Widgets.h"
#include "tests/support/Input.h"

using namespace platform;

namespace {
void press(Form& form, Key key) { typeKey(form, key); }
bool focused(Form& form, const Control& control) { return hasFocus(form, control); }
}  // namespace

TEST(Keyboard, TabWalksTheTabStopsInTheirOrderFromTheFirstAndSkipsLabelsAndToolButtons) {
  Form form;
  form.setClientSize(300, 200);
  ToolBar tools(form);
  ToolButton tool(tools, "tlb_new");
  SpeedButton speed(form, "cmd_draw");
  Label label(form, "Width");
  Edit edit(form);
  ScrollBar second(form);
  ScrollBar first(form);
  Button ok(form, "OK");
  first.setTabOrder(0);
  second.setTabOrder(1);
  form.show();
  EXPECT_TRUE(focused(form, first));
  const std::vector<const Control*> walk{&second, &edit, &ok, &first};
  for (const Control* next : walk) {
    press(form, Key::Tab);
    EXPECT_TRUE(focused(form, *next));
  }
  EXPECT_EQ(tool.widget()->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(speed.widget()->focusPolicy(), Qt::NoFocus);
}

// Keys move the bar as on Windows and run its handler once per real move, never at an end already reached.
TEST(Keyboard, AFocusedScrollBarAnswersArrowsPagesHomeAndEnd) {
  Form form;
  ScrollBar bar(form);
  bar.setMin(8);
  bar.setMax(100);
  bar.setPosition(32);
  std::vector<int> seen;
  bar.OnChange = [&] { seen.push_back(bar.position()); };
  form.show();
  ASSERT_TRUE(focused(form, bar));
  const struct {
    Key key;
    int position;
  } steps[] = {{Key::Left, 31},     {Key::Up, 30},     {Key::Right, 31}, {Key::Down, 32},
               {Key::PageDown, 33}, {Key::PageUp, 32}, {Key::Home, 8},   {Key::Home, 8},
               {Key::Left, 8},      {Key::End, 100},   {Key::Right, 100}};
  for (const auto& s : steps) {
    press(form, s.key);
    EXPECT_EQ(bar.position(), s.position) << "key " << static_cast<int>(s.key);
  }
  EXPECT_EQ(seen, (std::vector<int>{31, 30, 31, 32, 33, 32, 8, 100}));
}

TEST(Keyboard, EnterPressesTheFocusedButtonElseTheDefaultOne) {
  Form form;
  Edit edit(form);
  Button other(form, "Other");
  Button ok(form, "OK");
  ok.setDefault(true);
  int others = 0, oks = 0;
  other.OnClick = [&] { ++others; };
  ok.OnClick = [&] { ++oks; };
  form.show();
  ASSERT_TRUE(focused(form, edit));
  press(form, Key::Enter);
  EXPECT_EQ(oks, 1);
  press(form, Key::Tab);
  ASSERT_TRUE(focused(form, other));
  press(form, Key::Enter);
  EXPECT_EQ(others, 1);
  EXPECT_EQ(oks, 1);
}

// Each showing starts on the first tab stop, not on the control the last showing left the focus on.
TEST(Keyboard, EveryShowingOfAFormStartsOnItsFirstTabStop) {
  Form form;
  ScrollBar bar(form);
  Button ok(form, "OK");
  for (int showing = 1; showing <= 3; ++showing) {
    form.show();
    EXPECT_TRUE(focused(form, bar)) << "showing " << showing;
    press(form, Key::Tab);
    ASSERT_TRUE(focused(form, ok));
    form.close();
  }
}

// Windows marks the default button with a darker border and the focused one with a dotted rectangle inside.
TEST(Keyboard, TheDefaultButtonHasADarkBorderAndTheFocusedOneADottedRectangle) {
  Form form;
  form.setClientSize(200, 50);
  Button other(form, "Other");
  Button ok(form, "OK");
  other.setBounds(10, 10, 75, 25);
  ok.setBounds(100, 10, 75, 25);
  ok.setDefault(true);
  form.show();
  QApplication::processEvents();
  ASSERT_TRUE(other.widget()->hasFocus());
  const Color dark = rgb(0, 0, 0);
  const auto at = [](Control& c, int x, int y) { return shownOnScreen(c).pixel(x, y); };
  EXPECT_EQ(at(ok, 0, 12), dark);
  EXPECT_NE(at(other, 0, 12), dark);
  EXPECT_EQ(at(other, 4, 4), dark);
  EXPECT_NE(at(ok, 4, 4), dark);
  press(form, Key::Tab);
  EXPECT_EQ(at(ok, 4, 4), dark);
  EXPECT_NE(at(other, 4, 4), dark);
}
