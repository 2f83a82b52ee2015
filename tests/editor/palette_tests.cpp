#include "editor/EditorRules.h"
#include "tests/editor/EditorFixture.h"
#include "tests/support/Input.h"

using platform::MouseButton;
using platform::rgb;
using testing_support::CallKind;

// The palette grid with clicks on its cells, as the mouse gives them.
class PaletteTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    start();
  }
  void click(MouseButton b, int col, int row, bool shift = false) {
    const platform::Rect r = frm->grdColor.cellRect(col, row);
    platform::pressMouse(frm->grdColor, b, r.left + 6, r.top + 6, shift);
    platform::releaseMouse(frm->grdColor, b, r.left + 6, r.top + 6, shift);
  }
  std::string mark(int col, int row) const { return frm->grdColor.cell(col, row); }
  // Whether ink of colour c shows in the part of cell (col, row) from (dx0, dy0) to (dx1, dy1).
  bool inkIn(int col, int row, int dx0, int dy0, int dx1, int dy1, platform::Color c) {
    const platform::Rect r = frm->grdColor.cellRect(col, row);
    for (int y = r.top + dy0; y < r.top + dy1; ++y)
      for (int x = r.left + dx0; x < r.left + dx1; ++x)
        if (frm->grdColor.canvas().pixel(x, y) == c) return true;
    return false;
  }
};

TEST_F(PaletteTest, TheStartMarksCellZeroWithFAndBInTheContrastColour) {
  EXPECT_EQ(mark(0, 0), "FB");
  EXPECT_EQ(frm->leftColour, platform::clBlack);
  EXPECT_EQ(frm->rightColour, platform::clBlack);
  EXPECT_TRUE(inkIn(0, 0, 0, 0, 4, 4, platform::clWhite)) << "F at the top left";
  EXPECT_TRUE(inkIn(0, 0, 6, 8, 12, 12, platform::clWhite)) << "B four pixels lower and further right";
  EXPECT_FALSE(inkIn(1, 0, 0, 0, 12, 12, platform::clWhite));
  EXPECT_EQ(frm->grdColor.canvas().pixel(frm->grdColor.cellRect(7, 31).left + 6,
                                         frm->grdColor.cellRect(7, 31).top + 6),
            platform::clWhite);
  EXPECT_EQ(frm->grdColor.clientLeft(), 1) << "a flat grid";
  EXPECT_EQ(frm->stbMain.panelText(0), "Colors=256");
}

TEST_F(PaletteTest, LeftAndRightClicksMoveTheMarksAndTakeTheColours) {
  click(MouseButton::Left, 3, 9);
  EXPECT_EQ(mark(0, 0), "B");
  EXPECT_EQ(mark(3, 9), "F");
  EXPECT_EQ(frm->leftColour, rgb(108, 36, 85));
  EXPECT_EQ(frm->rightColour, platform::clBlack);
  EXPECT_TRUE(inkIn(3, 9, 0, 0, 4, 4, platform::clWhite));
  EXPECT_FALSE(inkIn(0, 0, 0, 0, 4, 4, platform::clWhite)) << "the old cell lost its F at once";

  click(MouseButton::Right, 3, 9);
  EXPECT_EQ(mark(3, 9), "FB");
  EXPECT_EQ(mark(0, 0), "");
  EXPECT_EQ(frm->rightColour, rgb(108, 36, 85));

  click(MouseButton::Left, 3, 9);
  EXPECT_EQ(mark(3, 9), "FB") << "a click on the F cell changes nothing";
  click(MouseButton::Middle, 5, 5);
  EXPECT_EQ(mark(5, 5), "");
  EXPECT_TRUE(ui.calls().empty());
}

TEST_F(PaletteTest, ShiftClickEditsTheEntryAndTheColoursItsMarksHold) {
  click(MouseButton::Left, 2, 0);  // F on entry 2, B stays on entry 0
  const struct {
    int col;
    MouseButton button;
    platform::Color chosen;
    platform::Color left, right;
  } cases[] = {{2, MouseButton::Left, rgb(10, 20, 30), rgb(10, 20, 30), platform::clBlack},
               {0, MouseButton::Right, rgb(40, 50, 60), rgb(10, 20, 30), rgb(40, 50, 60)},
               {5, MouseButton::Left, rgb(70, 80, 90), rgb(10, 20, 30), rgb(40, 50, 60)}};
  for (const auto& c : cases) {
    const platform::Color before = frm->paletteTable[c.col];
    ui.answerColor(c.chosen);
    click(c.button, c.col, 0, true);
    EXPECT_EQ(ui.calls().back().color, before) << "the dialog starts at the entry";
    EXPECT_EQ(frm->paletteTable[c.col], c.chosen);
    EXPECT_EQ(frm->grdColor.canvas().pixel(frm->grdColor.cellRect(c.col, 0).right - 1,
                                           frm->grdColor.cellRect(c.col, 0).bottom - 1),
              c.chosen);
    EXPECT_EQ(frm->leftColour, c.left);
    EXPECT_EQ(frm->rightColour, c.right);
  }
  EXPECT_EQ(mark(2, 0), "F") << "an edit moves no mark";
  EXPECT_EQ(frm->editorPalette, platform::palette332()) << "the editor palette stays";
}

TEST_F(PaletteTest, AShiftClickCancelledChangesNoEntryAndRepaintsThePixelGrid) {
  frm->grdIcon.fillCell(4, 4, rgb(255, 0, 255));
  frm->editWorkingImage().setPixel(9, 9, rgb(0, 0, 0));
  const auto table = frm->paletteTable;
  ui.answerColor(std::nullopt);
  click(MouseButton::Right, 6, 6, true);
  EXPECT_EQ(frm->paletteTable, table);
  EXPECT_EQ(shown(4, 4), platform::clWhite);
  frm->activate();
  EXPECT_EQ(frm->workingImage().pixel(9, 9), platform::clBlack)
      << "returning from the dialog keeps the drawing";
}

TEST_F(PaletteTest, AReleaseOverNoCellChangesNothing) {
  const auto table = frm->paletteTable;
  for (auto [x, y] : {std::pair{104, 5}, std::pair{-10, 5}, std::pair{5, 500}}) {
    platform::pressMouse(frm->grdColor, MouseButton::Left, 5, 5);
    platform::releaseMouse(frm->grdColor, MouseButton::Left, x, y, true);
    platform::releaseMouse(frm->grdColor, MouseButton::Right, x, y);
  }
  EXPECT_EQ(mark(0, 0), "FB");
  EXPECT_EQ(frm->paletteTable, table);
  EXPECT_TRUE(ui.calls().empty());
}

TEST_F(PaletteTest, LettersTakeTheContrastOfTheirCell) {
  const struct {
    int col, row;
    platform::Color ink;
  } cases[] = {{7, 31, platform::clBlack}, {4, 4, rgb(0, 0, 255)}, {0, 0, platform::clWhite}};
  for (const auto& c : cases) {
    click(MouseButton::Left, c.col, c.row);
    EXPECT_TRUE(inkIn(c.col, c.row, 0, 0, 4, 4, c.ink)) << c.col << "," << c.row;
  }
  EXPECT_EQ(frm->paletteTable[36], rgb(144, 144, 0));
}

TEST_F(PaletteTest, ASetUpResetsTheMarksButKeepsEditedEntries) {
  ui.answerColor(rgb(1, 2, 3));
  click(MouseButton::Left, 0, 0, true);
  click(MouseButton::Left, 4, 4);
  frm->NewFile.click();
  EXPECT_EQ(mark(4, 4), "");
  EXPECT_EQ(mark(0, 0), "FB");
  EXPECT_EQ(frm->leftColour, rgb(1, 2, 3));
  EXPECT_EQ(frm->rightColour, rgb(1, 2, 3));
}
