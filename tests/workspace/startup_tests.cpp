#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/controls/Application.h"
#include "platform/core/BmpFile.h"
#include "tests/support/Input.h"
#include "tests/workspace/WorkspaceFixture.h"

using platform::mrCancel;
using platform::mrNo;
using platform::MsgButtons;
using platform::MsgType;
using testing_support::CallKind;

namespace {

void expectEmptyState(const tlwk::TfrmMain& f) {
  EXPECT_EQ(f.StatusBar.panelText(0), "Grid Size: 0x0");
  EXPECT_EQ(f.StatusBar.panelText(1), "Num of images: 0");
  EXPECT_EQ(f.StatusBar.panelText(2), "Project: No file name");
  EXPECT_FALSE(f.grdImage.visible());
  EXPECT_FALSE(f.lblWorkSpace.visible());
  EXPECT_FALSE(f.panAnimate.visible());
  EXPECT_TRUE(f.mnuOptions_Grid.checked());
  EXPECT_FALSE(f.mnuOptions_Overwrite.checked());
  EXPECT_EQ(f.grdImage.gridLineWidth(), 1);
  EXPECT_EQ(f.framesPerSecond, 5);
  EXPECT_EQ(f.cellClipboard, -1);
  EXPECT_TRUE(f.projectName.empty());
  EXPECT_EQ(f.imagelist1.count(), 0);
}

const char* const kReopenQuestion =
    "The last project file in use could not be found, do you wish to locate this file yourself?";

}  // namespace

TEST_F(WorkspaceTest, FirstRunSetsCaptionAndWritesAllFiveSettings) {
  auto& f = start();
  EXPECT_TRUE(ui.calls().empty());
  EXPECT_EQ(f.caption(), "Tessaly Version 1.0.0.0  by Halvorn")
      << "the version comes from the program's own version block";
  expectEmptyState(f);
  EXPECT_FALSE(f.UseExternalEd.checked());
  EXPECT_EQ(f.UseExternalEd.caption(), "Use  to Edit Bitmaps");
  EXPECT_EQ(f.programFolder, programFolder());
  EXPECT_EQ(f.editorFolder, programFolder());
  EXPECT_EQ(f.tempFolder, programFolder());

  EXPECT_EQ(stored("Install"), programFolder());
  EXPECT_EQ(stored("Bmpdir"), programFolder());
  EXPECT_EQ(stored("Startup"), "nostartup");
  EXPECT_EQ(stored("Ext Ed"), "0");
  EXPECT_EQ(stored("Editor"), "");
}

TEST_F(WorkspaceTest, StoredFoldersAreReplacedByTheProgramFolder) {
  writeConf("Install=/elsewhere/\nBmpdir=/other/\n");
  auto& f = start();
  EXPECT_EQ(f.editorFolder, programFolder());
  EXPECT_EQ(stored("Bmpdir"), programFolder());
}

// Whatever is stored and cannot be found is asked about; only "nostartup" itself is no project.
TEST_F(WorkspaceTest, MissingProjectIsAskedAboutAndAnythingButYesLeavesTheEmptyState) {
  const struct {
    const char* startup;
    platform::ModalResult answer;
  } cases[] = {{"/no/such/level.prj", mrNo}, {"", mrNo}, {"NoStartup", mrNo}, {"/gone.prj", mrCancel}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.startup);
    writeConf(std::string("Startup=") + c.startup + "\n");
    ui.answerMessage(c.answer);
    auto& f = start();
    const auto boxes = ui.callsOf(CallKind::Message);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kReopenQuestion);
    EXPECT_EQ(boxes[0].type, MsgType::Error);
    EXPECT_EQ(boxes[0].buttons, MsgButtons::YesNo);
    expectEmptyState(f);
    ui.clear();
  }
}

TEST_F(WorkspaceTest, StartUpRunsOnTheFirstActivationOnly) {
  writeConf("Startup=/no/such/level.prj\n");
  ui.answerMessage(mrNo);
  auto& f = start();
  f.activate();
  f.activate();
  EXPECT_EQ(ui.callsOf(CallKind::Message).size(), 1u);
}

TEST_F(WorkspaceTest, ScreensUpTo800PixelsWideMaximiseTheWindow) {
  const struct {
    int width;
    bool maximised;
  } cases[] = {{640, true}, {800, true}, {801, false}, {1920, false}};
  for (const auto& c : cases) {
    platform::Application::instance().setScreenSize(c.width, 600);
    auto& f = start();
    EXPECT_EQ(f.maximized(), c.maximised) << c.width;
  }
}

TEST_F(WorkspaceTest, ClosingStoresTheProjectToReopen) {
  const struct {
    const char* project;
    const char* startup;
  } cases[] = {{"", "nostartup"}, {"/work/levels/castle.prj", "/work/levels/castle.prj"}};
  for (const auto& c : cases) {
    auto& f = start();
    f.projectName = c.project;
    f.mnuFile_Exit.click();
    EXPECT_FALSE(f.showing());
    EXPECT_EQ(stored("Startup"), c.startup);
  }
}

// A path is bytes: a project whose folder name is not UTF-8 is stored at close and reopened at the next
// start by the very same path.
TEST_F(WorkspaceTest, AProjectWhosePathIsNotUtf8IsReopenedAtTheNextStart) {
  const std::string folder = scratch() + "caf\xE9 \xFF/";
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  platform::saveBmpFile(folder + "level.bmp", platform::Bitmap(16, 8));
  std::ofstream(folder + "level.prj", std::ios::binary)
      << "tlwkproj file\r\nImageCount=1\r\nImageWidth=16\r\nImageHeight=8\r\nColumns=3\r\nRows=2\r\n"
         "FramesPerSec=7\r\nVideoFrames=0\r\n";
  auto& first = start();
  first.projectName = folder + "level.prj";
  first.mnuFile_Exit.click();
  auto& f = start();
  EXPECT_TRUE(ui.callsOf(CallKind::Message).empty()) << "the project is found";
  EXPECT_EQ(f.projectName, folder + "level.prj");
  EXPECT_EQ(f.imagelist1.count(), 1);
  EXPECT_EQ(f.grdImage.colCount(), 3);
  EXPECT_EQ(f.framesPerSecond, 7);
}

// A FIFO named as the project to reopen would block the start in open(): it is refused at once and the
// window shows.
TEST_F(WorkspaceTest, AFifoAsTheProjectToReopenIsRefusedAndTheWindowShows) {
  const std::string pipe = scratch() + "pipe.prj";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  writeConf("Startup=" + pipe + "\n");
  ui.acknowledge();
  auto& f = start();
  const auto errors = ui.callsOf(CallKind::Exception);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].text.find(pipe), std::string::npos) << errors[0].text;
  EXPECT_NE(errors[0].text.find("not a regular file"), std::string::npos) << errors[0].text;
  EXPECT_TRUE(f.showing());
  EXPECT_TRUE(f.projectName.empty());
  EXPECT_EQ(f.imagelist1.count(), 0);
}

class ReopenTest : public WorkspaceTest {
 protected:
  // A one-tile project saved and closed by a window of its own.
  std::string savedProject(const std::string& name) {
    start();
    const std::string prj = scratch() + name;
    ui.answerFile(bitmapFile("t.bmp", 16, 16)).answerFile(prj);
    frm->mnuTiles_Add.click();
    frm->grdImage.setCell(0, 0, "0");
    frm->mnuFile_SaveAs.click();
    frm->close();
    ui.clear();
    return prj;
  }
};

TEST_F(ReopenTest, TheLastProjectOpensAgainAtStartAndTheCellClipboardIsEmpty) {
  const std::string prj = savedProject("again.prj");
  EXPECT_EQ(stored("Startup"), prj);
  auto& f = start();
  EXPECT_TRUE(ui.calls().empty());
  EXPECT_EQ(f.projectName, prj);
  EXPECT_EQ(f.imagelist1.count(), 1);
  EXPECT_EQ(f.StatusBar.panelText(2), "Project: " + prj);
  EXPECT_FALSE(f.resumeFlag) << "a start-up that loads leaves the resume flag off";
  // Paste without a Cut or Copy empties the cell.
  platform::pressMouse(f.grdImage, platform::MouseButton::Right, 5, 5);
  f.popMain_Paste.click();
  EXPECT_EQ(f.grdImage.cell(0, 0), "");
}

TEST_F(ReopenTest, AMissingProjectCanBeLocatedAndLoadsOnce) {
  const std::string prj = savedProject("found.prj");
  writeConf("Startup=/moved/away.prj\n");
  ui.answerMessage(platform::mrYes).answerFile(prj);
  auto& f = start();
  const auto dialogs = ui.callsOf(CallKind::FileDialog);
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].file.fileName, "");
  EXPECT_EQ(f.projectName, prj);
  EXPECT_EQ(f.imagelist1.count(), 1);
}

TEST_F(WorkspaceTest, CancellingTheLocateDialogLeavesTheEmptyState) {
  writeConf("Startup=/moved/away.prj\n");
  ui.answerMessage(platform::mrYes).answerFile(std::nullopt);
  auto& f = start();
  expectEmptyState(f);
}
