// The drawing tools driven by real mouse events on the pixel grid of a 75 x 75 start document.
#include <initializer_list>

#include "editor/EditorRules.h"
#include "tests/editor/EditorFixture.h"
#include "tests/support/Input.h"

using platform::Bitmap;
using platform::Color;
using platform::MouseButton;
using platform::rgb;
using pxwk::GridCoord;

namespace {
const Color kRed = rgb(255, 0, 0), kBlue = rgb(0, 0, 255), kWhite = platform::clWhite;
}  // namespace

class ToolTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    start();
    pickColours();
  }
  void pickColours() {
    frm->leftColour = kRed;
    frm->rightColour = kBlue;
  }
  // A blank 100 x 100 document; its set-up resets the drawing colours, so they are picked again.
  void newDocument() {
    frm->NewFile.click();
    pickColours();
  }

  // A client coordinate inside column (or row) i of the unscrolled grid.
  int px(int i) const { return i * (frm->grdIcon.defaultColWidth() + 1) + 1; }
  void press(MouseButton b, int col, int row, bool otherHeld = false) {
    platform::pressMouse(frm->grdIcon, b, px(col), px(row), false, otherHeld);
  }
  void move(int col, int row, bool left = true, bool right = false) {
    platform::moveMouse(frm->grdIcon, px(col), px(row), left, right);
  }
  void release(MouseButton b, int col, int row) { platform::releaseMouse(frm->grdIcon, b, px(col), px(row)); }
  // Press at the first cell, a move to each cell, release at the last.
  void stroke(MouseButton b, std::initializer_list<GridCoord> cells) {
    const GridCoord first = *cells.begin(), last = *(cells.end() - 1);
    press(b, first.col, first.row);
    for (const GridCoord& c : cells) move(c.col, c.row, b == MouseButton::Left, b == MouseButton::Right);
    release(b, last.col, last.row);
  }

  void use(platform::SpeedButton& tool) { tool.click(); }
  Bitmap& image() { return frm->editWorkingImage(); }
  int snapshots() const { return frm->ImgListUndo.undoPosition() + 1; }
  // Pixels that differ from the white start document.
  int drawnPixels() {
    int n = 0;
    for (int y = 0; y < image().height(); ++y)
      for (int x = 0; x < image().width(); ++x) n += image().pixel(x, y) != kWhite;
    return n;
  }
  // Whether the grid shows exactly the working image in every cell.
  bool gridShowsImage() {
    for (int y = 0; y < image().height(); ++y)
      for (int x = 0; x < image().width(); ++x)
        if (shown(x, y) != image().pixel(x, y)) return false;
    return true;
  }
};

TEST_F(ToolTest, EightButtonsInOneGroupWithThePointerDownAtStart) {
  const struct {
    platform::SpeedButton& button;
    const char* hint;
    int left, top;
  } buttons[] = {{frm->cmdDraw, "Draw Freehand", 15, 8},
                 {frm->cmdLine, "Draw Line", 63, 8},
                 {frm->cmdPaint, "Fill", 15, 56},
                 {frm->cmdPoint, "Pointer", 63, 56},
                 {frm->cmdCircle, "Draw Circle Outline", 16, 104},
                 {frm->cmdBox, "Draw Polygon Outline", 64, 104},
                 {frm->cmdCircleFilled, "Draw Filled Circle", 16, 152},
                 {frm->cmdBoxFilled, "Draw Filled Polygon", 64, 152}};
  for (const auto& b : buttons) {
    EXPECT_EQ(b.button.hint(), b.hint);
    EXPECT_EQ(b.button.parent(), &frm->panTools);
    EXPECT_EQ(b.button.left(), b.left);
    EXPECT_EQ(b.button.top(), b.top);
    EXPECT_EQ(b.button.width(), 41);
    EXPECT_EQ(b.button.height(), 41);
    EXPECT_EQ(b.button.down(), &b.button == &frm->cmdPoint);
  }
  EXPECT_EQ(&frm->currentTool(), &pxwk::tools::pointer);
  for (const auto& pressed : buttons) {
    pressed.button.click();
    pressed.button.click();
    for (const auto& b : buttons) EXPECT_EQ(b.button.down(), &b.button == &pressed.button) << b.hint;
  }
  EXPECT_EQ(&frm->currentTool(), &pxwk::tools::filledRectangle);
}

TEST_F(ToolTest, PressAndReleaseOnOneCellDrawsNoShape) {
  for (platform::SpeedButton* tool :
       {&frm->cmdLine, &frm->cmdCircle, &frm->cmdBox, &frm->cmdCircleFilled, &frm->cmdBoxFilled}) {
    for (MouseButton b : {MouseButton::Left, MouseButton::Right}) {
      SCOPED_TRACE(tool->hint());
      newDocument();
      use(*tool);
      press(b, 4, 4);
      release(b, 4, 4);
      // A drag away and back: the band shrinks to the anchor cell, which the release restores.
      stroke(b, {{4, 4}, {9, 7}, {4, 4}});
      EXPECT_EQ(drawnPixels(), 0);
      EXPECT_TRUE(gridShowsImage());
      EXPECT_EQ(frm->dragFlags, pxwk::Buttons{});
      EXPECT_TRUE(frm->pointBuffer.empty());
      EXPECT_EQ(snapshots(), 2) << "one for each release";
    }
  }
}

TEST_F(ToolTest, ALeftLineSetsBothEndsAndRecordsTwoIdenticalSnapshots) {
  use(frm->cmdLine);
  stroke(MouseButton::Left, {{2, 3}, {5, 3}, {7, 3}});
  for (int x = 0; x < 10; ++x) {
    const Color want = x >= 2 && x <= 7 ? kRed : kWhite;
    EXPECT_EQ(image().pixel(x, 3), want) << x;
    EXPECT_EQ(shown(x, 3), want) << x;
  }
  EXPECT_EQ(drawnPixels(), 6);
  EXPECT_EQ(snapshots(), 2);
  EXPECT_TRUE(frm->pointBuffer.empty());
  frm->mnuEdit_Undo.click();
  EXPECT_EQ(drawnPixels(), 0) << "the first Undo removes the line";
  EXPECT_TRUE(gridShowsImage());
  EXPECT_TRUE(frm->mnuEdit_Undo.enabled());
  frm->mnuEdit_Undo.click();
  EXPECT_EQ(drawnPixels(), 0);
  EXPECT_FALSE(frm->mnuEdit_Undo.enabled());
}

TEST_F(ToolTest, LinesOfEitherSlopeAgreeOnTheGridAndInTheImage) {
  use(frm->cmdLine);
  stroke(MouseButton::Right, {{10, 10}, {11, 12}});
  for (GridCoord c : {GridCoord{10, 10}, GridCoord{11, 11}, GridCoord{11, 12}}) {
    EXPECT_EQ(image().pixel(c.col, c.row), kBlue);
    EXPECT_EQ(shown(c.col, c.row), kBlue);
  }
  EXPECT_EQ(drawnPixels(), 3);
  EXPECT_TRUE(gridShowsImage());
  EXPECT_EQ(snapshots(), 1) << "a right-button line takes only the release's snapshot";
  frm->mnuEdit_Undo.click();
  EXPECT_EQ(drawnPixels(), 0);
}

TEST_F(ToolTest, BothButtonsHeldGiveTheRightColour) {
  use(frm->cmdDraw);
  press(MouseButton::Left, 1, 1);
  press(MouseButton::Right, 2, 1, true);
  move(3, 1, true, true);
  EXPECT_EQ(image().pixel(1, 1), kRed);
  EXPECT_EQ(image().pixel(2, 1), kBlue);
  EXPECT_EQ(image().pixel(3, 1), kBlue);
  EXPECT_EQ(shown(3, 1), kBlue);
  release(MouseButton::Right, 3, 1);
  release(MouseButton::Left, 3, 1);

  use(frm->cmdPaint);
  press(MouseButton::Right, 40, 40, true);
  EXPECT_EQ(image().pixel(40, 40), kBlue);
  EXPECT_EQ(image().pixel(0, 74), kBlue) << "the fill covers the connected white area";
  EXPECT_EQ(image().pixel(1, 1), kRed) << "other colours bound it";
  EXPECT_TRUE(gridShowsImage());
  release(MouseButton::Right, 40, 40);
}

TEST_F(ToolTest, FreehandDrawsOnlyTheCellsThatMovesReport) {
  use(frm->cmdDraw);
  stroke(MouseButton::Left, {{1, 1}, {5, 1}, {9, 1}});
  EXPECT_EQ(drawnPixels(), 3);
  for (int x : {1, 5, 9}) EXPECT_EQ(shown(x, 1), kRed);
  EXPECT_EQ(snapshots(), 2);
  frm->mnuEdit_Undo.click();
  EXPECT_EQ(drawnPixels(), 3) << "the release's snapshot holds the stroke";
  frm->mnuEdit_Undo.click();
  EXPECT_EQ(drawnPixels(), 0);
  EXPECT_TRUE(gridShowsImage());
}

TEST_F(ToolTest, AFilledRectangleFillsFromInsideTheAnchorCornerInEveryDirection) {
  const struct {
    GridCoord from, to;
    int pixels;
  } cases[] = {
      {{3, 3}, {7, 6}, 20},
      {{7, 6}, {3, 3}, 20},
      {{3, 6}, {7, 3}, 20},
      {{7, 3}, {3, 6}, 20},
      {{3, 3}, {4, 6}, 8},  // two cells wide: the seed lies on the outline, nothing
                            // more changes
      {{3, 3}, {7, 3}, 5},  // one row: no fill
  };
  use(frm->cmdBoxFilled);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from.col << "," << c.from.row << " to " << c.to.col << ","
                                    << c.to.row);
    newDocument();
    stroke(MouseButton::Left, {c.from, c.to});
    EXPECT_EQ(drawnPixels(), c.pixels);
    EXPECT_EQ(image().pixel(c.to.col, c.to.row), kRed);
    EXPECT_TRUE(gridShowsImage()) << "the release repaints the grid";
    EXPECT_EQ(snapshots(), 2);
  }
}

TEST_F(ToolTest, OutlinesAndTheFilledEllipseTakeTheBandOfTheLastDragStep) {
  use(frm->cmdBox);
  stroke(MouseButton::Right, {{3, 3}, {20, 20}, {7, 6}});
  EXPECT_EQ(drawnPixels(), 14) << "the outline of 5 x 4 cells; the earlier band was erased";
  EXPECT_EQ(image().pixel(5, 4), kWhite);
  EXPECT_EQ(image().pixel(7, 6), kBlue);

  newDocument();
  use(frm->cmdCircle);
  stroke(MouseButton::Left, {{10, 10}, {8, 10}});
  EXPECT_EQ(drawnPixels(), 5) << "a radius of 0 gives a segment through the centre";
  for (int x = 8; x <= 12; ++x) EXPECT_EQ(image().pixel(x, 10), kRed);

  newDocument();
  use(frm->cmdCircleFilled);
  stroke(MouseButton::Left, {{10, 10}, {8, 8}});
  EXPECT_EQ(image().pixel(10, 10), kRed) << "filled from the centre";
  EXPECT_EQ(image().pixel(11, 11), kRed);
  EXPECT_EQ(image().pixel(13, 10), kWhite);
  EXPECT_EQ(drawnPixels(), 21);
  EXPECT_EQ(snapshots(), 2);
}

TEST_F(ToolTest, ADragStepRepaintsOnlyTheOldAndTheNewBand) {
  use(frm->cmdBox);
  press(MouseButton::Left, 2, 2);
  move(6, 6);
  frm->grdIcon.fillCell(40, 40, kBlue);  // stands for anything a full repaint would remove
  move(4, 5);
  EXPECT_EQ(shown(40, 40), kBlue);
  EXPECT_EQ(shown(6, 6), kWhite) << "the old band is erased";
  EXPECT_EQ(shown(4, 5), kRed);
  EXPECT_EQ(shown(3, 3), kWhite);
  EXPECT_EQ(drawnPixels(), 0) << "bands never reach the image";
  EXPECT_EQ(frm->pointBuffer.count(), 2 * (3 + 4));
  release(MouseButton::Left, 4, 5);
  EXPECT_EQ(shown(40, 40), kWhite);
}

TEST_F(ToolTest, ThePointerSelectsANormalisedRectangleWithAContrastMarquee) {
  image().setPixel(5, 7, platform::clBlack);
  frm->RedrawGrid();
  stroke(MouseButton::Left, {{5, 5}, {3, 6}, {2, 8}});
  EXPECT_TRUE(frm->selectionActive);
  EXPECT_EQ(frm->selectionStart, (GridCoord{2, 5}));
  EXPECT_EQ(frm->selectionEnd, (GridCoord{5, 8}));
  EXPECT_EQ(shown(2, 8), platform::clBlack) << "contrast of white";
  EXPECT_EQ(shown(5, 7), kWhite) << "contrast of black";
  EXPECT_EQ(shown(3, 6), kWhite) << "inside the rectangle";
  EXPECT_EQ(shown(3, 5), platform::clBlack);
  EXPECT_EQ(drawnPixels(), 1);
  EXPECT_EQ(snapshots(), 1);
}

TEST_F(ToolTest, AClickClearsTheSelectionAndAnyReleaseEndsOne) {
  stroke(MouseButton::Left, {{5, 5}, {2, 8}});
  ASSERT_TRUE(frm->selectionActive);
  stroke(MouseButton::Left, {{9, 9}});
  EXPECT_FALSE(frm->selectionActive);
  EXPECT_TRUE(gridShowsImage()) << "the marquee is gone";

  stroke(MouseButton::Left, {{5, 5}, {2, 8}});
  press(MouseButton::Right, 1, 1);  // does nothing with the Pointer
  release(MouseButton::Right, 7, 7);
  EXPECT_TRUE(frm->selectionActive);
  EXPECT_EQ(frm->selectionStart, (GridCoord{2, 5})) << "the corner the last release normalised";
  EXPECT_EQ(frm->selectionEnd, (GridCoord{7, 7}));
}

TEST_F(ToolTest, ADoubleClickWithFillIsTwoPressesAndTwoReleases) {
  use(frm->cmdPaint);
  press(MouseButton::Left, 3, 3);
  release(MouseButton::Left, 3, 3);
  platform::doubleClickMouse(frm->grdIcon, MouseButton::Left, px(3), px(3));
  release(MouseButton::Left, 3, 3);
  EXPECT_EQ(snapshots(), 4);
  EXPECT_EQ(drawnPixels(), 75 * 75);
  EXPECT_TRUE(gridShowsImage());
  for (int i = 0; i < 3; ++i) frm->mnuEdit_Undo.click();
  EXPECT_EQ(drawnPixels(), 75 * 75) << "the second fill changed nothing";
  frm->mnuEdit_Undo.click();
  EXPECT_EQ(drawnPixels(), 0);
}

TEST_F(ToolTest, ARectanglePressedOutsideTheGridDrawsNoBand) {
  use(frm->cmdBox);
  platform::pressMouse(frm->panImage, MouseButton::Left, 5, 5);
  move(3, 3);
  move(8, 8);
  EXPECT_TRUE(gridShowsImage());
  EXPECT_TRUE(frm->pointBuffer.empty());
  release(MouseButton::Left, 8, 8);
  EXPECT_EQ(drawnPixels(), 0);
  EXPECT_EQ(snapshots(), 1);
}

TEST_F(ToolTest, PositionsInNoCellAreMinusOneAndClipped) {
  use(frm->cmdLine);
  press(MouseButton::Left, 2, 2);
  platform::moveMouse(frm->grdIcon, -30, -30, true);
  EXPECT_EQ(shown(0, 0), kRed) << "the band runs off the grid";
  EXPECT_EQ(frm->pointBuffer.point(frm->pointBuffer.lastIndex()), (pxwk::TracedPoint{-1, -1}));
  platform::releaseMouse(frm->grdIcon, MouseButton::Left, -30, -30);
  EXPECT_EQ(drawnPixels(), 3) << "the line toward (-1, -1) is clipped at the corner";
  for (int i = 0; i <= 2; ++i) EXPECT_EQ(image().pixel(i, i), kRed);

  newDocument();
  use(frm->cmdDraw);
  const int margin = px(100);  // past the last of the 100 columns
  press(MouseButton::Left, 74, 74);
  platform::moveMouse(frm->grdIcon, margin, 10, true);
  platform::releaseMouse(frm->grdIcon, MouseButton::Left, margin, 10);
  EXPECT_EQ(drawnPixels(), 1);

  newDocument();
  use(frm->cmdBoxFilled);
  press(MouseButton::Left, 72, 72);
  platform::moveMouse(frm->grdIcon, 2000, 2000, true);
  platform::releaseMouse(frm->grdIcon, MouseButton::Left, 2000, 2000);
  EXPECT_EQ(drawnPixels(), 73 * 73) << "the outline runs to (-1, -1) and the seed (71, 71) fills inside it";
}

TEST_F(ToolTest, UndoCountsOfEachGesture) {
  const struct {
    const char* name;
    platform::SpeedButton pxwk::TfrmMain::*tool;
    MouseButton button;
    std::vector<GridCoord> cells;
    int snapshots;
    std::vector<bool> changedAfterEachUndo;  // whether the picture still differs from the blank one
  } cases[] = {
      {"freehand stroke", &pxwk::TfrmMain::cmdDraw, MouseButton::Left, {{1, 1}, {2, 1}}, 2, {true, false}},
      {"fill", &pxwk::TfrmMain::cmdPaint, MouseButton::Right, {{1, 1}}, 2, {true, false}},
      {"left line", &pxwk::TfrmMain::cmdLine, MouseButton::Left, {{1, 1}, {6, 2}}, 2, {false, false}},
      {"right line", &pxwk::TfrmMain::cmdLine, MouseButton::Right, {{1, 1}, {6, 2}}, 1, {false}},
      {"right ellipse", &pxwk::TfrmMain::cmdCircle, MouseButton::Right, {{9, 9}, {6, 7}}, 2, {false, false}},
      {"left rectangle", &pxwk::TfrmMain::cmdBox, MouseButton::Left, {{1, 1}, {6, 2}}, 2, {false, false}},
      {"cancelled shape", &pxwk::TfrmMain::cmdBoxFilled, MouseButton::Left, {{1, 1}}, 1, {false}},
      {"selection", &pxwk::TfrmMain::cmdPoint, MouseButton::Left, {{1, 1}, {6, 2}}, 1, {false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    newDocument();
    EXPECT_EQ(snapshots(), 0) << "New empties the history";
    EXPECT_FALSE(frm->mnuEdit_Undo.enabled());
    use((*frm).*c.tool);
    press(c.button, c.cells.front().col, c.cells.front().row);
    for (const GridCoord& cell : c.cells)
      move(cell.col, cell.row, c.button == MouseButton::Left, c.button == MouseButton::Right);
    release(c.button, c.cells.back().col, c.cells.back().row);
    EXPECT_EQ(snapshots(), c.snapshots);
    EXPECT_TRUE(frm->mnuEdit_Undo.enabled());
    for (bool changed : c.changedAfterEachUndo) {
      frm->mnuEdit_Undo.click();
      EXPECT_EQ(drawnPixels() > 0, changed);
    }
    EXPECT_FALSE(frm->mnuEdit_Undo.enabled()) << "nothing left to undo";
    EXPECT_TRUE(gridShowsImage());
  }
}

// At x2 to x8 a press or drag on a cell the view shows only in part draws on that cell and never
// scrolls: only the scroll bars move the view.
TEST_F(ToolTest, PressAndDragOnPartlyShownCellsDrawThereWithoutScrolling) {
  use(frm->cmdDraw);
  frm->mnuBitmap_Zoom_X8.click();
  // The 380-pixel grid shows 10 whole cells of 33 across and down, and 30 pixels of the eleventh.
  ASSERT_EQ(frm->grdIcon.visibleColCount(), 10);
  ASSERT_EQ(frm->grdIcon.visibleRowCount(), 10);
  const int partly = 10, inPartly = 10 * 33 + 20;
  platform::pressMouse(frm->grdIcon, MouseButton::Left, inPartly, px(0));
  platform::releaseMouse(frm->grdIcon, MouseButton::Left, inPartly, px(0));
  platform::pressMouse(frm->grdIcon, MouseButton::Right, inPartly, px(1));
  platform::releaseMouse(frm->grdIcon, MouseButton::Right, inPartly, px(1));
  platform::pressMouse(frm->grdIcon, MouseButton::Left, px(8), px(3));
  platform::moveMouse(frm->grdIcon, inPartly, px(3), true);
  platform::moveMouse(frm->grdIcon, inPartly, inPartly, true);
  platform::moveMouse(frm->grdIcon, px(9), inPartly, true);
  platform::releaseMouse(frm->grdIcon, MouseButton::Left, px(9), inPartly);
  EXPECT_EQ(frm->grdIcon.leftCol(), 0);
  EXPECT_EQ(frm->grdIcon.topRow(), 0);
  const struct {
    int x, y;
    Color c;
  } drawn[] = {{partly, 0, kRed}, {partly, 1, kBlue},     {8, 3, kRed},
               {partly, 3, kRed}, {partly, partly, kRed}, {9, partly, kRed}};
  for (const auto& d : drawn) {
    EXPECT_EQ(image().pixel(d.x, d.y), d.c) << d.x << ", " << d.y;
    EXPECT_EQ(shown(d.x, d.y), d.c) << d.x << ", " << d.y;
  }
  EXPECT_EQ(drawnPixels(), 6) << "nothing landed on a neighbour";
}

// Tab walks the window's tab stops and never a tool; Space on whatever has the focus chooses no tool.
TEST_F(ToolTest, TheKeyboardNeverReachesTheTools) {
  const platform::SpeedButton* tools[] = {&frm->cmdDraw,         &frm->cmdLine,     &frm->cmdPaint,
                                          &frm->cmdPoint,        &frm->cmdCircle,   &frm->cmdBox,
                                          &frm->cmdCircleFilled, &frm->cmdBoxFilled};
  for (int i = 0; i < 30; ++i) {
    platform::typeKey(*frm, platform::Key::Tab);
    for (const auto* tool : tools) EXPECT_FALSE(platform::hasFocus(*frm, *tool)) << tool->hint();
    platform::typeKey(*frm, platform::Key::Space);
  }
  EXPECT_EQ(&frm->currentTool(), &pxwk::tools::pointer);
}
