#include "tests/support/Input.h"
#include "tests/workspace/TileHelpers.h"

using platform::MouseButton;
using testing_support::CallKind;
using Cells = std::vector<std::string>;

class CellsTest : public TilesTest {
 protected:
  void SetUp() override {
    TilesTest::SetUp();
    start();
    addTiles(8);
  }
  // Middle of a cell of the first row, in the grid's client coordinates.
  int cx(int col) const { return col * 33 + 16; }
  void press(int col, MouseButton b = MouseButton::Left) {
    platform::pressMouse(frm->grdImage, b, cx(col), 16);
  }
  void rightClickAnd(int col, platform::MenuItem& item) {
    press(col, MouseButton::Right);
    item.click();
  }
};

TEST_F(CellsTest, OverwritePlacesTheSelectedTileOnNonEmptyCellsOnly) {
  setCells({"7", "", "5", "6"});
  selectTile(3);
  frm->mnuOptions_Overwrite.click();
  press(0);
  press(1);
  EXPECT_EQ(cells(2), (Cells{"3", ""}));
  // A drag with the left button held across 5 and 6.
  platform::pressMouse(frm->grdImage, MouseButton::Left, cx(2), 16);
  platform::moveMouse(frm->grdImage, cx(3), 16, true);
  platform::releaseMouse(frm->grdImage, MouseButton::Left, cx(3), 16);
  EXPECT_EQ(cells(4), (Cells{"3", "", "3", "3"}));
  EXPECT_EQ(shown(2, 0), tileColor(3));
}

TEST_F(CellsTest, WithoutOverwriteOrWithoutARealTileAPressOnlyMovesTheSelection) {
  setCells({"7", "5"});
  selectTile(3);
  press(1);
  EXPECT_EQ(cells(2), (Cells{"7", "5"}));
  EXPECT_EQ(frm->selectedCellCol, 1);
  frm->mnuOptions_Overwrite.click();
  selectTile(12);
  press(0);
  EXPECT_EQ(cells(2), (Cells{"7", "5"}));
}

TEST_F(CellsTest, KeysAndTheWheelSelectToo) {
  setCells({"7", "5"});
  selectTile(2);
  frm->mnuOptions_Overwrite.click();
  press(0);
  platform::pressKey(frm->grdImage, platform::Key::Right);
  EXPECT_EQ(frm->selectedCellCol, 1);
  EXPECT_EQ(cells(2), (Cells{"2", "2"}));
  platform::turnWheel(frm->grdImage, -1);
  EXPECT_EQ(frm->selectedCellRow, 1);
}

TEST_F(CellsTest, CutThenPasteRepeatsTheIndexIntoAnyNumberOfCells) {
  setCells({"4", "", ""});
  rightClickAnd(0, frm->popMain_Cut);
  EXPECT_EQ(frm->cellClipboard, 4);
  rightClickAnd(1, frm->popMain_Paste);
  rightClickAnd(2, frm->popMain_Paste);
  EXPECT_EQ(cells(3), (Cells{"", "4", "4"}));
  EXPECT_EQ(frm->cellClipboard, 4);
  rightClickAnd(1, frm->popMain_Copy);
  rightClickAnd(2, frm->popMain_Blank);
  EXPECT_EQ(cells(3), (Cells{"", "4", ""}));
  EXPECT_EQ(frm->cellClipboard, 4);
}

TEST_F(CellsTest, CutOrCopyOfAnEmptyCellEmptiesTheClipboardAndPasteThenEmptiesTheTarget) {
  setCells({"", "6", "6"});
  frm->cellClipboard = 3;
  rightClickAnd(0, frm->popMain_Copy);
  EXPECT_EQ(frm->cellClipboard, -1);
  rightClickAnd(1, frm->popMain_Paste);
  EXPECT_EQ(cells(3), (Cells{"", "", "6"}));
}

TEST_F(CellsTest, ThePopUpActsOnTheRightPressedCellAndLeavesTheSelectionAlone) {
  setCells({"1", "2"});
  press(0);
  press(1, MouseButton::Right);
  EXPECT_EQ(frm->selectedCellCol, 0);
  const auto popups = ui.callsOf(CallKind::Popup);
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_EQ(popups[0].x, frm->screenLeft() + 8 + cx(1));
  EXPECT_EQ(popups[0].y, frm->screenTop() + 64 + (32 + 21) + 16);
  frm->popMain_Blank.click();
  EXPECT_EQ(cells(2), (Cells{"1", ""}));
}

TEST_F(CellsTest, TheClipboardHoldsAnIndexThatNoCommandRenumbers) {
  setCells({"2"});
  rightClickAnd(0, frm->popMain_Copy);
  selectTile(1);
  ui.answerFile(tileFile(30));
  frm->mnuInsert.click();
  rightClickAnd(1, frm->popMain_Paste);
  EXPECT_EQ(cells(2), (Cells{"3", "2"}));
  EXPECT_EQ(shown(1, 0), tileColor(1)) << "2 is now the former tile 1";
}

TEST_F(CellsTest, ACellNamingNoTileShowsItsNumberAndNoImage) {
  setCells({"9", "1"});
  for (int i = 8; i > 5; --i) {
    selectTile(i - 1);
    frm->mnuDelete.click();
  }
  EXPECT_EQ(cells(2), (Cells{"6", "1"}));
  EXPECT_EQ(frm->imagelist1.count(), 5);
  EXPECT_EQ(shown(0, 0), frm->grdImage.color()) << "no tile over the text";
}

TEST_F(CellsTest, CutOfATextThatIsNoNumberIsAnErrorAndChangesNothing) {
  setCells({"abc"});
  frm->cellClipboard = 5;
  ui.acknowledge();
  rightClickAnd(0, frm->popMain_Cut);
  EXPECT_EQ(ui.callsOf(CallKind::Exception).at(0).text, "'abc' is not a valid integer value");
  EXPECT_EQ(cells(1), (Cells{"abc"}));
  EXPECT_EQ(frm->cellClipboard, 5);
}

TEST_F(CellsTest, APressBelowTheLastRowLeavesCellsAndClipboardAlone) {
  frm->grdImage.setRowCount(2);
  frm->grdImage.setCell(0, 1, "4");
  frm->cellClipboard = 6;
  platform::pressMouse(frm->grdImage, MouseButton::Right, 10, 33 * 2 + 10);
  frm->popMain_Paste.click();
  frm->popMain_Cut.click();
  EXPECT_EQ(frm->grdImage.cell(0, 1), "4");
  EXPECT_EQ(frm->cellClipboard, 6);
}

// The grids answer the wheel with the row only: a one-row grid keeps its selection, so a following
// command acts on what the user picked.
TEST_F(CellsTest, TheWheelOverAOneRowGridChangesNoSelection) {
  selectTile(2);
  platform::turnWheel(frm->grdImageList, -1);
  platform::turnWheel(frm->grdImageList, 1);
  EXPECT_EQ(frm->selectedTileCol, 2);
  frm->mnuDelete.click();
  EXPECT_EQ(frm->imagelist1.count(), 7);
  const platform::Rect r = frm->grdImageList.cellRect(2, 0);
  EXPECT_EQ(frm->grdImageList.canvas().pixel(r.left + 1, r.top + 1), tileColor(3)) << "tile 2 went";

  frm->grdImage.setRowCount(1);
  setCells({"7", "5"});
  frm->mnuOptions_Overwrite.click();
  press(0);
  selectTile(4);
  platform::turnWheel(frm->grdImage, -1);
  platform::turnWheelBy(frm->grdImage, 60);
  EXPECT_EQ(cells(2), (Cells{"2", "5"}));
  EXPECT_EQ(frm->selectedCellCol, 0);
}

// Moving with the arrow keys is visible: the current cell carries the focus outline over its tile.
TEST_F(CellsTest, TheCurrentCellIsOutlinedOverItsTileAndFollowsTheKeys) {
  setCells({"1", "1"});
  platform::makeActive(*frm);
  press(0);
  ASSERT_TRUE(platform::hasFocus(*frm, frm->grdImage));
  EXPECT_EQ(framed(frm->grdImage), std::vector<int>{0});
  platform::typeKey(*frm, platform::Key::Right);
  EXPECT_EQ(framed(frm->grdImage), std::vector<int>{1});
  EXPECT_EQ(shown(1, 0), tileColor(1));
}

// A tile shown in part is selected where it was pressed; the list then scrolls it fully into view and
// outlines it there.
TEST_F(TilesTest, APressOnAPartlyShownTileSelectsThatTile) {
  start();
  addTiles(20, 12);
  platform::makeActive(*frm);
  const int pitch = 13, partly = 198 / pitch;  // the client is 198 wide: tile 15 shows 3 of its 12 pixels
  platform::pressMouse(frm->grdImageList, platform::MouseButton::Left, partly * pitch + 1, 5);
  platform::releaseMouse(frm->grdImageList, platform::MouseButton::Left, partly * pitch + 1, 5);
  EXPECT_EQ(frm->selectedTileCol, partly);
  EXPECT_EQ(frm->grdImageList.leftCol(), 1);
  EXPECT_EQ(framed(frm->grdImageList), std::vector<int>{partly});
}
