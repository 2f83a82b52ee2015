#include <sys/stat.h>

#include "tests/workspace/WorkspaceFixture.h"

using testing_support::CallKind;

TEST_F(WorkspaceTest, ExtEdIsOnForAnyWholeNumberButZeroAndWrittenBackAsOneOrZero) {
  const struct {
    const char* stored;
    bool checked;
  } cases[] = {{"1", true},  {"2", true},    {"-1", true}, {" 3", true},  {"$10", true},
               {"0", false}, {"yes", false}, {"", false},  {"1.0", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    writeConf(std::string("Ext%20Ed=\"") + c.stored + "\"\n");
    auto& f = start();
    EXPECT_EQ(f.UseExternalEd.checked(), c.checked);
    EXPECT_EQ(stored("Ext Ed"), c.checked ? "1" : "0");
  }
}

TEST_F(WorkspaceTest, UseExternalEdFlipsWithoutWritingUntilClose) {
  auto& f = start();
  f.UseExternalEd.click();
  EXPECT_TRUE(f.UseExternalEd.checked());
  EXPECT_EQ(stored("Ext Ed"), "0");
  f.close();
  EXPECT_EQ(stored("Ext Ed"), "1");
}

TEST_F(WorkspaceTest, ChoosingAnEditorNamesItAndStoresItAtCloseEvenUnchecked) {
  writeConf("Editor=/opt/gfx/Old.exe\n");
  auto& f = start();
  EXPECT_EQ(f.UseExternalEd.caption(), "Use Old to Edit Bitmaps");
  ui.answerFile(std::nullopt);
  f.SelectExternalTileEditor1.click();
  EXPECT_EQ(f.externalEditor, "/opt/gfx/Old.exe") << "Cancel changes nothing";

  ui.answerFile(std::string("/opt/gfx/My.Paint.exe"));
  f.SelectExternalTileEditor1.click();
  const auto dialogs = ui.callsOf(CallKind::FileDialog);
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[1].file.title, "");
  EXPECT_EQ(dialogs[1].file.filter, "Editor Executables [*.exe]|*.exe|Any File|*.*");
  EXPECT_EQ(dialogs[1].file.defaultExt, "exe");
  EXPECT_EQ(f.UseExternalEd.caption(), "Use My.Paint to Edit Bitmaps");
  EXPECT_FALSE(f.UseExternalEd.checked());
  EXPECT_EQ(stored("Editor"), "/opt/gfx/Old.exe") << "nothing is written before close";
  f.close();
  EXPECT_EQ(stored("Editor"), "/opt/gfx/My.Paint.exe");
  EXPECT_EQ(stored("Ext Ed"), "0");
}

TEST_F(WorkspaceTest, ATypedEditorNameGetsNoExtension) {
  auto& f = start();
  ui.answerFile(std::string("/usr/local/bin/pixeler"));
  f.SelectExternalTileEditor1.click();
  EXPECT_EQ(f.externalEditor, "/usr/local/bin/pixeler");
  EXPECT_EQ(f.UseExternalEd.caption(), "Use pixeler to Edit Bitmaps");
}

TEST(EnsureTrailingBackslash, AppendsOneSeparatorOnlyWhereMissing) {
  EXPECT_EQ(tlwk::EnsureTrailingBackslash("/opt/tiles"), "/opt/tiles/");
  EXPECT_EQ(tlwk::EnsureTrailingBackslash("/opt/tiles/"), "/opt/tiles/");
  EXPECT_EQ(tlwk::EnsureTrailingBackslash(""), "/");
}

// A value that is not a string ends the start-up with the error box; nothing is written over it.
TEST_F(WorkspaceTest, ASettingOfAnotherTypeIsReportedAndEndsTheStartUp) {
  writeConf("Startup=a, b\n");
  ui.acknowledge();
  auto& f = start();
  const auto errors = ui.callsOf(CallKind::Exception);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].text.find("\"Startup\""), std::string::npos) << errors[0].text;
  EXPECT_NE(errors[0].text.find("is not a string"), std::string::npos) << errors[0].text;
  EXPECT_EQ(f.StatusBar.panelText(2), "Project: untitled.prj") << "start-up ended before the empty state";
  std::ifstream in(confPath());
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("Startup=a, b"), std::string::npos);
}

// A settings write that cannot reach the disk is an error, and the window still closes.
TEST_F(WorkspaceTest, AFailedWriteAtCloseIsReportedAndTheWindowStillCloses) {
  auto& f = start();
  fs::remove_all(fs::path(confPath()).parent_path());
  std::ofstream(fs::path(confPath()).parent_path().string()) << "not a folder";
  ui.acknowledge();
  f.close();
  ASSERT_EQ(ui.callsOf(CallKind::Exception).size(), 1u);
  EXPECT_NE(ui.callsOf(CallKind::Exception)[0].text.find("Unable to write settings file"), std::string::npos);
  EXPECT_FALSE(f.showing());
  fs::remove(fs::path(confPath()).parent_path());
}
