#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <functional>

#include "platform/core/Files.h"
#include "tests/support/Input.h"
#include "tests/workspace/TileHelpers.h"
#include "workspace/TileRules.h"

using platform::mrNo;
using platform::mrOk;
using platform::mrYes;
using testing_support::CallKind;
using Cells = std::vector<std::string>;

namespace {
int stopAtCall = 0, callsSeen = 0;  // set in a child process only
void countCall() {
  if (stopAtCall > 0 && ++callsSeen == stopAtCall) _exit(7);
}
}  // namespace

// A save's steps that change a file are renames and the writes of in-place copies, whichever code runs
// them: the process stops after the chosen one, as a kill there would.
extern "C" int rename(const char* from, const char* to) noexcept {
  static const auto real = reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"));
  const int result = real(from, to);
  countCall();
  return result;
}
extern "C" ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) {
  static const auto real =
      reinterpret_cast<ssize_t (*)(int, const void*, size_t, off_t)>(dlsym(RTLD_NEXT, "pwrite"));
  const ssize_t result = real(fd, data, size, offset);
  countCall();
  return result;
}

namespace {
std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
void writeText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}
long statusKiB(const std::string& key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key, 0) == 0) return std::stol(line.substr(key.size()));
  return -1L;
}
// An RLE8 file of width x height pixels whose stream is codes, with a full table, as many bytes as size.
std::string rle8File(std::uint32_t width, std::uint32_t height, const std::string& codes, std::size_t size) {
  std::string f = "BM";
  const auto le32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) f += static_cast<char>(v >> (8 * i));
  };
  le32(static_cast<std::uint32_t>(size)), le32(0), le32(1078), le32(40), le32(width), le32(height);
  f += std::string("\1\0\x08\0", 4);
  le32(1), le32(static_cast<std::uint32_t>(size - 1078)), le32(0), le32(0), le32(0), le32(0);
  f += std::string(1024, '\0') + codes;
  f.resize(size, '\0');
  return f;
}
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
    for (int c : {0, 1})
      platform::pressMouse(frm->grdImage, platform::MouseButton::Left, c * 33 + 16, c * 33 + 16);
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
  // Save with no file allowed past the limit, which binds root as well; the failure's box is expected.
  void saveWithFileSizeLimit(rlim_t bytes) {
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
    ui.acknowledge();
    frm->tlbSave.click();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
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
  EXPECT_EQ(messages[2].text,
            "A bitmap file already has this name..\r" + path("level.txt.") + "bmp, overwrite?");
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
  EXPECT_EQ(ui.messages(),
            (Cells{"There is nothing to save..", "There is nothing to save..", "There is nothing to close.."}));
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
  writeText(path("shape.prj"),
            "tlwkproj file\nImageCount=1\nImageWidth=32\nImageHeight=32\nRows=3\nColumns=2\n"
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

// A load that cannot finish changes nothing: the work before it stays, with its name and panels.
TEST_F(ProjectTest, MissingStripsAndBadValuesEndTheLoadAndChangeNothing) {
  addTiles(2);
  saveAs("gone");
  std::string text = readText(path("gone.prj"));
  text.replace(text.find("VideoFrames=0"), 13, "VideoFrames=3");
  writeText(path("gone.prj"), text);
  frm->tlbNew.click();
  addTiles(1);
  const auto expectUnchanged = [&] {
    EXPECT_EQ(frm->imagelist1.count(), 1);
    EXPECT_EQ(frm->imagelist1.image(0).pixel(0, 0), tileColor(0));
    EXPECT_TRUE(frm->grdImage.visible());
    EXPECT_EQ(frm->projectName, "");
    EXPECT_EQ(frm->StatusBar.panelText(1), "Num of images: 1");
    EXPECT_EQ(frm->StatusBar.panelText(2), "Project: No file name");
  };
  // Three frames announced but no frame strip; then no tile strip; then a tile strip that is a FIFO,
  // which would block the load for ever.
  ui.answerFile(path("gone.prj")).acknowledge();
  frm->tlbOpen.click();
  EXPECT_EQ(ui.callsOf(CallKind::Exception).size(), 1u);
  expectUnchanged();
  fs::remove(path("gone.bmp"));
  ui.answerFile(path("gone.prj")).acknowledge();
  frm->tlbOpen.click();
  EXPECT_EQ(ui.callsOf(CallKind::Exception).size(), 2u);
  expectUnchanged();
  ASSERT_EQ(mkfifo(path("gone.bmp").c_str(), 0644), 0);
  ui.answerFile(path("gone.prj")).acknowledge();
  frm->tlbOpen.click();
  ASSERT_EQ(ui.callsOf(CallKind::Exception).size(), 3u);
  EXPECT_NE(ui.callsOf(CallKind::Exception).back().text.find("not a regular file"), std::string::npos);
  expectUnchanged();

  writeText(path("word.prj"), "tlwkproj file\nImageCount=1\nImageWidth=abc\n");
  ui.answerFile(path("word.prj")).acknowledge();
  frm->tlbOpen.click();
  EXPECT_EQ(ui.callsOf(CallKind::Exception).back().text, "'abc' is not a valid integer value");
  expectUnchanged();
  // A NUL in a value is shown, not taken for the end of the message.
  writeText(path("nul.prj"),
            std::string("tlwkproj file\nImageCount=5") + '\0' + "\nImageWidth=8\nImageHeight=8\n");
  ui.answerFile(path("nul.prj")).acknowledge();
  frm->tlbOpen.click();
  EXPECT_EQ(ui.callsOf(CallKind::Exception).back().text, "'5\xE2\x90\x80' is not a valid integer value");
  expectUnchanged();
}

// After a load that failed, a plain Save still writes the project that was open, not a half-loaded one.
TEST_F(ProjectTest, AFailedLoadFollowedBySaveLeavesThePreviousFilesByteForByte) {
  makeProject();
  saveAs("prev");
  const std::string prj = readText(path("prev.prj")), bmp = readText(path("prev.bmp")),
                    vid = readText(path("prev.vid"));
  const struct {
    const char* name;
    std::string text;
  } broken[] = {
      {"nostrip.prj", "tlwkproj file\r\nImageCount=1\r\nImageWidth=8\r\nImageHeight=8\r\nColumns=1\r\n"},
      {"word.prj", "tlwkproj file\r\nImageCount=1\r\nImageWidth=32\r\nImageHeight=32\r\nColumns=x\r\n"},
  };
  platform::saveBmpFile(path("word.bmp"), platform::Bitmap(32, 32));
  for (const auto& b : broken) {
    writeText(path(b.name), b.text);
    ui.answerFile(path(b.name)).acknowledge();
    frm->tlbOpen.click();
    frm->tlbSave.click();
    EXPECT_EQ(frm->projectName, path("prev.prj"));
    EXPECT_EQ(readText(path("prev.prj")), prj) << b.name;
    EXPECT_EQ(readText(path("prev.bmp")), bmp) << b.name;
    EXPECT_EQ(readText(path("prev.vid")), vid) << b.name;
  }
  EXPECT_EQ(ui.callsOf(CallKind::Exception).size(), 2u);
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

// Frames a short strip lacks load white, but white far beyond the strip is refused before the white frames
// are made: 2^28 of them would take a gigabyte.
TEST_F(ProjectTest, FarMoreFramesThanTheFrameStripHoldsAreRefusedWithoutTheMemory) {
  addTiles(2);
  saveAs("many");
  const std::string before = readText(path("many.prj"));
  platform::saveBmpFile(path("tiny.bmp"), platform::Bitmap(1, 1));
  platform::saveBmpFile(path("tiny.vid"), platform::Bitmap(1, 1));
  const auto peakKiB = [] {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return use.ru_maxrss;
  };
  const long startKiB = peakKiB();
  for (const char* frames : {"268435456", "4194306"}) {
    writeText(path("tiny.prj"), std::string("tlwkproj file\r\nImageCount=1\r\nImageWidth=1\r\nImageHeight=1\r\n"
                                            "Columns=1\r\nRows=1\r\nFramesPerSec=5\r\nVideoFrames=") +
                                    frames + "\r\n");
    ui.answerFile(path("tiny.prj")).answerMessage(mrOk);
    frm->tlbOpen.click();
    ASSERT_EQ(ui.messages().size(), 1u) << frames;
    EXPECT_EQ(ui.messages().back(), std::string("The project file describes ") + frames +
                                        " frames, far more than its frame strip holds (1)..");
    EXPECT_EQ(frm->projectName, path("many.prj"));
    EXPECT_EQ(frm->imagelist1.count(), 2);
    ui.clear();
  }
  EXPECT_LT(peakKiB() - startKiB, 32 * 1024) << "KiB of peak memory taken by the refused loads";
  // Up to the allowance of white pixels the frames still load, however many they are.
  writeText(path("tiny.prj"),
            "tlwkproj file\r\nImageCount=1\r\nImageWidth=1\r\nImageHeight=1\r\n"
            "Columns=1\r\nRows=1\r\nFramesPerSec=5\r\nVideoFrames=4194305\r\n");
  open(path("tiny.prj"));
  EXPECT_EQ(frm->AniImageList.count(), 4194305);
  EXPECT_EQ(readText(path("many.prj")), before);
}

// Recorded frames keep their size when the tiles change, so Save writes frames of the older size; the
// project still reopens, its frames cut at the new tile size with white where the strip ends.
TEST_F(ProjectTest, FramesRecordedBeforeTheTileSizeChangedReopenAfterSave) {
  // Frames recorded at one tile size, then tiles of another: larger, smaller, wider only, and the largest
  // tile Add takes after the smallest, with many frames.
  const struct {
    int from, frames, w, h;
  } cases[] = {{32, 14, 100, 100}, {32, 14, 16, 16}, {32, 14, 100, 32}, {8, 600, 100, 100}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.frames) + " frames of " + std::to_string(c.from) + ", then tiles of " +
                 std::to_string(c.w) + " x " + std::to_string(c.h));
    frm->tlbNew.click();
    ui.answerFile(bitmapFile("old.bmp", c.from, c.from, platform::PixelFormat::pf8bit, tileColor(0)));
    frm->mnuTiles_Add.click();
    frm->grdImage.setCell(0, 0, "0");
    frm->tlbAnimate.click();
    frm->aniRecord.click();
    for (int i = 0; i < c.frames; ++i)
      platform::pressMouse(frm->grdImage, platform::MouseButton::Left, c.from / 2, c.from / 2);
    frm->aniRecord.click();
    frm->aniClose.click();
    ASSERT_EQ(frm->AniImageList.count(), c.frames);
    selectTile(0);
    frm->mnuTiles_Delete.click();
    ui.answerFile(bitmapFile("new.bmp", c.w, c.h, platform::PixelFormat::pf8bit, tileColor(5)));
    frm->mnuTiles_Add.click();
    ASSERT_EQ(frm->imagelist1.width(), c.w);
    const std::string name =
        "resized" + std::to_string(c.from) + "to" + std::to_string(c.w) + "x" + std::to_string(c.h);
    saveAs(name);
    ASSERT_EQ(platform::loadBmpFile(path(name + ".vid")).width(), c.frames * c.from);

    frm->tlbNew.click();
    open(path(name + ".prj"));
    EXPECT_TRUE(ui.messages().empty()) << ui.messages().back();
    EXPECT_EQ(frm->projectName, path(name + ".prj"));
    EXPECT_EQ(frm->imagelist1.count(), 1);
    EXPECT_EQ(frm->imagelist1.image(0).pixel(c.w - 1, c.h - 1), tileColor(5));
    EXPECT_EQ(frm->AniImageList.count(), c.frames);
    EXPECT_EQ(frm->AniImageList.width(), c.w);
    EXPECT_EQ(frm->AniImageList.height(), c.h);
    EXPECT_EQ(frm->AniImageList.image(0).pixel(0, 0), tileColor(0));
    const bool covered = c.w <= c.from && c.h <= c.from;
    EXPECT_EQ(frm->AniImageList.image(c.frames - 1).pixel(c.w - 1, c.h - 1),
              covered ? tileColor(0) : platform::clWhite);
    ui.clear();
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

  saveWithFileSizeLimit(20000);  // the grown tile strip no longer fits, even for root

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

// The tile strip is written, then the frame strip fails: no target has been replaced yet, so the previous
// three files stay whole and the new tile strip is removed with the rest.
TEST_F(ProjectTest, ASaveFailingAfterItsFirstFileLeavesThePreviousThreeFiles) {
  makeProject();
  saveAs("three");
  const std::string prj = readText(path("three.prj")), bmp = readText(path("three.bmp")),
                    vid = readText(path("three.vid"));
  frm->imagelist1.replace(0, frm->imagelist1.image(2));
  frm->grdImage.setCell(3, 1, "0");
  for (int i = 0; i < 30; ++i) frm->AniImageList.add(frm->imagelist1.image(1));

  saveWithFileSizeLimit(20000);  // the 3-tile strip fits, the 32-frame strip does not

  ASSERT_EQ(ui.callsOf(CallKind::Exception).size(), 1u);
  EXPECT_NE(ui.callsOf(CallKind::Exception)[0].text.find(path("three.vid")), std::string::npos);
  EXPECT_EQ(readText(path("three.prj")), prj);
  EXPECT_EQ(readText(path("three.bmp")), bmp);
  EXPECT_EQ(readText(path("three.vid")), vid);
  for (const auto& e : fs::directory_iterator(scratch()))
    EXPECT_EQ(e.path().string().find(".saving"), std::string::npos) << e.path();
  frm->tlbSave.click();
  EXPECT_NE(readText(path("three.bmp")), bmp) << "once room is back the save goes through";
}

// A save that must fail finds out before it writes a byte. In a folder that takes no new files (a folder
// nobody may write, closed to root too) the files are written in place: a frame strip that cannot be made
// there, a read-only text, or a disk too small for the grown strip would otherwise leave a new strip under
// the old text. A read-only text in a writable folder is found before the strip is written: with room for
// no strip, the failure is still the text's.
TEST_F(ProjectTest, ASaveThatMustFailFailsBeforeItWritesAByte) {
  fs::create_directory(path("shared"));
  makeProject();
  saveAs("shared/level");
  const std::string prj = readText(path("shared/level.prj")), bmp = readText(path("shared/level.bmp")),
                    vid = readText(path("shared/level.vid"));
  for (int i = 3; i < 40; ++i) frm->imagelist1.add(frm->imagelist1.image(i % 3));
  const struct {
    const char* what;
    mode_t folder, text;
    bool frameStrip;
    rlim_t room;
    const char* error;
  } cases[] = {
      {"no frame strip can be made", 0555, 0644, false, RLIM_INFINITY, "Permission denied"},
      {"a read-only text in place", 0555, 0444, true, RLIM_INFINITY, "Permission denied"},
      {"a read-only text beside", 0755, 0444, true, 20000, "Permission denied"},
      {"a disk too small in place", 0555, 0644, true, 20000, "File too large"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (!c.frameStrip) fs::remove(path("shared/level.vid"));
    chmod(path("shared/level.prj").c_str(), c.text);
    chmod(path("shared").c_str(), c.folder);
    ui.clear();
    saveWithFileSizeLimit(c.room);
    chmod(path("shared").c_str(), 0755);
    ASSERT_EQ(ui.callsOf(CallKind::Exception).size(), 1u);
    EXPECT_NE(ui.callsOf(CallKind::Exception)[0].text.find(c.error), std::string::npos)
        << ui.callsOf(CallKind::Exception)[0].text;
    EXPECT_TRUE(readText(path("shared/level.prj")) == prj) << "the text is unchanged";
    EXPECT_TRUE(readText(path("shared/level.bmp")) == bmp) << "the tile strip is unchanged";
    EXPECT_TRUE(!c.frameStrip || readText(path("shared/level.vid")) == vid) << "the frame strip is unchanged";
    EXPECT_EQ(std::distance(fs::directory_iterator(path("shared")), {}), 3 - !c.frameStrip);
    chmod(path("shared/level.prj").c_str(), 0644);
    if (!c.frameStrip) writeText(path("shared/level.vid"), vid);
  }
  // With room and rights the same save goes through in place.
  chmod(path("shared").c_str(), 0555);
  frm->tlbSave.click();
  chmod(path("shared").c_str(), 0755);
  frm->tlbNew.click();
  open(path("shared/level.prj"));
  EXPECT_EQ(frm->imagelist1.count(), 40);
  EXPECT_EQ(frm->AniImageList.count(), 2);
}

// A save stopped after any rename or in-place write, renamed beside its files or written in place: the
// next Open shows the whole old project or the whole new one, finishing what the save left without a
// question.
TEST_F(ProjectTest, AnOpenAfterASaveStoppedAtAnyStepShowsOneWholeProject) {
  fs::create_directory(path("stopped"));
  makeProject();
  saveAs("stopped/level");
  const auto files = [&] {
    std::vector<std::string> bytes;
    for (const char* ext : {"prj", "bmp", "vid"}) bytes.push_back(readText(path("stopped/level.") + ext));
    return bytes;
  };
  const std::vector<std::string> old = files();
  for (int i = 3; i < 40; ++i) frm->imagelist1.add(frm->imagelist1.image(i % 3));
  frm->grdImage.setCell(3, 1, "39");
  frm->tlbSave.click();
  const std::vector<std::string> grown = files();
  // The new project, to load before each save, as each Open below loads what is on disk.
  fs::copy(path("stopped"), path("stopped-new"));
  const auto restore = [&](mode_t folder) {
    chmod(path("stopped").c_str(), 0755);
    int i = 0;
    for (const char* ext : {"prj", "bmp", "vid"}) writeText(path("stopped/level.") + ext, old[i++]);
    chmod(path("stopped").c_str(), folder);
  };
  for (const mode_t folder : {0755, 0555}) {
    bool mixed = false;
    for (int stop = 1;; ++stop) {
      SCOPED_TRACE(testing::Message() << (folder == 0555 ? "in place" : "renamed") << ", stopped at step "
                                      << stop);
      restore(folder);
      open(path("stopped-new/level.prj"));
      frm->projectName = path("stopped/level.prj");
      const pid_t child = fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        stopAtCall = stop;
        frm->tlbSave.click();
        _exit(0);
      }
      int status = 0;
      waitpid(child, &status, 0);
      ASSERT_TRUE(WIFEXITED(status)) << status;
      mixed |= files() != old && files() != grown;
      ui.clear();
      frm->tlbNew.click();
      open(path("stopped/level.prj"));
      EXPECT_TRUE(ui.messages().empty()) << ui.messages().front();
      const bool isNew = files() == grown;
      EXPECT_TRUE(isNew || files() == old);
      EXPECT_EQ(frm->imagelist1.count(), isNew ? 40 : 3);
      EXPECT_EQ(frm->grdImage.cell(3, 1), isNew ? "39" : "");
      if (WEXITSTATUS(status) == 0) break;
    }
    EXPECT_TRUE(mixed) << "no stop came between the first file and the last";
  }
  chmod(path("stopped").c_str(), 0755);
}

// What a killed save left goes at the next save, beside every file the project has, the frame strip too
// when the project has no frames now; the user's own files of similar names stay.
TEST_F(ProjectTest, ASaveTidiesWhatAKilledSaveLeftAndNothingElse) {
  addTiles(2);
  saveAs("tidy");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    platform::FileReplacement killed({path("tidy.bmp"), path("tidy.vid"), path("tidy.prj")});
    for (std::size_t i = 0; i < 3; ++i) killed.output(i).write("lost", 4);
    _exit(0);  // no clean-up runs, as when the program is killed
  }
  waitpid(child, nullptr, 0);
  const auto leftovers = [&] {
    int n = 0;
    for (const auto& e : fs::directory_iterator(scratch()))
      n += e.path().filename().string().rfind(".tidy.", 0) == 0;
    return n;
  };
  ASSERT_EQ(leftovers(), 3);
  const Cells users = {"tidy.prj.backup.saving", "tidy.vid.a1B2c3.saving", "tidy.bmp.notes"};
  for (const auto& name : users) writeText(path(name), "mine");
  frm->tlbSave.click();
  EXPECT_EQ(leftovers(), 0);
  for (const auto& name : users) EXPECT_EQ(readText(path(name)), "mine") << name;
  EXPECT_FALSE(fs::exists(path("tidy.vid")));
}

// The text goes out a piece at a time: a work space of 2048 x 2048 cells, whose lines alone would take
// hundreds of MiB, adds little to what the window holds while it is saved.
TEST_F(ProjectTest, SavingALargeWorkSpaceTakesLittleMemory) {
  addTiles(1);
  frm->grdImage.setColCount(2048);
  frm->grdImage.setRowCount(2048);
  frm->grdImage.setCell(2047, 2047, "0");
  // Resets the peak to what is held now.
  if (!(std::ofstream("/proc/self/clear_refs") << "5")) GTEST_SKIP() << "the peak cannot be reset";
  const long before = statusKiB("VmRSS:");
  saveAs("large");
  EXPECT_LT(statusKiB("VmHWM:") - before, 16 * 1024) << "KiB of peak memory taken by the save";
  const std::string text = readText(path("large.prj"));
  EXPECT_EQ(text.size(), 8 * 2 +
                             std::string("tlwkproj fileImageCount=1ImageWidth=32ImageHeight=32Columns=2048"
                                         "Rows=2048FramesPerSec=5VideoFrames=0")
                                 .size() +
                             2048u * 2048 * 2 + 1);
  EXPECT_EQ(text.substr(text.size() - 7), "\r\n\r\n0\r\n");
}

// A 1 KiB RLE tile strip of runs, or a 65 KiB one of row ends, claiming 16 tiles of 4096 x 4096 would take
// 1.3 GB as a bitmap and its tiles; it is refused by the strip's reader before any of that is taken.
TEST_F(ProjectTest, ACompressedStripFarBeyondItsDataIsRefusedWithoutTheMemory) {
  addTiles(2);
  saveAs("small");
  const auto stripOf = [](std::uint32_t size, const std::string& codes) {
    std::string strip = "BM";
    const auto le32 = [&](std::uint32_t v) {
      for (int i = 0; i < 4; ++i) strip += static_cast<char>(v >> (8 * i));
    };
    le32(size), le32(0), le32(62), le32(40), le32(16 * 4096), le32(4096);
    strip += std::string("\1\0\x08\0", 4);  // one plane, 8 bits
    le32(1), le32(size - 62), le32(0), le32(0), le32(2), le32(0), le32(0), le32(0xFFFFFF);
    while (strip.size() < size - 2) strip += codes;
    return strip + std::string("\0\1", 2);
  };
  const struct {
    std::string strip;
    const char* says;
  } cases[] = {
      {stripOf(1024, "\xFF\x01"), "cannot be described by 962 bytes"},
      {stripOf(65 * 1024, std::string("\0\0", 2)), "cannot be described by 66498 bytes"},
  };
  writeText(path("huge.prj"),
            "tlwkproj file\r\nImageCount=16\r\nImageWidth=4096\r\nImageHeight=4096\r\nColumns=4\r\nRows=4\r\n"
            "FramesPerSec=5\r\nVideoFrames=0\r\n");
  rusage use{};
  getrusage(RUSAGE_SELF, &use);
  const long startKiB = use.ru_maxrss;
  for (const auto& c : cases) {
    writeText(path("huge.bmp"), c.strip);
    ui.answerFile(path("huge.prj")).acknowledge();
    frm->tlbOpen.click();
    ASSERT_EQ(ui.callsOf(CallKind::Exception).size(), 1u) << c.says;
    EXPECT_NE(ui.callsOf(CallKind::Exception)[0].text.find(c.says), std::string::npos)
        << ui.callsOf(CallKind::Exception)[0].text;
    EXPECT_EQ(frm->projectName, path("small.prj"));
    EXPECT_EQ(frm->imagelist1.count(), 2);
    ui.clear();
  }
  getrusage(RUSAGE_SELF, &use);
  EXPECT_LT(use.ru_maxrss - startKiB, 32 * 1024) << "KiB of peak memory taken by the refused loads";
}

// A few hundred bytes of project and strip never cost hundreds of MiB: a large work space without cell
// lines (empty cells cost a few bytes each), a compressed strip whose stream ends at once and whose zeros
// after its end code describe nothing, and a tall compressed frame strip one pixel wide, which covers a
// column of one frame and leaves the rest to the white allowance.
TEST_F(ProjectTest, AFewHundredBytesNeverCostMuchMemory) {
  addTiles(2);
  saveAs("before");
  const auto text = [](int count, int side, int cells, int frames) {
    return "tlwkproj file\r\nImageCount=" + std::to_string(count) + "\r\nImageWidth=" + std::to_string(side) +
           "\r\nImageHeight=" + std::to_string(side) + "\r\nColumns=" + std::to_string(cells) +
           "\r\nRows=" + std::to_string(cells) + "\r\nFramesPerSec=5\r\nVideoFrames=" + std::to_string(frames) +
           "\r\n";
  };
  platform::saveBmpFile(path("tile8.bmp"), platform::Bitmap(8, 8));
  platform::saveBmpFile(path("tile100.bmp"), platform::Bitmap(100, 100));
  const std::string endsAtOnce = rle8File(268435456, 1, std::string("\0\1", 2), 1078 + (std::size_t{1} << 20));
  const std::string tallColumn = rle8File(1, 4194304, std::string("\0\1", 2), 1080);
  const struct {
    const char* what;
    std::string prj;
    const char* bmp;     // empty: the stream that ends at once
    const char* says;    // nullptr: the project loads
    bool error = false;  // said by an error box, not a message
  } cases[] = {
      {"2048 x 2048 cells without lines", text(1, 8, 2048, 0), "tile8.bmp", nullptr},
      {"the same once more, over the cells it left", text(1, 8, 2048, 0), "tile8.bmp", nullptr},
      {"tiles from a stream that ends at once", text(268435456, 1, 1, 0), "", "cannot be described by 2 bytes",
       true},
      {"white frames beyond the allowance", text(1, 100, 1, 420), "tile100.bmp",
       "describes 420 frames, far more than its frame strip holds (1).."},
      {"white frames up to the allowance", text(1, 100, 1, 419), "tile100.bmp", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    writeText(path("few.prj"), c.prj);
    if (std::string(c.bmp).empty())
      writeText(path("few.bmp"), endsAtOnce);
    else
      fs::copy_file(path(c.bmp), path("few.bmp"), fs::copy_options::overwrite_existing);
    writeText(path("few.vid"), tallColumn);
    ui.clear();
    ui.answerFile(path("few.prj"));
    if (c.error) ui.acknowledge();
    if (c.says && !c.error) ui.answerMessage(mrOk);
    frm->tlbNew.click();
    // Resets the peak to what is held now.
    if (!(std::ofstream("/proc/self/clear_refs") << "5")) GTEST_SKIP() << "the peak cannot be reset";
    const long before = statusKiB("VmRSS:");
    frm->tlbOpen.click();
    EXPECT_LT(statusKiB("VmHWM:") - before, 64 * 1024) << "KiB of peak memory taken by the load";
    if (c.says) {
      EXPECT_EQ(ui.calls().size(), 2u);
      EXPECT_NE(ui.calls().back().text.find(c.says), std::string::npos) << ui.calls().back().text;
      EXPECT_EQ(frm->imagelist1.count(), 0);
      continue;
    }
    EXPECT_EQ(frm->projectName, path("few.prj"));
    EXPECT_EQ(frm->grdImage.cell(frm->grdImage.colCount() - 1, frm->grdImage.rowCount() - 1), "");
  }
  EXPECT_EQ(frm->AniImageList.count(), 419);
  EXPECT_EQ(frm->AniImageList.image(0).pixel(0, 99), platform::clBlack) << "index 0 of an all-black table";
  EXPECT_EQ(frm->AniImageList.image(0).pixel(1, 0), platform::clWhite);
}

// The header is checked before the text is read, and the text is held once: a load reads only the lines
// its values call for, however long the file.
TEST_F(ProjectTest, TheProjectTextIsCheckedFirstAndHeldOnce) {
  addTiles(2);
  saveAs("long");
  const std::string text = readText(path("long.prj"));
  const auto peakKiB = [] {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return use.ru_maxrss;
  };
  const auto timedOpen = [&] {
    const auto start = std::chrono::steady_clock::now();
    frm->tlbOpen.click();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
        .count();
  };
  const long startKiB = peakKiB();
  // 120 MiB that is no project, the part past its first line never written (it reads as zeros).
  writeText(path("zeros.prj"), "not a project\r\n");
  fs::resize_file(path("zeros.prj"), std::uintmax_t{120} << 20);
  ui.answerFile(path("zeros.prj")).answerMessage(mrOk);
  EXPECT_LT(timedOpen(), 1000);
  EXPECT_EQ(ui.messages().back(), "This is not a valid Vantrel tile project file..");
  EXPECT_LT(peakKiB() - startKiB, 8 * 1024) << "KiB of peak memory taken by the refused load";

  // 16 MiB of blank lines after the project's own text.
  std::ofstream(path("long.prj"), std::ios::binary | std::ios::app) << std::string(std::size_t{16} << 20, '\n');
  frm->tlbNew.click();
  ui.answerFile(path("long.prj"));
  EXPECT_LT(timedOpen(), 1000);
  EXPECT_EQ(frm->projectName, path("long.prj"));
  EXPECT_EQ(frm->imagelist1.count(), 2);
  EXPECT_LT(peakKiB() - startKiB, 2 * 16 * 1024) << "KiB of peak memory taken by the load";
  EXPECT_EQ(frm->Memo1.line(1), "ImageCount=2");
  EXPECT_EQ(frm->Memo1.line(40000), "");
}

// Every bound of a project holds alike for what a save writes and what a load takes: a save at the bound
// reopens, and one past it is refused before a byte is written, saying what to reduce, with the files of
// the save before left as they were and no name asked for.
class ProjectBoundTest : public ProjectTest {
 protected:
  struct Bound {
    const char* what;
    std::function<void(bool past)> make;  // the work at the bound, or one past it
    std::function<void()> reopened;       // what the reopened work at the bound holds
    std::string refusal;
  };

  // Names, sizes and change times of the files in the case's folder.
  static std::vector<std::string> listing(const std::string& dir) {
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(dir))
      files.push_back(e.path().filename().string() + " " + std::to_string(e.file_size()) + " " +
                      std::to_string(e.last_write_time().time_since_epoch().count()));
    std::sort(files.begin(), files.end());
    return files;
  }

  void expectSavedUpToTheBound(const Bound& b) {
    SCOPED_TRACE(b.what);
    const std::string dir = std::string("bound") + std::to_string(++cases_);
    fs::remove_all(path(dir));
    fs::create_directory(path(dir));
    ui.clear();
    b.make(false);
    saveAs(dir + "/level");
    ASSERT_TRUE(ui.messages().empty()) << ui.messages().back();
    frm->tlbNew.click();
    open(path(dir + "/level.prj"));
    ASSERT_TRUE(ui.messages().empty()) << ui.messages().back();
    ASSERT_EQ(frm->projectName, path(dir + "/level.prj"));
    b.reopened();

    const std::vector<std::string> before = listing(path(dir));
    b.make(true);
    const std::size_t dialogs = ui.callsOf(CallKind::FileDialog).size();
    ui.answerMessage(mrOk).answerMessage(mrOk);
    frm->tlbSave.click();
    frm->tlbSaveAs.click();
    EXPECT_EQ(ui.messages(), (Cells{b.refusal, b.refusal}));
    EXPECT_EQ(ui.callsOf(CallKind::FileDialog).size(), dialogs) << "no name is asked for";
    EXPECT_EQ(listing(path(dir)), before) << "nothing is written";
  }

  // Frames recorded from a tile of `from` pixels a side, then that tile deleted and one of `to` added.
  void recordThenRetile(int from, int frames, int to) {
    frm->tlbNew.click();
    if (from < tlwk::kMinTileSize) {  // tiles the Add command does not take come from a project file
      bitmapFile("pixel.bmp", from, from, platform::PixelFormat::pf24bit, tileColor(0));
      writeText(path("pixel.prj"), "tlwkproj file\r\nImageCount=1\r\nImageWidth=" + std::to_string(from) +
                                       "\r\nImageHeight=" + std::to_string(from) +
                                       "\r\nColumns=1\r\nRows=1\r\nFramesPerSec=5\r\nVideoFrames=0\r\n0\r\n");
      open(path("pixel.prj"));
    } else {
      ui.answerFile(bitmapFile("old.bmp", from, from, platform::PixelFormat::pf8bit, tileColor(0)));
      frm->mnuTiles_Add.click();
      frm->grdImage.setCell(0, 0, "0");
    }
    frm->tlbAnimate.click();
    frm->aniRecord.click();
    const platform::Rect cell = frm->grdImage.cellRect(0, 0);
    for (int i = 0; i < frames; ++i)
      platform::pressMouse(frm->grdImage, platform::MouseButton::Left, cell.left, cell.top);
    frm->aniRecord.click();
    frm->aniClose.click();
    ASSERT_EQ(frm->AniImageList.count(), frames);
    selectTile(0);
    frm->mnuTiles_Delete.click();
    ui.answerFile(bitmapFile("new.bmp", to, to, platform::PixelFormat::pf8bit, tileColor(5)));
    frm->mnuTiles_Add.click();
    ASSERT_EQ(frm->imagelist1.width(), to);
  }
  void expectFramesReopened(int from, int frames, int to) {
    EXPECT_EQ(frm->AniImageList.count(), frames);
    EXPECT_EQ(frm->AniImageList.width(), to);
    EXPECT_EQ(frm->AniImageList.image(0).pixel(0, 0), tileColor(0));
    EXPECT_EQ(frm->AniImageList.image(frames - 1).pixel(to - 1, to - 1),
              to <= from ? tileColor(0) : platform::clWhite);
  }

  int cases_ = 0;
};

// Frames keep the size they were recorded at, while a load cuts them at the tile size: both sizes bound
// what the frame strip may hold. The smallest frames reach each bound with the least memory.
TEST_F(ProjectBoundTest, FramesRecordedAtOneSizeAndSavedUnderAnotherSaveOnlyWhatReopens) {
  const struct {
    int from, to, bound;
    const char* refusal;
  } cases[] = {
      // At the tile size the load cuts, 2^28 pixels: 26843 frames of 100 x 100.
      {8, 100, 26843,
       "The frame strip cannot hold 26844 frames of 8 x 8 pixels that load at the tile size, 100 x 100 "
       "pixels; delete frames to leave at most 26843.."},
      // White beyond a strip of 1-pixel frames, within its allowance of 2^22 pixels.
      {1, 100, 419,
       "The frame strip cannot hold 420 frames of 1 x 1 pixels that load at the tile size, 100 x 100 "
       "pixels; delete frames to leave at most 419.."},
      // At their own size, the largest bitmap.
      {100, 8, 26843,
       "The frame strip cannot hold 26844 frames of 100 x 100 pixels that load at the tile size, 8 x 8 "
       "pixels; delete frames to leave at most 26843.."},
  };
  for (const auto& c : cases) {
    expectSavedUpToTheBound({(std::to_string(c.from) + " to " + std::to_string(c.to)).c_str(),
                             [&](bool past) { recordThenRetile(c.from, c.bound + past, c.to); },
                             [&] { expectFramesReopened(c.from, c.bound, c.to); }, c.refusal});
  }
}

// Tiles, cells and the text bound a project too. Past the bound the work is the reopened project grown,
// so the plain Save of a titled project refuses as well; tiles beyond what Add takes stand in the list
// as a load of such a project gives them.
TEST_F(ProjectBoundTest, TilesAndTheWorkSpaceSaveOnlyWhatReopens) {
  constexpr std::uint32_t kWord = 0xFF336699;
  const std::string head =
      "tlwkproj file\r\nImageCount=1\r\nImageWidth=32\r\nImageHeight=32\r\nColumns=1\r\nRows=1\r\n"
      "FramesPerSec=5\r\nVideoFrames=0\r\n";
  const std::size_t longest = std::size_t{128} << 20;  // the largest project file
  const std::size_t cellText = longest - head.size() - 2;
  const auto tiles = [&](int w, int h, int n) {
    frm->imagelist1.setSize(w, h);
    frm->imagelist1.clear();
    std::fill_n(frm->imagelist1.appendUnwritten(n), std::size_t{static_cast<std::uint32_t>(n * w)} * h, kWord);
  };
  const Bound cases[] = {
      {"the tile side", [&](bool past) { tiles(4096 + past, 1, 1); },
       [&] {
         EXPECT_EQ(frm->imagelist1.width(), 4096);
         EXPECT_EQ(frm->imagelist1.words(0)[4095], kWord);
       },
       "The tile strip cannot hold tiles of 4097 x 1 pixels; use tiles of at most 4096 pixels a side.."},
      {"the tile strip: 2^28 pixels", [&](bool past) { tiles(4096, 4096, 16 + past); },
       [&] {
         EXPECT_EQ(frm->imagelist1.count(), 16);
         EXPECT_EQ(frm->imagelist1.words(15)[4096 * 4096 - 1], kWord);
       },
       "The tile strip cannot hold 17 tiles of 4096 x 4096 pixels; delete tiles to leave at most 16.."},
      {"the work space: 2^22 cells",
       [&](bool past) {
         if (!past) addTiles(1);
         frm->grdImage.setColCount(past ? 5 : 2048);
         frm->grdImage.setRowCount(past ? 838861 : 2048);  // 5 x 838861 = 2^22 + 1
         frm->grdImage.setCell(4, 2047, "0");
       },
       [&] {
         EXPECT_EQ(frm->grdImage.colCount(), 2048);
         EXPECT_EQ(frm->grdImage.rowCount(), 2048);
         EXPECT_EQ(frm->grdImage.cell(4, 2047), "0");
       },
       "The work space cannot hold 5 x 838861 cells; reduce it to at most 4194304 cells.."},
      {"the project text: 128 MiB",
       [&](bool past) {
         if (!past) {
           addTiles(1);
           frm->grdImage.setColCount(1);
           frm->grdImage.setRowCount(1);
         }
         frm->grdImage.setCell(0, 0, std::string(cellText + past, 'x'));
       },
       [&] { EXPECT_EQ(frm->grdImage.cell(0, 0).size(), cellText); },
       "The cells of the work space make a project file of 134217729 bytes, larger than a project file can "
       "be (134217728); empty some cells.."},
  };
  for (const auto& c : cases) {
    frm->tlbNew.click();
    expectSavedUpToTheBound(c);
  }
}
