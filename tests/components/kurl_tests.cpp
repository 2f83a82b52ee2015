#include <gtest/gtest.h>

#include "components/KURL2.h"
#include "platform/controls/Form.h"
#include "tests/support/ScriptedServices.h"

using testing_support::CallKind;

TEST(LinkLabel, ConstructionAndTextSetTheSize) {
  platform::Form form;
  components::TKURL2 link(form);
  EXPECT_EQ(link.height(), 13);
  EXPECT_EQ(link.cursor(), platform::Cursor::HandPoint);
  EXPECT_EQ(link.label().cursor(), platform::Cursor::Default);
  EXPECT_EQ(link.hint(), "Put here the Hint for your site link!");
  EXPECT_TRUE(link.label().hint().empty());  // the label shows the link's hint
  EXPECT_TRUE(link.ShowHint());
  EXPECT_FALSE(link.URLorEMAIL().empty());
  EXPECT_EQ(link.width(), link.label().width());

  link.setBounds(10, 20, 169, 13);  // a stored width is replaced by the text's once the text is set
  link.setURLorEMAIL("https://www.halvorn.example/a/much/longer/address");
  EXPECT_EQ(link.width(), link.label().width());
  EXPECT_GT(link.width(), 169);
  EXPECT_EQ(link.height(), 13);
  EXPECT_EQ(link.left(), 10);

  link.setShowHint(false);
  EXPECT_FALSE(link.ShowHint());
  EXPECT_FALSE(link.label().showHint());
}

TEST(LinkLabel, OpenLinkHandsTheShellTheTarget) {
  const struct {
    components::LinkType type;
    const char* text;
    const char* target;
    bool opened;
  } cases[] = {
      {components::LinkType::ltURL, "https://www.halvorn.example/", "https://www.halvorn.example/", true},
      {components::LinkType::ltEMAIL, "support@halvorn.example", "mailto:support@halvorn.example", true},
      {components::LinkType::ltURL, "", "", false}};
  for (const auto& c : cases) {
    testing_support::ScriptedServices ui;
    ui.answerShellOpen(c.opened);
    platform::Form form;
    components::TKURL2 link(form);
    link.Choose = c.type;
    link.setURLorEMAIL(c.text);
    const int width = link.width();
    link.OpenLink();
    ASSERT_EQ(ui.callsOf(CallKind::Shell).size(), 1u);
    EXPECT_EQ(ui.callsOf(CallKind::Shell)[0].text, c.target);
    EXPECT_EQ(link.width(), width);  // a failed open changes nothing and shows nothing
    EXPECT_TRUE(ui.messages().empty());
  }
}

TEST(LinkLabel, ClickOnTheTextOpensTheLink) {
  testing_support::ScriptedServices ui;
  ui.answerShellOpen();
  platform::Form form;
  components::TKURL2 link(form);
  link.setURLorEMAIL("https://www.halvorn.example/");
  link.label().click();
  ASSERT_EQ(ui.calls().size(), 1u);
  EXPECT_EQ(ui.calls()[0].text, "https://www.halvorn.example/");
}
