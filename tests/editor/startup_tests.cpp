#include <sys/stat.h>

#include <cerrno>

#include "platform/core/Paths.h"
#include "platform/core/Process.h"
#include "platform/qtbase/Clipboard.h"
#include "tests/editor/EditorFixture.h"

using platform::PixelFormat;
using platform::rgb;
using testing_support::CallKind;

namespace {
std::vector<bool> fileItemsShown(const pxwk::TfrmMain& f) {
  return {f.NewFile.visible(),    f.OpenFile.visible(), f.SaveFile.visible(),
          f.SaveFileAs.visible(), f.Divider.visible(),  f.mnuFile_Exit.visible()};
}
}  // namespace

TEST_F(EditorTest, OneArgumentIsTileModeAndAnyOtherCountStandalone) {
  const std::string tile =
      bitmapFile("tile24.bmp", 16, 16, PixelFormat::pf24bit, [](int, int) { return rgb(9, 99, 199); });
  const struct {
    std::vector<std::string> args;
    bool tileMode;
    const char* size;
    std::string file;
  } cases[] = {{{}, false, "Bitmap Size= 75 x 75", ""},
               {{tile}, true, "Bitmap Size= 16 x 16", tile},
               {{scratch() + "My", "Tile.bmp"}, false, "Bitmap Size= 75 x 75", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.size());
    start(c.args);
    EXPECT_EQ(frm->tileMode, c.tileMode);
    const bool all = !c.tileMode;
    EXPECT_EQ(fileItemsShown(*frm), (std::vector<bool>{all, all, all, all, all, true}));
    EXPECT_EQ(frm->SaveFile.enabled(), c.tileMode) << "standalone starts with Save disabled";
    EXPECT_EQ(frm->stbMain.panelText(0), "Colors=256");
    EXPECT_EQ(frm->stbMain.panelText(1), c.size);
    EXPECT_EQ(frm->stbMain.panelText(2), "Filename: " + c.file);
    EXPECT_EQ(frm->stbMain.panelText(3), "");
    EXPECT_EQ(frm->grdIcon.colCount(), frm->document.width());
    EXPECT_EQ(frm->grdIcon.rowCount(), frm->document.height());
    EXPECT_TRUE(frm->mnuBitmap_Rotate.enabled());
    EXPECT_EQ(frm->caption(), "Pixandra");
  }
  EXPECT_TRUE(ui.calls().empty());
}

TEST_F(EditorTest, TheStatusBarHasItsFourPanels) {
  start();
  ASSERT_EQ(frm->stbMain.panelCount(), 4);
  const int widths[] = {60, 120, 610, 50};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(frm->stbMain.panel(i).width, widths[i]);
  EXPECT_FALSE(frm->stbMain.panel(3).bevel);
  EXPECT_EQ(frm->stbMain.height(), 19);
}

TEST_F(EditorTest, TheStandaloneStartShowsTheWhiteTemplateWithThe332Palette) {
  start();
  EXPECT_EQ(frm->document.pixelFormat(), PixelFormat::pf8bit);
  EXPECT_EQ(frm->workingImage().pixel(40, 40), platform::clWhite);
  EXPECT_EQ(frm->editorPalette, platform::palette332());
  EXPECT_EQ(frm->paletteTable[75], rgb(108, 36, 85));
  EXPECT_EQ(shown(74, 74), platform::clWhite);
  EXPECT_EQ(frm->imgActual.width(), 75);
}

TEST_F(EditorTest, TileModeWritesTheDrawingBackIn24BitsOnClose) {
  const std::string tile =
      bitmapFile("tile24.bmp", 16, 16, PixelFormat::pf24bit, [](int x, int) { return rgb(x * 16, 1, 2); });
  start({tile});
  EXPECT_EQ(frm->document.pixelFormat(), PixelFormat::pf24bit) << "the file's pixels are kept";
  frm->editWorkingImage().setPixel(3, 4, rgb(1, 2, 3));
  frm->mnuFile_Exit.click();
  EXPECT_FALSE(frm->showing());
  const platform::Bitmap back = platform::loadBmpFile(tile);
  EXPECT_EQ(back.pixelFormat(), PixelFormat::pf24bit);
  EXPECT_EQ(back.width(), 16);
  EXPECT_EQ(back.height(), 16);
  EXPECT_EQ(back.pixel(3, 4), rgb(1, 2, 3));
  EXPECT_EQ(back.pixel(15, 0), rgb(240, 1, 2));
  EXPECT_TRUE(ui.calls().empty()) << "no question on close";
}

// A tile file handed over in a folder the user may not write (a shared folder) is written back in place:
// no new file can be made beside it, but the file itself may be written. A folder nobody may write is
// closed to root too, so the test holds whoever runs it.
TEST_F(EditorTest, TheWriteBackIntoAReadOnlyFolderWritesTheWritableFileInPlace) {
  fs::create_directories(scratch() + "shared");
  const std::string tile = scratch() + "shared/tile.bmp";
  platform::saveBmpFile(tile, platform::Bitmap(16, 16));
  chmod((scratch() + "shared").c_str(), 0555);
  start({tile});
  frm->editWorkingImage().setPixel(3, 4, rgb(0, 0, 255));
  frm->mnuFile_Exit.click();
  chmod((scratch() + "shared").c_str(), 0755);
  EXPECT_TRUE(ui.calls().empty()) << "no \"Error: Unable to Save File\"";
  EXPECT_EQ(platform::loadBmpFile(tile).pixel(3, 4), rgb(0, 0, 255));
  EXPECT_EQ(std::distance(fs::directory_iterator(scratch() + "shared"), {}), 1);
}

TEST_F(EditorTest, ClosingWritesNothingOutsideTileMode) {
  const std::string file =
      bitmapFile("keep.bmp", 8, 8, PixelFormat::pf8bit, [](int, int) { return rgb(255, 0, 0); });
  const std::string before = bytesOf(file);
  for (const auto& args : {std::vector<std::string>{}, std::vector<std::string>{file, file}}) {
    start(args);
    frm->editWorkingImage().setPixel(0, 0, platform::clBlack);
    frm->close();
    EXPECT_FALSE(frm->showing());
  }
  EXPECT_EQ(bytesOf(file), before);
  EXPECT_TRUE(ui.calls().empty());
}

TEST_F(EditorTest, AReadOnlyFileIsKeptWholeAndTheEditorStillEnds) {
  const std::string tile =
      bitmapFile("ro.bmp", 16, 16, PixelFormat::pf24bit, [](int, int) { return rgb(0, 0, 255); });
  chmod(tile.c_str(), 0444);
  const std::string before = bytesOf(tile);
  start({tile});
  frm->editWorkingImage().setPixel(0, 0, platform::clWhite);
  ui.acknowledge();
  frm->mnuFile_Exit.click();
  ASSERT_EQ(ui.callsOf(CallKind::Plain).size(), 1u);
  EXPECT_EQ(ui.callsOf(CallKind::Plain)[0].text, "Error: Unable to Save File");
  EXPECT_FALSE(frm->showing());
  EXPECT_EQ(bytesOf(tile), before);
}

TEST_F(EditorTest, AFileThatFailsToLoadIsNeverWrittenBack) {
  const std::string junk = scratch() + "junk.bmp";
  std::ofstream(junk) << "not a bitmap";
  const std::string missing = scratch() + "missing.bmp";
  // A FIFO would block the start for ever: it is refused at once like any file that is no bitmap.
  const std::string pipe = scratch() + "pipe.bmp";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  for (const std::string& path : {junk, missing, pipe}) {
    SCOPED_TRACE(path);
    ui.acknowledge();
    start({path});
    ASSERT_EQ(ui.callsOf(CallKind::Exception).size(), 1u);
    EXPECT_EQ(frm->stbMain.panelText(1), "Bitmap Size= 75 x 75") << "the view shows the start image";
    EXPECT_EQ(frm->stbMain.panelText(2), "Filename: ");
    EXPECT_EQ(fileItemsShown(*frm), (std::vector<bool>{false, false, false, false, false, true}));
    frm->mnuFile_Exit.click();
    EXPECT_FALSE(frm->showing());
    ui.clear();
  }
  EXPECT_EQ(bytesOf(junk), "not a bitmap");
  EXPECT_FALSE(fs::exists(missing));
}

TEST_F(EditorTest, TheStartEmptiesTheClipboardOnceAndLaterActivationsChangeNothing) {
  platform::Bitmap b(3, 3);
  platform::setClipboardBitmap(b);
  ASSERT_TRUE(platform::clipboardHasBitmap());
  start();
  EXPECT_FALSE(platform::clipboardHasBitmap());
  platform::setClipboardBitmap(b);
  frm->editWorkingImage().setPixel(1, 1, rgb(0, 255, 0));
  frm->activate();
  EXPECT_TRUE(platform::clipboardHasBitmap()) << "a bitmap copied while the editor runs stays";
  EXPECT_EQ(frm->workingImage().pixel(1, 1), rgb(0, 255, 0)) << "the drawing survives";
}

TEST_F(EditorTest, EditAndRotateItemsAreInPlaceWithOnlyUndoDisabledAtStart) {
  start();
  const struct {
    const platform::MenuItem& item;
    const char* caption;
  } items[] = {{frm->mnuEdit_Undo, "&Undo"},
               {frm->mnuEdit_Cut, "Cu&t"},
               {frm->mnuEdit_Copy, "&Copy"},
               {frm->mnuEdit_Paste, "&Paste"},
               {frm->mnuBitmap_Rotate_Right90, "Right 90°"},
               {frm->mnuBitmap_Rotate180, "Right 180°"},
               {frm->mnuBitmap_Rotate_Right270, "Right 270°"}};
  for (const auto& i : items) {
    EXPECT_EQ(i.item.caption(), i.caption);
  }
  // Cut, Copy and Paste are set each time the Edit menu opens.
  EXPECT_FALSE(frm->mnuEdit_Undo.enabled());
  ASSERT_EQ(frm->mnuBitmap_Rotate.items().size(), 3u);
  for (const platform::MenuItem* r : frm->mnuBitmap_Rotate.items()) EXPECT_TRUE(r->enabled()) << r->caption();
  EXPECT_EQ(frm->mnuEdit_Sep1.caption(), "-");
}

TEST_F(EditorTest, HelpStartsTheViewerWithTheHelpFileAndDoesNotWait) {
  start();
  for (const std::string& folder : {frm->programFolder, std::string("/")}) {
    frm->programFolder = folder;
    ui.answerStart();
    frm->mnuHelp_Help.click();
    EXPECT_EQ(ui.calls().back().text, platform::helpViewerPath() + " " + folder + "pxwkhelp.chm");
  }
  EXPECT_EQ(ui.calls().back().text, platform::helpViewerPath() + " /pxwkhelp.chm")
      << "one separator at the root";
  EXPECT_EQ(frm->programFolder.back(), '/');
}

TEST_F(EditorTest, AHelpViewerThatCannotStartIsNotReported) {
  start();
  ui.answerStart(ENOENT);
  frm->mnuHelp_Help.click();
  EXPECT_EQ(ui.calls().size(), 1u) << "no box follows the failed start";
}

TEST(EnsureTrailingBackslash, AddsOneSeparatorOnlyWhereNoneEndsThePath) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {{"", "/"}, {"/", "/"}, {"/usr/bin", "/usr/bin/"}, {"/usr/bin/", "/usr/bin/"}, {"a b", "a b/"}};
  for (const auto& c : cases) EXPECT_EQ(pxwk::EnsureTrailingBackslash(c.in), c.out) << c.in;
  EXPECT_EQ(pxwk::EnsureTrailingBackslash(platform::extractFilePath("/pxwkproj")), "/");
}
