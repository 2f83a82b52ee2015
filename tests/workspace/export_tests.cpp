#include <set>

#include "tests/workspace/TileHelpers.h"

using testing_support::CallKind;

class ExportTest : public TilesTest {
 protected:
  void SetUp() override {
    TilesTest::SetUp();
    start();
  }
};

TEST_F(ExportTest, TheSheetIs8BitsWithThe332PaletteAndOnlyFilledCellsShowTiles) {
  // Tile 0 pure red, tile 1 a colour off the palette.
  ui.answerFile(bitmapFile("red.bmp", 32, 32, platform::PixelFormat::pf8bit, platform::rgb(255, 0, 0)));
  frm->mnuTiles_Add.click();
  const platform::Color off = platform::rgb(100, 150, 20);
  ui.answerFile(bitmapFile("off.bmp", 32, 32, platform::PixelFormat::pf8bit, [&](int, int) { return off; }));
  frm->mnuTiles_Add.click();
  frm->grdImage.setColCount(10);
  frm->grdImage.setRowCount(8);
  frm->grdImage.clearCells();
  frm->grdImage.setCell(2, 1, "0");
  frm->grdImage.setCell(9, 7, "1");
  frm->grdImage.setCell(5, 5, "77");  // names no tile: stays white
  const std::string out = scratch() + "sheet.bmp";
  std::ofstream(out) << "old";
  ui.answerFile(out);
  frm->tlbExport.click();
  const auto dialog = ui.callsOf(CallKind::FileDialog).back().file;
  EXPECT_EQ(dialog.title, "Save Bitmap File");
  EXPECT_EQ(dialog.initialDir, programFolder());
  EXPECT_EQ(dialog.fileName, "");

  const platform::Bitmap sheet = platform::loadBmpFile(out);
  EXPECT_EQ(sheet.width(), 320);
  EXPECT_EQ(sheet.height(), 256);
  EXPECT_EQ(sheet.bitsPerPixel(), 8);
  EXPECT_EQ(sheet.colorTable(), platform::palette332());
  EXPECT_EQ(sheet.index(64, 32), 7) << "pure red is entry 7";
  EXPECT_EQ(sheet.index(95, 63), 7);
  EXPECT_EQ(sheet.index(96, 32), 255) << "white is entry 255";
  EXPECT_EQ(sheet.index(63, 32), 255);
  EXPECT_EQ(sheet.index(5 * 32 + 3, 5 * 32 + 3), 255);
  const platform::Color mapped = sheet.pixel(300, 250);
  EXPECT_EQ(mapped,
            platform::palette332()[platform::Bitmap(1, 1, platform::PixelFormat::pf8bit).nearestIndex(off)]);
}

TEST_F(ExportTest, AnEmptyWorkSpaceHasNothingToExportAndCancelWritesNothing) {
  addTiles(1);
  ui.answerMessage(platform::mrOk);
  frm->mnuFile_Export.click();
  EXPECT_EQ(ui.messages(), (std::vector<std::string>{"There is nothing to Export"}));
  EXPECT_TRUE(ui.callsOf(CallKind::FileDialog).size() == 1u) << "only the Add dialog";
  frm->grdImage.setCell(0, 0, "0");
  const auto files = [] {
    std::set<fs::path> names;
    for (const auto& e : fs::directory_iterator(scratch())) names.insert(e.path());
    return names;
  };
  const std::set<fs::path> before = files();
  ui.answerFile(std::nullopt);
  frm->mnuFile_Export.click();
  EXPECT_EQ(files(), before);
}

TEST_F(ExportTest, SaveTileWritesTheSelectedTileOrWhiteWithoutOne) {
  ui.answerFile(scratch() + "blank.bmp");
  frm->mnuTiles_Save.click();
  const platform::Bitmap blank = platform::loadBmpFile(scratch() + "blank.bmp");
  EXPECT_EQ(blank.width(), 32);
  EXPECT_EQ(blank.bitsPerPixel(), 8);
  EXPECT_EQ(blank.index(10, 10), 255);

  addTiles(2, 16);
  selectTile(1);
  ui.answerFile(scratch() + "tile.bmp");
  frm->mnuSave.click();
  const platform::Bitmap tile = platform::loadBmpFile(scratch() + "tile.bmp");
  EXPECT_EQ(tile.width(), 16);
  EXPECT_EQ(tile.pixel(8, 8), tileColor(1));
  EXPECT_EQ(ui.callsOf(CallKind::FileDialog).back().file.initialDir, programFolder());
}
