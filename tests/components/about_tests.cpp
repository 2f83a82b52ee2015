#include <gtest/gtest.h>

#include <QWidget>
#include <filesystem>
#include <fstream>

#include "components/HalvornAbout.h"
#include "components/HalvornAboutBox.h"
#include "components/getver.h"
#include "platform/controls/Application.h"
#include "tests/support/Input.h"
#include "tests/support/ScriptedServices.h"
#include "tests/support/TestFiles.h"

namespace {

// The workspace program, built beside the tests.
std::string workspaceProgram() {
  return (std::filesystem::path(platform::Application::instance().exeName()).parent_path() / "tlwkproj")
      .string();
}

// What the about window showed when it was open.
struct Shown {
  std::string caption, title, copyright, author, version;
  int clientWidth = 0, clientHeight = 0, logoLeft = 0, logoWidth = 0, okLeft = 0, okTop = 0, okWidth = 0;
  int titleLeft = 0, copyrightLeft = 0, authorLeft = 0, versionLeft = 0, titleWidth = 0;
};

class AboutBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::Application::instance().setTitle("Tessaly");
    platform::Application::instance().setScreenSize(1024, 768);
  }

  // Runs Execute with the window answered by result; what it showed goes to shown.
  bool execute(components::THalvornAboutBox& box, platform::ModalResult result = platform::mrOk) {
    ui.answerModal([&, result](platform::Form& f) {
      auto& a = dynamic_cast<components::TAbout&>(f);
      shown = Shown{a.caption(),          a.WTitle.caption(),  a.WCopyright.caption(), a.WAuthor.caption(),
                    a.WVersion.caption(), a.clientWidth(),     a.clientHeight(),       a.Logo.left(),
                    a.Logo.width(),       a.OkButton.left(),   a.OkButton.top(),       a.OkButton.width(),
                    a.WTitle.left(),      a.WCopyright.left(), a.WAuthor.left(),       a.WVersion.left(),
                    a.WTitle.width()};
      return result;
    });
    return box.Execute();
  }

  static std::string logoFile(int width, int height) {
    return testing_support::writeBitmapFile("logo.bmp", width, height, platform::PixelFormat::pf8bit,
                                            [](int, int) { return platform::rgb(0, 0, 255); });
  }

  testing_support::ScriptedServices ui;
  Shown shown;
};

}  // namespace

TEST(WorkspaceProgramFile, CarriesItsVersionBlock) {
  components::TGetVersionInfoFromFile reader;
  reader.setFileName(workspaceProgram());
  const std::vector<std::string> expected = {"Halvorn",
                                             "Tessaly tile workspace",
                                             "1.0.0.0",
                                             "tlwkproj",
                                             "Copyright (c) 2026 Halvorn",
                                             "tlwkproj",
                                             "Tessaly",
                                             "1.0.0.0"};
  EXPECT_EQ(reader.VersionStrings(), expected);
}

TEST_F(AboutBoxTest, ConstructionGivesTheStoredDefaults) {
  const components::THalvornAboutBox box;
  EXPECT_EQ(box.Width, 230);
  EXPECT_EQ(box.Height, 250);
  EXPECT_EQ(box.TextLeft, 20);
  EXPECT_TRUE(box.TextCentered);
  EXPECT_FALSE(box.DefaultIcon);
  EXPECT_FALSE(box.Copyright.empty());
  EXPECT_EQ(box.Top, 384);
  EXPECT_EQ(box.Left, 512);
}

TEST_F(AboutBoxTest, SizingAndPlacingFollowTheLogo) {
  const struct {
    const char* what;
    int width, height;  // the box's before Execute
    int logoW, logoH;   // 0: the built-in logo
    int expectWidth, expectHeight, okTop, okWidth, okLeft, logoLeft;
  } cases[] = {
      {"workspace instance, 32 x 32 logo", 160, 150, 32, 32, 160, 182, 122, 100, 30, 64},
      {"new instance, built-in logo", 230, 250, 0, 0, 230, 270, 210, 170, 30, 42},
      {"wide logo", 230, 250, 300, 20, 308, 250, 110, 248, 30, 4},
      {"narrow box", 100, 150, 32, 32, 120, 182, 122, 60, 30, 44},
  };
  for (const auto& c : cases) {
    components::THalvornAboutBox box;
    box.Width = c.width;
    box.Height = c.height;
    box.DefaultIcon = c.logoW == 0;
    if (c.logoW) box.IconFile = logoFile(c.logoW, c.logoH);
    EXPECT_TRUE(execute(box)) << c.what;
    EXPECT_EQ(box.Width, c.expectWidth) << c.what;
    EXPECT_EQ(box.Height, c.expectHeight) << c.what;
    EXPECT_EQ(shown.clientWidth, c.expectWidth) << c.what;
    EXPECT_EQ(shown.clientHeight, c.expectHeight) << c.what;
    EXPECT_EQ(shown.okTop, c.okTop) << c.what;
    EXPECT_EQ(shown.okWidth, c.okWidth) << c.what;
    EXPECT_EQ(shown.okLeft, c.okLeft) << c.what;
    EXPECT_EQ(shown.logoLeft, c.logoLeft) << c.what;
    EXPECT_EQ(shown.logoWidth, 137) << c.what;
  }
}

TEST_F(AboutBoxTest, TextsComeFromTheBoxAndTheVersionResource) {
  components::THalvornAboutBox box;
  box.Caption = "Tessaly";
  box.Copyright = "(c) us";
  box.Version = "9.9";
  box.DefaultIcon = true;
  box.Filename = workspaceProgram();
  EXPECT_TRUE(execute(box));
  EXPECT_EQ(shown.caption, "Tessaly");
  EXPECT_EQ(shown.title, "Tessaly");  // the application title filled in, and kept
  EXPECT_EQ(box.Title, "Tessaly");
  EXPECT_EQ(shown.copyright, "(c) us");
  EXPECT_EQ(shown.author, box.Author);
  EXPECT_FALSE(box.Author.empty());
  EXPECT_EQ(shown.version, "Version 1.0.0.0");
  EXPECT_EQ(shown.titleLeft, 230 / 2 - shown.titleWidth / 2);

  // Without a version resource the Version text stands, without the prefix; an empty caption stays empty.
  box.Filename = testing_support::scratchFolder() + "plain.txt";
  std::ofstream(box.Filename) << "not a program";
  box.Caption.clear();
  box.Title = "Other";
  EXPECT_FALSE(execute(box, platform::mrCancel));
  EXPECT_EQ(shown.version, "9.9");
  EXPECT_EQ(shown.caption, "");
  EXPECT_EQ(shown.title, "Other");
}

TEST_F(AboutBoxTest, TextsStartAtTextLeftWhenNotCentred) {
  components::THalvornAboutBox box;
  box.TextCentered = false;
  box.TextLeft = 20;
  box.DefaultIcon = true;
  execute(box);
  for (int left : {shown.titleLeft, shown.copyrightLeft, shown.authorLeft, shown.versionLeft})
    EXPECT_EQ(left, 20);
}

TEST_F(AboutBoxTest, SecondExecuteStartsFromTheRaisedSize) {
  components::THalvornAboutBox box;
  box.IconFile = logoFile(300, 200);
  execute(box);
  EXPECT_EQ(box.Width, 308);
  EXPECT_EQ(box.Height, 350);
  box.IconFile = logoFile(32, 32);
  execute(box);
  EXPECT_EQ(shown.clientWidth, 308);
  EXPECT_EQ(shown.clientHeight, 350);
}

TEST_F(AboutBoxTest, UnreadableIconFileEndsBeforeTheWindowShows) {
  components::THalvornAboutBox box;
  box.IconFile = testing_support::scratchFolder() + "missing.bmp";
  EXPECT_ANY_THROW(box.Execute());
  EXPECT_TRUE(ui.calls().empty());
}

TEST_F(AboutBoxTest, RunningProgramWithoutResourceGivesTheVersionProperty) {
  // The test program carries no version block.
  components::THalvornAboutBox box;
  box.Version = "0.1";
  EXPECT_EQ(box.ReadFileVersion(), "0.1");
  EXPECT_EQ(box.ReadInternalName(), "0.1");
  EXPECT_TRUE(ui.calls().empty());
}

TEST(AboutForm, StoredLayout) {
  components::TAbout form;
  EXPECT_EQ(form.caption(), "About");
  EXPECT_EQ(form.clientWidth(), 180);
  EXPECT_EQ(form.clientHeight(), 254);
  EXPECT_EQ(form.WTitle.caption(), "Application Title");
  EXPECT_EQ(form.WVersion.caption(), "WVersion");
  EXPECT_EQ(form.WTitle.left(), 32);
  EXPECT_EQ(form.WVersion.top(), 60);
  EXPECT_EQ(form.Logo.picture().width(), 147);
  EXPECT_EQ(form.Logo.picture().height(), 120);
  EXPECT_EQ(form.Logo.picture().bitsPerPixel(), 8);
  EXPECT_EQ(form.OkButton.top(), 218);
  EXPECT_EQ(form.GetVersion.VersionStrings().size(), 1u);
}

// The workspace's box has its 32-pixel logo's box over the OK button: a click on the middle of OK, and
// Enter on the focused OK, still close the window with OK.
TEST_F(AboutBoxTest, AClickOnTheMiddleOfOkAndEnterCloseIt) {
  for (const bool byKey : {false, true}) {
    components::THalvornAboutBox box;
    box.Width = 160;
    box.Height = 150;
    ui.answerModal([byKey](platform::Form& f) {
      auto& a = dynamic_cast<components::TAbout&>(f);
      a.show();
      if (byKey) {
        EXPECT_TRUE(platform::hasFocus(a, a.OkButton));
        platform::typeKey(a, platform::Key::Enter);
      } else {
        const QPoint middle = a.OkButton.widget()->geometry().center();
        QWidget* hit = a.clientWidget()->childAt(middle);
        EXPECT_EQ(hit, a.OkButton.widget()) << "the control under the middle of OK";
        platform::clickAt(a, middle.x(), middle.y());
      }
      a.hide();
      return a.modalResult();
    });
    EXPECT_TRUE(box.Execute()) << (byKey ? "Enter" : "click");
  }
}
