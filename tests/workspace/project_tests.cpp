#include <sys/resource.h>

#include <csignal>

#include "tests/support/Input.h"
#include "platform/system/Files.h"
#include "tests/workspace/TileHelpers.h"

using platform::mrNo;
using platform::mrOk;
using platform::mrYes;
using testing_support::CallKind;
using Cells = std::vector<std::string>;

namespace {
std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
void writeText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
}  // namespace

class ProjectTest : public TilesTest {
 protected:
  void SetUp() override {
    TilesTest::SetUp();
    start();
  }
  std::string path(const std::string& name) { return scratch() + name; }

  // Three tiles, a 4 x 2 work space with a few cells, two frames and speed 9.
  void makeProject() {
    addTiles(3);
    frm->grdImage.setColCount(4);
    frm->grdImage.setRowCount(2);
    frm->grdImage.clearCells();
    frm->grdImage.setCell(1, 1, "2");
    frm->grdImage.setCell(0, 0, "1");
    frm->tlbAnimate.click();
    frm->aniRecord.click();
    for (int c : {0, 1}) platform::pressMouse(frm->grdImage, platform::MouseButton::Left, c * 33 + 16, c * 33 + 16);
    frm->aniRecord.click();
    frm->framesPerSecond = 9;
    frm->grdImage.setCell(0, 1, "");
  }
  void saveAs(const std::string& name) {
    ui.answerFile(path(name));
    frm->mnuFile_SaveAs.click();
  }
  void open(const std::string& file) {
    ui.answerFile(file);
    frm->tlbOpen.click();
  }
};

TEST_F(ProjectTest, SaveWritesTilesFramesAndTextThatLoadBackTheSameWork) {
  makeProject();
  saveAs("level1");
  EXPECT_EQ(frm->projectName, path("level1.prj"));
  EXPECT_EQ(frm->StatusBar.panelText(2), "Project: " + path("level1.prj"));
  const auto strip = platform::loadBmpFile(path("level1.bmp"));
  EXPECT_EQ(strip.width(), 3 * 32);
  EXPECT_EQ(strip.height(), 32);
  EXPECT_EQ(strip.pixel(64, 0), tileColor(2));
  EXPECT_EQ(platform::loadBmpFile(path("level1.vid")).width(), 2 * 32);
  const std::string text = readText(path("level1.prj"));
  EXPECT_EQ(text,
            "tlwkproj file\r\nImageCount=3\r\nImageWidth=32\r\nImageHeight=32\r\nColumns=4\r\nRows=2\r\n"
            "FramesPerSec=9\r\nVideoFrames=2\r\n1\r\n\r\n\r\n\r\n\r\n2\r\n\r\n\r\n");

  frm->tlbNew.click();
  frm->framesPerSecond = 5;
  open(path("level1.prj"));
  EXPECT_EQ(frm->imagelist1.count(), 3);
  EXPECT_EQ(frm->imagelist1.image(1).pixel(5, 5), tileColor(1));
  EXPECT_EQ(frm->grdImage.colCount(), 4);
  EXPECT_EQ(frm->grdImage.cell(0, 0), "1");
  EXPECT_EQ(frm->grdImage.cell(1, 1), "2");
  EXPECT_EQ(frm->framesPerSecond, 9);
  EXPECT_EQ(frm->AniImageList.count(), 2);
  EXPECT_EQ(frm->AniImageList.image(1).pixel(0, 0), tileColor(2));
  EXPECT_EQ(frm->lblFramesLoaded.caption(), "Frames Loaded: 2");
  EXPECT_EQ(frm->hsbSlider.max(), 1);
  EXPECT_EQ(frm->currentFrame, 0) << "the panel is shown, so the load rewinds";
  EXPECT_TRUE(frm->grdImage.visible());
  EXPECT_EQ(frm->StatusBar.panelText(0), "Grid Size: 4x2");
  EXPECT_EQ(frm->StatusBar.panelText(1), "Num of images: 3");
  EXPECT_EQ(frm->StatusBar.panelText(2), "Project: " + path("level1.prj"));
  const auto dialog = ui.callsOf(CallKind::FileDialog).back().file;
  EXPECT_EQ(dialog.title, "Open a project file");
  EXPECT_EQ(dialog.filter, "Project File (*.prj)|*.prj");
  EXPECT_EQ(dialog.fileName, "") << "Open empties the file name";
}

TEST_F(ProjectTest, SaveAsChoosesTheExtensionAndAsksOnlyAboutTheProjectAndTileStrip) {
  addTiles(1);
  saveAs("level.txt");
  EXPECT_TRUE(fs::exists(path("level.txt.prj")));
  EXPECT_TRUE(fs::exists(path("level.txt.bmp")));
  saveAs("LEVEL.PRJ");
  EXPECT_TRUE(fs::exists(path("LEVEL.bmp")));
  EXPECT_TRUE(ui.callsOf(CallKind::Message).empty());

  // No to the first question reopens the dialog preset with the project name; a closed box accepts.
  ui.answerFile(path("level.txt.prj")).answerMessage(mrNo);
  ui.answerFile(path("level.txt.prj")).answerMessage(platform::mrCancel).answerMessage(mrYes);
  frm->mnuFile_SaveAs.click();
  const auto messages = ui.callsOf(CallKind::Message);
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0].text, "This file already exists, overwrite?");
  EXPECT_EQ(messages[0].type, platform::MsgType::Warning);
  EXPECT_EQ(messages[2].text, "A bitmap file already has this name..\r" + path("level.txt.") + "bmp, overwrite?");
  EXPECT_EQ(ui.callsOf(CallKind::FileDialog).back().file.fileName, path("LEVEL.PRJ"));
  EXPECT_EQ(ui.callsOf(CallKind::FileDialog).back().file.title, "Save a project file");
  EXPECT_EQ(frm->projectName, path("level.txt.prj"));
}

TEST_F(ProjectTest, SavingWithoutFramesLeavesAnOldFrameStripAndLoadingDoesNotOpenIt) {
  makeProject();
  saveAs("anim");
  frm->aniErase.click();
  writeText(path("anim.vid"), "left from before");
  frm->tlbSave.click();
  EXPECT_NE(readText(path("anim.prj")).find("VideoFrames=0\r\n"), std::string::npos);
  EXPECT_EQ(readText(path("anim.vid")), "left from before");
  frm->tlbNew.click();
  open(path("anim.prj"));
  EXPECT_EQ(frm->imagelist1.count(), 3);
  EXPECT_EQ(frm->AniImageList.count(), 0);
}

TEST_F(ProjectTest, AProjectWithoutFramesDropsTheFramesOfTheWorkBefore) {
  makeProject();
  saveAs("with");
  frm->aniClose.click();
  frm->aniErase.click();
  frm->tlbSave.click();  // VideoFrames=0 now, the old strip stays on disk
  makeProject();
  frm->aniClose.click();
  ASSERT_GT(frm->AniImageList.count(), 0);
  open(path("with.prj"));
  EXPECT_EQ(frm->AniImageList.count(), 0);
  EXPECT_EQ(frm->lblFramesLoaded.caption(), "Frames Loaded: 0");
  EXPECT_EQ(frm->currentFrame, 0);
}

TEST_F(ProjectTest, NothingToSaveOrCloseIsSaidAndWritesNothing) {
  frm->tlbAnimate.click();
  ui.answerMessage(mrOk).answerMessage(mrOk).answerMessage(mrOk);
  frm->tlbSave.click();
  frm->tlbSaveAs.click();
  frm->tlbClose.click();
  EXPECT_EQ(ui.messages(), (Cells{"There is nothing to save..", "There is nothing to save..",
                                  "There is nothing to close.."}));
  EXPECT_EQ(ui.calls()[0].type, platform::MsgType::Information);
}

TEST_F(ProjectTest, CloseAsksToSaveAndClearsTheWorkspaceWhateverTheSaveDid) {
  addTiles(2);
  ui.answerMessage(mrYes).answerFile(std::nullopt);
  frm->tlbClose.click();
  EXPECT_EQ(ui.messages().front(), "Save any changes before closing file?");
  EXPECT_EQ(frm->imagelist1.count(), 0);
  EXPECT_TRUE(fs::is_empty(scratch()) || !fs::exists(path("level.prj")));

  addTiles(2);
  saveAs("closing");
  frm->grdImage.setCell(0, 0, "1");
  ui.answerMessage(platform::mrCancel);
  frm->mnuFile_Close.click();
  EXPECT_EQ(frm->imagelist1.count(), 0);
  EXPECT_EQ(readText(path("closing.prj")).find("\r\n1\r\n"), std::string::npos) << "only Yes saves";
}

TEST_F(ProjectTest, KeyLinesAreReadByPositionAndCellsAsTheyStand) {
  addTiles(1);
  saveAs("shape");
  writeText(path("shape.prj"), "tlwkproj file\nImageCount=1\nImageWidth=32\nImageHeight=32\nRows=3\nColumns=2\n"
                               "Speed=7\n0\r\n0\rword\n\n 0");
  open(path("shape.prj"));
  EXPECT_EQ(frm->grdImage.colCount(), 3);
  EXPECT_EQ(frm->grdImage.rowCount(), 2);
  EXPECT_EQ(frm->framesPerSecond, 7);
  EXPECT_EQ(frm->currentFrame, 0);
  EXPECT_EQ(frm->grdImage.cell(0, 0), "0");
  EXPECT_EQ(frm->grdImage.cell(1, 0), "word");
  EXPECT_EQ(frm->grdImage.cell(0, 1), " 0");
  EXPECT_EQ(frm->grdImage.cell(2, 1), "") << "lines past the end give empty cells";
}

TEST_F(ProjectTest, AFileWithoutTheHeaderIsRefusedBeforeAnythingChanges) {
  addTiles(2);
  for (const char* head : {"TLWKPROJ FILE\n", "tlwkproj file \n", ""}) {
    writeText(path("bad.prj"), std::string(head) + "ImageCount=1\n");
    ui.answerFile(path("bad.prj")).answerMessage(mrOk);
    frm->tlbOpen.click();
    EXPECT_EQ(ui.messages().back(), "This is not a valid Vantrel tile project file..");
    EXPECT_EQ(frm->imagelist1.count(), 2);
    EXPECT_TRUE(frm->grdImage.visible());
  }
}

TEST_F(ProjectTest, MissingStripsAndBadValuesEndTheLoadAtTheirStep) {
  addTiles(2);
  saveAs("gone");
  // Three frames announced but no frame strip: the tiles load, then the error.
  std::string text = readText(path("gone.prj"));
  text.replace(text.find("VideoFrames=0"), 13, "VideoFrames=3");
  writeText(path("gone.prj"), text);
  frm->tlbNew.click();
  ui.answerFile(path("gone.prj")).acknowledge();
  frm->tlbOpen.click();
  EXPECT_EQ(ui.callsOf(CallKind::Exception).size(), 1u);
  EXPECT_EQ(frm->imagelist1.count(), 2);
  EXPECT_FALSE(frm->grdImage.visible());
  EXPECT_EQ(frm->StatusBar.panelText(2), "Project: No file name");

  // No tile strip: the tile list is left empty with the project's tile size.
  fs::remove(path("gone.bmp"));
  ui.answerFile(path("gone.prj")).acknowledge();
  frm->tlbOpen.click();
  EXPECT_EQ(frm->imagelist1.count(), 0);

  writeText(path("word.prj"), "tlwkproj file\nImageCount=1\nImageWidth=abc\n");
  ui.answerFile(path("word.prj")).acknowledge();
  frm->tlbOpen.click();
  EXPECT_EQ(ui.callsOf(CallKind::Exception).back().text, "'abc' is not a valid integer value");
}

TEST_F(ProjectTest, HostileSizesAndShortStripsAreRefusedBeforeTheWorkspaceChanges) {
  addTiles(2);
  saveAs("small");
  const auto head = [](const std::string& n, const std::string& w, const std::string& c) {
    return "tlwkproj file\r\nImageCount=" + n + "\r\nImageWidth=" + w + "\r\nImageHeight=32\r\nColumns=" + c +
           "\r\nRows=2\r\nFramesPerSec=5\r\nVideoFrames=0\r\n";
  };
  const struct {
    std::string text;
    const char* says;
  } cases[] = {
      {head("2", "0", "4"), "which no project can have"},
      {head("2", "100000", "4"), "which no project can have"},
      {head("2000000000", "32", "4"), "more than a tile strip can hold"},
      {head("2", "32", "2000000000"), "larger than any project can have"},
      {head("5", "32", "4"), "is smaller than the project file describes"},
      {head("2", "40", "4"), "is smaller than the project file describes"},
  };
  for (const auto& c : cases) {
    writeText(path("small.prj"), c.text);
    ui.answerFile(path("small.prj")).answerMessage(mrOk);
    frm->tlbOpen.click();
    EXPECT_NE(ui.messages().back().find(c.says), std::string::npos) << ui.messages().back();
    EXPECT_EQ(frm->imagelist1.count(), 2);
    EXPECT_TRUE(frm->grdImage.visible());
  }
}

TEST_F(ProjectTest, AShortFrameStripLoadsWithWhiteFramesAndOddCountsLoadAsWritten) {
  addTiles(1);
  saveAs("odd");
  platform::saveBmpFile(path("odd.vid"), platform::Bitmap(32, 32));
  writeText(path("odd.prj"),
            "tlwkproj file\nImageCount=-4\nImageWidth=32\nImageHeight=32\nColumns=0\nRows=-2\nFramesPerSec=0\n"
            "VideoFrames=3\n");
  open(path("odd.prj"));
  EXPECT_EQ(frm->imagelist1.count(), 0) << "a negative count cuts nothing";
  EXPECT_EQ(frm->grdImage.colCount(), 1);
  EXPECT_EQ(frm->grdImage.rowCount(), 1);
  EXPECT_EQ(frm->AniImageList.count(), 3);
  EXPECT_EQ(frm->AniImageList.image(2).pixel(3, 3), platform::clWhite);
  EXPECT_EQ(frm->currentFrame, 3) << "the panel is hidden: the current frame is the loaded count";
  EXPECT_EQ(frm->framesPerSecond, 0);
  frm->tlbAnimate.click();
  frm->aniPlay.click();
  EXPECT_EQ(frm->tmrFrame.interval(), 1000);
}

// A save that fails part-way leaves every file of the previous save whole, and no partial file.
TEST_F(ProjectTest, AFailedSaveLeavesThePreviousProjectWhole) {
  makeProject();
  saveAs("safe");
  const std::string prj = readText(path("safe.prj")), bmp = readText(path("safe.bmp"));
  for (int i = 3; i < 40; ++i) frm->imagelist1.add(frm->imagelist1.image(0));

  struct rlimit old {};
  getrlimit(RLIMIT_FSIZE, &old);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 20000;  // the grown tile strip no longer fits, even for root
  setrlimit(RLIMIT_FSIZE, &small);
  ui.acknowledge();
  frm->tlbSave.click();
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  ASSERT_EQ(ui.callsOf(CallKind::Exception).size(), 1u);
  EXPECT_EQ(readText(path("safe.prj")), prj);
  EXPECT_EQ(readText(path("safe.bmp")), bmp);
  for (const auto& e : fs::directory_iterator(scratch()))
    EXPECT_TRUE(e.path().filename().string().rfind("safe.", 0) != 0 || e.path().extension() == ".prj" ||
                e.path().extension() == ".bmp" || e.path().extension() == ".vid")
        << e.path();
  frm->tlbNew.click();
  open(path("safe.prj"));
  EXPECT_EQ(frm->imagelist1.count(), 3);
}
