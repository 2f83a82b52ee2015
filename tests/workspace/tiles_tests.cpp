#include "tests/support/Input.h"
#include "tests/workspace/TileHelpers.h"

using platform::MouseButton;
using platform::PixelFormat;
using testing_support::CallKind;
using Cells = std::vector<std::string>;

TEST_F(TilesTest, TheFirstTileSetsTheTileSizeAndShowsTheWorkSpace) {
  const struct {
    int w, h, cols, rows;
    PixelFormat format;
  } cases[] = {{8, 8, 80, 60, PixelFormat::pf8bit},
               {100, 100, 6, 4, PixelFormat::pf4bit},
               {32, 32, 20, 15, PixelFormat::pf24bit},
               {8, 100, 80, 4, PixelFormat::pf8bit}};
  for (const auto& c : cases) {
    start();
    ui.answerFile(bitmapFile("first.bmp", c.w, c.h, c.format));
    frm->mnuTiles_Add.click();
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    EXPECT_EQ(frm->imagelist1.count(), 1);
    EXPECT_EQ(frm->imagelist1.width(), c.w);
    EXPECT_EQ(frm->grdImage.colCount(), c.cols);
    EXPECT_EQ(frm->grdImage.rowCount(), c.rows);
    EXPECT_EQ(frm->grdImage.defaultColWidth(), c.w);
    EXPECT_EQ(frm->grdImageList.defaultRowHeight(), c.h);
    EXPECT_EQ(frm->grdImageList.height(), c.h + 21);
    EXPECT_TRUE(frm->grdImage.visible());
    EXPECT_TRUE(frm->lblWorkSpace.visible());
    EXPECT_EQ(frm->StatusBar.panelText(0),
              "Grid Size: " + std::to_string(c.cols) + "x" + std::to_string(c.rows));
    EXPECT_EQ(frm->StatusBar.panelText(1), "Num of images: 1");
  }
}

TEST_F(TilesTest, AFirstTileOutside8To100IsRefusedOnceAndTheListStaysEmpty) {
  for (auto [w, h] : {std::pair{7, 40}, std::pair{101, 40}, std::pair{40, 7}}) {
    start();
    ui.answerFile(bitmapFile("odd.bmp", w, h)).answerMessage(platform::mrOk);
    frm->mnuAdd.click();
    EXPECT_EQ(ui.messages().back(), "Bitmap not a valid size.It must be 8-100 pixels in size");
    EXPECT_EQ(ui.callsOf(CallKind::FileDialog).size(), 1u) << "the dialog does not open again";
    EXPECT_EQ(frm->imagelist1.count(), 0);
    EXPECT_FALSE(frm->grdImage.visible());
    ui.clear();
  }
}

TEST_F(TilesTest, ALaterBitmapMustMatchInSizeAndColoursAndTheDialogOpensAgain) {
  start();
  addTiles(1);
  ui.answerFile(bitmapFile("small24.bmp", 16, 16, PixelFormat::pf24bit))
      .answerMessage(platform::mrOk)
      .answerMessage(platform::mrOk)
      .answerFile(bitmapFile("mono.bmp", 32, 32, PixelFormat::pf1bit))
      .answerMessage(platform::mrOk)
      .answerFile(std::nullopt);
  frm->mnuTiles_Add.click();
  EXPECT_EQ(ui.messages(), (Cells{"All images must be the same width and height",
                                  "Added image must be have 256 colors or less",
                                  "Added image must be have 256 colors or less"}));
  const auto dialogs = ui.callsOf(CallKind::FileDialog);
  ASSERT_EQ(dialogs.size(), 4u);
  EXPECT_EQ(dialogs[1].file.title, "Open Bitmap File");
  EXPECT_EQ(dialogs[1].file.filter, "Bitmaps (*.bmp)|*.bmp");
  EXPECT_EQ(dialogs[1].file.defaultExt, "bmp");
  EXPECT_TRUE(dialogs[1].file.fileMustExist);
  EXPECT_EQ(frm->imagelist1.count(), 1);
}

TEST_F(TilesTest, DeleteEmptiesTheTilesCellsAndRenumbersTheRest) {
  start();
  addTiles(5);
  setCells({"1", "2", "4", ""});
  selectTile(2);
  frm->mnuTiles_Delete.click();
  EXPECT_EQ(cells(4), (Cells{"1", "", "3", ""}));
  EXPECT_EQ(frm->imagelist1.count(), 4);
  EXPECT_EQ(frm->StatusBar.panelText(1), "Num of images: 4");
  EXPECT_EQ(shown(2, 0), tileColor(4)) << "the renumbered cell still shows its image";
  EXPECT_EQ(frm->selectedTileCol, 2);

  selectTile(7);
  frm->mnuDelete.click();
  EXPECT_EQ(frm->imagelist1.count(), 4) << "a column past the last tile deletes nothing";
  EXPECT_TRUE(ui.calls().size() == 5u);
}

TEST_F(TilesTest, DeletingTheOnlyTileHidesTheWorkSpaceAndEmptiesEveryCell) {
  start();
  addTiles(1);
  setCells({"0", "5", "word"});
  selectTile(0);
  frm->mnuDelete.click();
  EXPECT_FALSE(frm->grdImage.visible());
  EXPECT_FALSE(frm->lblWorkSpace.visible());
  EXPECT_EQ(cells(3), (Cells{"", "", ""}));
  EXPECT_EQ(frm->StatusBar.panelText(0), "Grid Size: 0x0");
  EXPECT_EQ(frm->StatusBar.panelText(1), "Num of images: 0");
}

TEST_F(TilesTest, InsertPutsTheNewTileAtTheSelectionAndRenumbersFromThere) {
  start();
  addTiles(5);
  setCells({"0", "2", "4"});
  selectTile(2);
  ui.answerFile(tileFile(9));
  frm->mnuTiles_Insert.click();
  EXPECT_EQ(cells(3), (Cells{"0", "3", "5"}));
  EXPECT_EQ(frm->imagelist1.count(), 6);
  EXPECT_EQ(frm->StatusBar.panelText(1), "Num of images: 6");
  EXPECT_EQ(frm->imagelist1.image(2).pixel(0, 0), tileColor(9));
  EXPECT_EQ(shown(1, 0), tileColor(2));

  selectTile(6);  // the first empty column appends
  ui.answerFile(tileFile(10));
  frm->mnuInsert.click();
  EXPECT_EQ(frm->imagelist1.count(), 7);
  EXPECT_EQ(frm->imagelist1.image(6).pixel(0, 0), tileColor(10));
  EXPECT_EQ(cells(3), (Cells{"0", "3", "5"}));

  selectTile(9);  // further out there is no place to insert at
  frm->mnuInsert.click();
  EXPECT_EQ(frm->imagelist1.count(), 7);
}

TEST_F(TilesTest, ReplaceChangesTheImageOfEveryCellHoldingTheTileAndNothingElse) {
  start();
  addTiles(5);
  setCells({"3", "1", "3"});
  selectTile(3);
  ui.answerFile(tileFile(20));
  frm->mnuReplace.click();
  EXPECT_EQ(shown(0, 0), tileColor(20));
  EXPECT_EQ(shown(1, 0), tileColor(1));
  EXPECT_EQ(shown(2, 0), tileColor(20));
  EXPECT_EQ(cells(3), (Cells{"3", "1", "3"}));
  EXPECT_EQ(frm->imagelist1.count(), 5);
}

TEST_F(TilesTest, CommandsWithNothingToWorkOnSaySo) {
  start();
  ui.answerMessage(platform::mrOk).answerMessage(platform::mrOk);
  frm->mnuTiles_Replace.click();
  frm->mnuTiles_Insert.click();
  frm->mnuTiles_Delete.click();
  EXPECT_EQ(ui.messages(), (Cells{"There is nothing to replace", "There is nothing to insert into.."}));
  EXPECT_EQ(ui.calls()[0].type, platform::MsgType::Error);
}

TEST_F(TilesTest, AFileThatIsNoBitmapEndsTheCommandWithTheErrorBox) {
  start();
  const std::string junk = scratch() + "junk.bmp";
  std::ofstream(junk) << "not a bitmap at all";
  ui.answerFile(junk).acknowledge();
  frm->mnuTiles_Add.click();
  ASSERT_EQ(ui.callsOf(CallKind::Exception).size(), 1u);
  EXPECT_EQ(frm->imagelist1.count(), 0);
}

TEST_F(TilesTest, TheListGridShowsAndSelectsTheFirst258TilesOnly) {
  start();
  addTiles(1, 8);
  for (int i = 1; i < 300; ++i) frm->imagelist1.add(frm->imagelist1.image(0));
  frm->grdImageList.setCurrent(299, 0);
  EXPECT_EQ(frm->grdImageList.colCount(), 258);
  EXPECT_LT(frm->selectedTileCol, 258);
}

TEST_F(TilesTest, PressesInTheListSelectOnTheLeftAndOpenThePopUpNearTheRight) {
  start();
  addTiles(3);
  platform::pressMouse(frm->grdImageList, MouseButton::Left, 33 + 5, 5);
  EXPECT_EQ(frm->selectedTileCol, 1);
  platform::pressMouse(frm->grdImageList, MouseButton::Right, 5, 7);
  EXPECT_EQ(frm->selectedTileCol, 1) << "a right press does not select";
  const auto popups = ui.callsOf(CallKind::Popup);
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_EQ(popups[0].x, frm->screenLeft() + 502 + 5);
  EXPECT_EQ(popups[0].y, frm->screenTop() + 64 + (32 + 21) + 7);
}

// The arrow keys move the current tile, and the frame goes with it: the tile that Delete removes is the
// framed one. Presses on the current tile, which also draw the press rectangle, leave one frame on it.
TEST_F(TilesTest, TheFrameMarksTheTileThatKeysAndPressesMadeCurrent) {
  start();
  addTiles(4);
  platform::makeActive(*frm);
  const auto click = [this](int col) {
    platform::pressMouse(frm->grdImageList, MouseButton::Left, col * 33 + 5, 5);
    platform::releaseMouse(frm->grdImageList, MouseButton::Left, col * 33 + 5, 5);
  };
  click(0);
  ASSERT_TRUE(platform::hasFocus(*frm, frm->grdImageList));
  EXPECT_EQ(framed(frm->grdImageList), std::vector<int>{0});
  platform::typeKey(*frm, platform::Key::Right);
  platform::typeKey(*frm, platform::Key::Right);
  EXPECT_EQ(framed(frm->grdImageList), std::vector<int>{2});
  for (int clicks = 1; clicks <= 2; ++clicks) {
    click(2);
    EXPECT_EQ(framed(frm->grdImageList), std::vector<int>{2}) << "click " << clicks << " on the current tile";
  }
  frm->mnuTiles_Delete.click();
  EXPECT_EQ(frm->imagelist1.count(), 3);
  const platform::Rect r = frm->grdImageList.cellRect(2, 0);
  EXPECT_EQ(frm->grdImageList.canvas().pixel(r.left + 1, r.top + 1), tileColor(3)) << "tile 2 went";
  EXPECT_EQ(framed(frm->grdImageList), std::vector<int>{2});
}
