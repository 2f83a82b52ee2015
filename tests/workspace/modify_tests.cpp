#include <cerrno>
#include <chrono>

#include "platform/core/Files.h"
#include "platform/core/Process.h"
#include "tests/workspace/ModifyFixture.h"

using platform::rgb;
using testing_support::CallKind;

TEST_F(ModifyTest, WithoutTilesThereIsNothingToModify) {
  ui.answerMessage(platform::mrOk);
  frm->mnuTiles_Modify.click();
  ASSERT_EQ(ui.messages(), (std::vector<std::string>{"There is nothing to modify.."}));
  EXPECT_EQ(ui.calls()[0].type, platform::MsgType::Error);
}

TEST_F(ModifyTest, TheEditorGetsTheQuotedTileFileAsItsOneArgumentAndTheTileComesBack) {
  addTiles(3);
  const std::string folder = home() + "/Program Files $;&'` x/";
  const std::string editor = installAt(folder);
  selectTile(2);
  ui.answerProcess([&](const Args& argv) {
    ASSERT_EQ(argv, (Args{editor, tileFileIn(folder)}));
    const platform::Bitmap sent = platform::loadBmpFile(argv[1]);
    EXPECT_EQ(sent.pixelFormat(), platform::PixelFormat::pf24bit);
    EXPECT_EQ(sent.width(), 32);
    EXPECT_EQ(sent.pixel(5, 5), tileColor(2));
    paintFirstPixel(argv, rgb(255, 255, 0));
  });
  frm->mnuModify.click();
  EXPECT_EQ(ui.calls().back().text, "\"" + editor + "\" \"" + tileFileIn(folder) + "\"");
  EXPECT_EQ(frm->imagelist1.image(2).pixel(0, 0), rgb(255, 255, 0));
  EXPECT_EQ(frm->imagelist1.image(2).pixel(1, 0), tileColor(2));
  EXPECT_EQ(frm->imagelist1.image(1).pixel(0, 0), tileColor(1));
  EXPECT_EQ(frm->imagelist1.count(), 3);
  EXPECT_EQ(frm->StatusBar.panelText(1), "Num of images: 3");
  EXPECT_EQ(frm->grdImageList.canvas().pixel(frm->grdImageList.cellRect(2, 0).left, 0), rgb(255, 255, 0))
      << "the list shows the new image";
  EXPECT_EQ(frm->editorPath, editor);
}

TEST_F(ModifyTest, ASelectionPastTheLastTileDoesNothing) {
  addTiles(2);
  installAt(home() + "/prog/");
  selectTile(5);
  ui.clear();
  frm->mnuTiles_Modify.click();
  EXPECT_TRUE(ui.calls().empty());
  EXPECT_FALSE(fs::exists(tileFileIn(home() + "/prog/")));
}

TEST_F(ModifyTest, AMissingEditorIsLocatedOnlyUnderItsExactName) {
  addTiles(1);
  frm->editorFolder = frm->tempFolder = home() + "/empty/";
  fs::create_directories(frm->tempFolder);
  for (auto answer : {platform::mrNo, platform::mrCancel}) {
    ui.answerMessage(answer);
    frm->mnuTiles_Modify.click();
  }
  EXPECT_FALSE(fs::exists(tileFileIn(frm->tempFolder))) << "declining writes nothing";
  const std::string other = home() + "/other place/";
  fs::create_directories(other);
  std::ofstream(other + "Pxwkproj") << "x";
  std::ofstream(other + "pxwkproj") << "x";
  ui.clear();
  ui.answerMessage(platform::mrYes)
      .answerFile(other + "Pxwkproj")
      .answerMessage(platform::mrOk)
      .answerFile(other + "pxwkproj")
      .answerProcess([&](const Args& argv) { EXPECT_EQ(argv.at(0), other + "pxwkproj"); });
  frm->mnuTiles_Modify.click();
  EXPECT_EQ(ui.messages(),
            (std::vector<std::string>{"The tile editor cannot be found. Do you wish to find it yourself?",
                                      "This is not the correct filename"}));
  EXPECT_EQ(ui.calls()[0].type, platform::MsgType::Warning);
  EXPECT_EQ(ui.calls()[0].buttons, platform::MsgButtons::YesNo);
  const auto dialog = ui.callsOf(CallKind::FileDialog).at(0).file;
  EXPECT_EQ(dialog.title, "Find tile modifier");
  EXPECT_EQ(dialog.filter, "executables (*.exe)|*.exe");
  EXPECT_TRUE(dialog.fileMustExist);
  EXPECT_EQ(frm->editorFolder, other);
  EXPECT_EQ(stored("Bmpdir"), other);
}

TEST_F(ModifyTest, CancellingTheLocateDialogKeepsTheEditorFolderAndTheSettings) {
  addTiles(1);
  frm->editorFolder = frm->tempFolder = home() + "/empty/";
  const std::string storedBefore = stored("Bmpdir");
  ui.answerMessage(platform::mrYes).answerFile(std::nullopt);
  frm->mnuTiles_Modify.click();
  EXPECT_EQ(frm->editorFolder, home() + "/empty/");
  EXPECT_EQ(stored("Bmpdir"), storedBefore);
}

TEST_F(ModifyTest, TheExternalEditorIsStartedWhenCheckedAndTheEditorProgramReplacesAMissingOne) {
  addTiles(1);
  const std::string editor = installAt(home() + "/prog/");
  const std::string external = home() + "/paint tool";
  std::ofstream(external) << "x";
  frm->externalEditor = external;
  frm->UseExternalEd.click();
  ASSERT_TRUE(frm->UseExternalEd.checked());
  ui.answerProcess([&](const Args& argv) { EXPECT_EQ(argv, (Args{external, tileFileIn(home() + "/prog/")})); });
  frm->mnuTiles_Modify.click();

  frm->externalEditor = home() + "/gone";
  ui.answerMessage(platform::mrYes).answerFile(editor).answerProcess([&](const Args& argv) {
    EXPECT_EQ(argv.at(0), editor);
  });
  frm->mnuTiles_Modify.click();
  EXPECT_TRUE(frm->UseExternalEd.checked()) << "the check mark stays";
  EXPECT_TRUE(ui.scriptUsedUp());
}

TEST_F(ModifyTest, AnEditorThatCannotStartLeavesTheTileAsItWas) {
  addTiles(1);
  installAt(home() + "/prog/");
  ui.clear();
  ui.failProcess(ENOEXEC);
  frm->mnuTiles_Modify.click();
  EXPECT_EQ(ui.calls().size(), 1u) << "no message";
  EXPECT_EQ(frm->imagelist1.image(0).pixel(0, 0), tileColor(0));
}

TEST_F(ModifyTest, ABitmapOfAnotherSizeGivesItsTopLeftPartPaddedWithWhite) {
  addTiles(1);
  installAt(home() + "/prog/");
  ui.answerProcess([](const Args& argv) {
    platform::Bitmap wide(40, 20, platform::PixelFormat::pf8bit);
    wide.fillRect({0, 0, 40, 20}, rgb(0, 0, 255));
    wide.setPixel(31, 19, rgb(255, 0, 0));
    platform::saveBmpFile(argv.at(1), wide);
  });
  frm->mnuTiles_Modify.click();
  const platform::Bitmap tile = frm->imagelist1.image(0);
  EXPECT_EQ(frm->imagelist1.width(), 32);
  EXPECT_EQ(frm->imagelist1.height(), 32);
  EXPECT_EQ(tile.pixel(31, 19), rgb(255, 0, 0));
  EXPECT_EQ(tile.pixel(0, 0), rgb(0, 0, 255));
  EXPECT_EQ(tile.pixel(0, 20), platform::clWhite);
  EXPECT_EQ(tile.pixel(31, 31), platform::clWhite);
}

TEST_F(ModifyTest, AProgramFolderNobodyMayWriteSendsTheTileThroughTheUsersCacheFolder) {
  addTiles(1);
  const std::string folder = home() + "/usr local bin/";
  const std::string editor = installAt(folder);
  chmod(folder.c_str(), 0555);
  const std::string cached = home() + "/cache/Halvorn/tlwkproj/tempbmp.bmp";
  ui.answerProcess([&](const Args& argv) {
    EXPECT_EQ(argv, (Args{editor, cached}));
    paintFirstPixel(argv, rgb(0, 255, 255));
  });
  frm->mnuTiles_Modify.click();
  chmod(folder.c_str(), 0755);
  EXPECT_FALSE(fs::exists(tileFileIn(folder)));
  EXPECT_EQ(frm->imagelist1.image(0).pixel(0, 0), rgb(0, 255, 255));
}

TEST_F(ModifyTest, ATileFileGoneAtTheReadBackEndsWithTheErrorBox) {
  addTiles(1);
  installAt(home() + "/prog/");
  ui.answerProcess([](const Args& argv) { fs::remove(argv.at(1)); }).acknowledge();
  frm->mnuTiles_Modify.click();
  EXPECT_EQ(ui.callsOf(CallKind::Exception).size(), 1u);
  EXPECT_EQ(frm->imagelist1.image(0).pixel(0, 0), tileColor(0));
}

TEST_F(ModifyTest, HelpStartsTheViewerWithTheHelpFileUnquotedAndWaits) {
  frm->programFolder = home() + "/my programs/";
  fs::create_directories(frm->programFolder);
  const std::string help = frm->programFolder + "tlwkhelp.chm";
  std::ofstream(help) << "help";
  ui.answerProcess([&](const Args& argv) { EXPECT_EQ(argv, (Args{platform::helpViewerPath(), help})); });
  frm->tlbHelp.click();
  EXPECT_EQ(ui.calls().back().text, "\"" + platform::helpViewerPath() + "\" " + help);
  EXPECT_TRUE(frm->Help2.enabled());

  fs::remove(help);
  ui.clear();
  if (!platform::fileExists(platform::helpViewerPath())) {
    frm->Help2.click();
    EXPECT_TRUE(ui.calls().empty()) << "neither viewer nor help file: nothing happens";
  }
}

TEST_F(ModifyTest, RunAndWaitReportsAMissingProgramAFailedStartAndATimeOut) {
  ui.allowProcesses();
  EXPECT_EQ(
      frm->RunAndWait("/no/such/editor", "\"/no/file\"", platform::kInfinite, platform::ShowCommand::Show),
      "Process file does not exist");
  const std::string plain = home() + "/not a program";
  std::ofstream(plain) << "text";
  EXPECT_EQ(frm->RunAndWait(plain, "x", platform::kInfinite, platform::ShowCommand::Show),
            "Createproccess failed " + plain + " x " + std::to_string(EACCES));
  const std::string sleeper = platform::fileExists("/usr/bin/sleep") ? "/usr/bin/sleep" : "/bin/sleep";
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(frm->RunAndWait(sleeper, "30", 100, platform::ShowCommand::Show),
            "Timeout has occured in waiting for result from compiler.");
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5)) << "the process was ended";
  EXPECT_EQ(frm->RunAndWait(sleeper, "0", platform::kInfinite, platform::ShowCommand::Show), "");
}
