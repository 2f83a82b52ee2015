#include "components/HalvornAbout.h"
#include "tests/workspace/WorkspaceFixture.h"

using testing_support::CallKind;

TEST_F(WorkspaceTest, HelpItemsAreEnabled) {
  auto& f = start();
  for (platform::MenuItem* item : {&f.About1, &f.emailHalvorn1, &f.HalvornontheWeb1})
    EXPECT_TRUE(item->enabled());
}

TEST_F(WorkspaceTest, AboutShowsTheBoxWithTheProgramsVersion) {
  platform::Application::instance().setIcon("app_tlwkproj");
  auto& f = start();
  EXPECT_EQ(f.AboutBox.Filename, platform::Application::instance().exeName());
  components::TAbout* shown = nullptr;
  std::string version, title;
  int okTop = 0, okWidth = 0, okLeft = 0, logoLeft = 0;
  ui.answerModal([&](platform::Form& form) {
    shown = dynamic_cast<components::TAbout*>(&form);
    if (!shown) return platform::mrCancel;
    version = shown->WVersion.caption();
    title = shown->WTitle.caption();
    okTop = shown->OkButton.top();
    okWidth = shown->OkButton.width();
    okLeft = shown->OkButton.left();
    logoLeft = shown->Logo.left();
    return platform::mrOk;
  });
  f.About1.click();
  ASSERT_EQ(ui.callsOf(CallKind::Modal).size(), 1u);
  EXPECT_EQ(ui.callsOf(CallKind::Modal)[0].text, "Tessaly");
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(version, "Version 1.0.0.0");
  EXPECT_EQ(title, "Tessaly");
  // The application icon is the 32 x 32 logo.
  EXPECT_EQ(f.AboutBox.Width, 160);
  EXPECT_EQ(f.AboutBox.Height, 182);
  EXPECT_EQ(okTop, 122);
  EXPECT_EQ(okWidth, 100);
  EXPECT_EQ(okLeft, 30);
  EXPECT_EQ(logoLeft, 64);
}

TEST_F(WorkspaceTest, LinkItemsOpenTheirAddresses) {
  auto& f = start();
  EXPECT_FALSE(f.Panel1.visible());
  EXPECT_EQ(f.web.hint(), "Visit our Website");
  EXPECT_EQ(f.email.hint(), "Contact Halvorn");
  ui.answerShellOpen().answerShellOpen(false);
  f.HalvornontheWeb1.click();
  f.emailHalvorn1.click();
  const auto opened = ui.callsOf(CallKind::Shell);
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0].text, "https://www.halvorn.example/");
  EXPECT_EQ(opened[1].text, "mailto:support@halvorn.example");
  EXPECT_TRUE(ui.messages().empty());
}
