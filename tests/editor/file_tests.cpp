#include <sys/stat.h>

#include "tests/editor/EditorFixture.h"

using platform::PixelFormat;
using platform::rgb;
using testing_support::CallKind;

TEST_F(EditorTest, NewMakesA100By100WhiteDocumentWithoutPaletteAndNoName) {
  start();
  frm->editWorkingImage().setPixel(0, 0, platform::clBlack);
  frm->NewFile.click();
  EXPECT_EQ(frm->document.width(), 100);
  EXPECT_EQ(frm->document.height(), 100);
  EXPECT_EQ(frm->document.pixelFormat(), PixelFormat::pf24bit);
  EXPECT_TRUE(frm->document.colorTable().empty());
  EXPECT_EQ(frm->workingImage().pixel(0, 0), platform::clWhite);
  EXPECT_FALSE(frm->SaveFile.enabled());
  EXPECT_EQ(frm->stbMain.panelText(1), "Bitmap Size= 100 x 100");
  EXPECT_EQ(frm->stbMain.panelText(2), "Filename: ");
  EXPECT_EQ(frm->grdIcon.colCount(), 100);
  EXPECT_EQ(frm->grdColor.cell(0, 0), "FB");
}

TEST_F(EditorTest, SaveAsNamesTheFileAndSaveThenWritesThere) {
  start();
  const std::string typed = scratch() + "drawing";
  ui.answerFile(typed);
  frm->editWorkingImage().setPixel(2, 2, rgb(255, 0, 0));
  frm->SaveFileAs.click();
  const auto dialog = ui.callsOf(CallKind::FileDialog).at(0).file;
  EXPECT_EQ(dialog.title, "Save Bitmap File");
  EXPECT_EQ(dialog.filter, "Bitmaps (*.bmp)|*.bmp");
  EXPECT_EQ(dialog.defaultExt, "bmp");
  EXPECT_EQ(dialog.kind, platform::FileDialogKind::Save);
  EXPECT_EQ(frm->fileName, typed + ".bmp");
  EXPECT_TRUE(frm->SaveFile.enabled());
  EXPECT_EQ(frm->stbMain.panelText(2), "Filename: ") << "the panels keep their texts";
  platform::Bitmap saved = platform::loadBmpFile(typed + ".bmp");
  EXPECT_EQ(saved.pixelFormat(), PixelFormat::pf8bit);
  EXPECT_EQ(saved.pixel(2, 2), rgb(255, 0, 0));

  frm->editWorkingImage().setPixel(3, 3, rgb(0, 0, 255));
  frm->SaveFile.click();
  EXPECT_EQ(platform::loadBmpFile(typed + ".bmp").pixel(3, 3), rgb(0, 0, 255));
  EXPECT_EQ(ui.calls().size(), 1u) << "Save asks nothing";
}

TEST_F(EditorTest, AFailedSaveAsKeepsTheNameAndTheSaveState) {
  start();
  ui.answerFile(scratch() + "no/such/folder/x.bmp").acknowledge().answerFile(std::nullopt);
  frm->SaveFileAs.click();
  EXPECT_EQ(ui.callsOf(CallKind::Exception).size(), 1u);
  EXPECT_EQ(frm->fileName, "");
  EXPECT_FALSE(frm->SaveFile.enabled());
  frm->SaveFileAs.click();  // Cancel: nothing happens
  EXPECT_FALSE(frm->SaveFile.enabled());
}

TEST_F(EditorTest, OpenSetsUpTheViewAndRotateFollowsTheShape) {
  start();
  const std::string wide =
      bitmapFile("wide.bmp", 32, 16, PixelFormat::pf8bit, [](int, int) { return rgb(0, 36, 0); });
  ui.answerFile(wide);
  frm->OpenFile.click();
  const auto dialog = ui.callsOf(CallKind::FileDialog).at(0).file;
  EXPECT_EQ(dialog.title, "Open bitmap file");
  EXPECT_TRUE(dialog.fileMustExist);
  EXPECT_TRUE(dialog.pathMustExist);
  EXPECT_EQ(frm->stbMain.panelText(1), "Bitmap Size= 32 x 16");
  EXPECT_EQ(frm->stbMain.panelText(2), "Filename: " + wide);
  EXPECT_FALSE(frm->mnuBitmap_Rotate.enabled());
  EXPECT_FALSE(frm->SaveFile.enabled()) << "Open leaves Save as it was";
  EXPECT_EQ(shown(31, 15), rgb(0, 36, 0));
  frm->NewFile.click();
  EXPECT_TRUE(frm->mnuBitmap_Rotate.enabled());
  ui.answerFile(std::nullopt);
  frm->OpenFile.click();
  EXPECT_EQ(frm->document.width(), 100) << "Cancel changes nothing";
}

TEST_F(EditorTest, AnOpenedPaletteBitmapShowsAndSavesTheNearest332Colours) {
  start();
  platform::Bitmap own(4, 1, PixelFormat::pf8bit);
  own.setColorTable({rgb(250, 5, 5), rgb(100, 100, 100), rgb(0, 0, 90), rgb(255, 255, 255)});
  for (int x = 0; x < 4; ++x) own.setIndex(x, 0, static_cast<std::uint8_t>(x));
  const std::string path = scratch() + "own.bmp";
  platform::saveBmpFile(path, own);
  ui.answerFile(path).answerFile(path);
  frm->OpenFile.click();
  const platform::Color expected[] = {rgb(255, 0, 0), rgb(108, 108, 85), rgb(0, 0, 85), rgb(255, 255, 255)};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(shown(x, 0), expected[x]) << x;
  frm->SaveFileAs.click();
  const platform::Bitmap saved = platform::loadBmpFile(path);
  EXPECT_EQ(saved.colorTable(), platform::palette332());
  for (int x = 0; x < 4; ++x) EXPECT_EQ(saved.pixel(x, 0), expected[x]) << x;
}

TEST_F(EditorTest, AnOpenThatFailsLeavesTheDocumentAndTheFileItWouldHaveSavedOver) {
  start();
  ui.answerFile(scratch() + "first");
  frm->SaveFileAs.click();
  const std::string first = scratch() + "first.bmp";
  const std::string junk = scratch() + "junk.bmp";
  std::ofstream(junk) << "no bitmap";
  ui.answerFile(junk).acknowledge();
  frm->OpenFile.click();
  EXPECT_EQ(ui.callsOf(CallKind::Exception).size(), 1u);
  EXPECT_EQ(frm->fileName, first);
  frm->SaveFile.click();
  EXPECT_EQ(bytesOf(junk), "no bitmap");
  EXPECT_EQ(platform::loadBmpFile(first).width(), 75);
}
