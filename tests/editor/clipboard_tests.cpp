// Cut, Copy and Paste through the Edit menu, with the selection and the floating paste made by real mouse
// events on the pixel grid of the 75 x 75 start document.
#include "editor/EditorRules.h"
#include "platform/qtbase/Clipboard.h"
#include "tests/editor/EditorFixture.h"
#include "tests/support/Input.h"

using platform::Bitmap;
using platform::Color;
using platform::MouseButton;
using platform::rgb;

namespace {
const Color kWhite = platform::clWhite;
// A colour of the 3-3-2 palette for each pixel, so that the 8-bit document stores it exactly.
Color patternAt(int x, int y) {
  constexpr std::uint8_t kLevels[] = {0, 36, 72, 108, 144, 180, 216, 255};
  return rgb(kLevels[x % 8], kLevels[y % 8], 170);
}
}  // namespace

class ClipboardTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    start();
  }

  int pitch() const { return frm->grdIcon.defaultColWidth() + 1; }
  // A client coordinate inside column (or row) i of the unscrolled grid.
  int px(int i) const { return i * pitch() + 1; }
  // A Pointer drag from one cell to another, released there.
  void select(int col0, int row0, int col1, int row1) {
    platform::pressMouse(frm->grdIcon, MouseButton::Left, px(col0), px(row0));
    platform::moveMouse(frm->grdIcon, px(col1), px(row1), true);
    platform::releaseMouse(frm->grdIcon, MouseButton::Left, px(col1), px(row1));
  }
  // Press at the grid's top-left cell, drag to put the floating image's corner on a cell, release there.
  void dropAt(int col, int row) {
    platform::pressMouse(frm->grdIcon, MouseButton::Left, 1, 1);
    platform::moveMouse(frm->grdIcon, px(col), px(row), true);
    platform::releaseMouse(frm->grdIcon, MouseButton::Left, px(col), px(row));
  }
  // Paints the pattern into the working image and the grid, as drawing would.
  void drawPattern() {
    for (int y = 0; y < image().height(); ++y)
      for (int x = 0; x < image().width(); ++x) image().setPixel(x, y, patternAt(x, y));
    frm->RedrawGrid();
  }
  void openEdit() { platform::openMenu(frm->mnuEdit); }
  // Opens the Edit menu and chooses the item, which its opening must have enabled.
  void choose(platform::MenuItem& item) {
    openEdit();
    ASSERT_TRUE(item.enabled()) << item.caption();
    item.click();
  }
  bool enabled(platform::MenuItem& item) {
    openEdit();
    return item.enabled();
  }
  Bitmap& image() { return frm->editWorkingImage(); }
  int snapshots() const { return frm->ImgListUndo.undoPosition() + 1; }
};

TEST_F(ClipboardTest, CopyPutsTheZoomedCellsWithOneLineBetweenThemOnTheClipboard) {
  drawPattern();
  const struct {
    platform::MenuItem& zoom;
    int width, height;
  } zooms[] = {{frm->mnuBitmap_Zoom_X1, 14, 9}, {frm->mnuBitmap_Zoom_X2, 26, 17}};
  for (const auto& z : zooms) {
    z.zoom.click();
    // Dragged from the bottom-right to the top-left: the release orders the corners.
    select(4, 6, 2, 5);
    ASSERT_TRUE(enabled(frm->mnuEdit_Copy));
    const int before = snapshots();
    choose(frm->mnuEdit_Copy);
    EXPECT_EQ(snapshots(), before + 1);
    EXPECT_FALSE(frm->selectionActive);
    const Bitmap clip = platform::clipboardBitmap();
    ASSERT_EQ(clip.width(), z.width);
    ASSERT_EQ(clip.height(), z.height);
    const int size = frm->grdIcon.defaultColWidth();
    // Every cell as a block of its colour (no marquee left), grid lines between them.
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(clip.pixel(c * pitch(), r * pitch()), patternAt(2 + c, 5 + r));
        EXPECT_EQ(clip.pixel(c * pitch() + size - 1, r * pitch() + size - 1), patternAt(2 + c, 5 + r));
      }
    EXPECT_EQ(clip.pixel(size, 0), frm->grdIcon.canvas().pixel(2 * pitch() + size, 5 * pitch()))
        << "the grid line between the first two cells";
    EXPECT_NE(clip.pixel(size, 0), patternAt(2, 5));
    EXPECT_FALSE(enabled(frm->mnuEdit_Copy)) << "Copy ends the selection";
  }
}

TEST_F(ClipboardTest, TheEditMenuEnablesByToolSelectionAndClipboardBitmap) {
  EXPECT_FALSE(enabled(frm->mnuEdit_Paste)) << "the start empties the clipboard";
  EXPECT_FALSE(frm->mnuEdit_Cut.enabled());
  EXPECT_FALSE(frm->mnuEdit_Copy.enabled());

  // A click on one cell leaves no selection.
  select(3, 3, 3, 3);
  EXPECT_FALSE(enabled(frm->mnuEdit_Cut));
  EXPECT_FALSE(frm->mnuEdit_Copy.enabled());
  select(3, 3, 5, 4);
  EXPECT_TRUE(enabled(frm->mnuEdit_Cut));
  EXPECT_TRUE(frm->mnuEdit_Copy.enabled());

  // The shown grid of 75 cells at x1 is 375 pixels each way.
  const struct {
    int width, height;
    bool allowed;
  } bitmaps[] = {{375, 375, true}, {376, 10, false}, {10, 376, false}, {1, 1, true}};
  for (const auto& b : bitmaps) {
    platform::setClipboardBitmap(Bitmap(b.width, b.height));
    EXPECT_EQ(enabled(frm->mnuEdit_Paste), b.allowed) << b.width << " x " << b.height;
  }

  frm->cmdLine.click();
  EXPECT_FALSE(enabled(frm->mnuEdit_Paste)) << "only the Pointer offers the clipboard";
  EXPECT_FALSE(frm->mnuEdit_Cut.enabled());
  EXPECT_FALSE(frm->mnuEdit_Copy.enabled());
}

TEST_F(ClipboardTest, CopyThenPasteDraggedOntoACellPutsTheColoursBackCellForCell) {
  for (platform::MenuItem* zoom : {&frm->mnuBitmap_Zoom_X1, &frm->mnuBitmap_Zoom_X2}) {
    SCOPED_TRACE(zoom->caption());
    frm->NewFile.click();
    zoom->click();
    drawPattern();
    select(1, 2, 3, 3);
    choose(frm->mnuEdit_Copy);
    ASSERT_TRUE(enabled(frm->mnuEdit_Paste));
    const Bitmap before = image();
    const int pushed = snapshots();
    choose(frm->mnuEdit_Paste);
    EXPECT_TRUE(frm->floatingPasteActive);
    EXPECT_EQ(image(), before) << "nothing changes before the commit";
    EXPECT_EQ(snapshots(), pushed + 1);

    dropAt(10, 20);
    EXPECT_FALSE(frm->floatingPasteActive);
    EXPECT_FALSE(frm->selectionActive);
    EXPECT_TRUE(frm->pasteImage.empty());
    EXPECT_TRUE(frm->gridSnapshot.empty());
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 30; ++x) {
        const bool under = x >= 10 && x < 13 && y >= 20 && y < 22;
        ASSERT_EQ(image().pixel(x, y), under ? patternAt(x - 9, y - 18) : patternAt(x, y)) << x << "," << y;
      }
    EXPECT_EQ(frm->document.pixel(11, 21), patternAt(2, 3)) << "the commit writes the document";
    EXPECT_EQ(shown(12, 21), patternAt(3, 3));
  }
}

TEST_F(ClipboardTest, AnotherProgramsBitmapIsReadOneCellPerPitch) {
  // A bitmap whose every pixel tells where it lies.
  Bitmap foreign(20, 20);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x)
      foreign.setPixel(x, y, rgb(static_cast<std::uint8_t>(x * 12), 0, static_cast<std::uint8_t>(y * 12)));
  Bitmap expected = image();
  platform::setClipboardBitmap(foreign);
  choose(frm->mnuEdit_Paste);
  dropAt(5, 6);
  // At x1 the pitch is 5: each cell of the 4 x 4 cells the image covers takes the pixel at its sampling
  // point; the document keeps the 3-3-2 palette's nearest colour.
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) expected.setPixel(5 + c, 6 + r, foreign.pixel(c * 5 + 1, r * 5 + 1));
  EXPECT_EQ(image(), expected);
}

TEST_F(ClipboardTest, AReleaseWithoutDragCommitsAtTheTopLeftUnlessThePressRepaintedTheGrid) {
  Bitmap red(10, 10);
  red.fillRect(platform::Rect{0, 0, 10, 10}, rgb(255, 0, 0));
  platform::setClipboardBitmap(red);

  choose(frm->mnuEdit_Paste);
  platform::pressMouse(frm->grdIcon, MouseButton::Left, px(30), px(30));
  platform::releaseMouse(frm->grdIcon, MouseButton::Left, px(30), px(30));
  EXPECT_FALSE(frm->floatingPasteActive);
  // 10 pixels cover cells 0 and 1 (sampled at 1 and 6) each way.
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(image().pixel(x, y), x < 2 && y < 2 ? rgb(255, 0, 0) : kWhite);

  // With a selection already active the press repaints the grid: the commit stores the picture as it is.
  frm->NewFile.click();
  select(3, 3, 6, 6);
  const Bitmap before = image();
  choose(frm->mnuEdit_Paste);
  platform::pressMouse(frm->grdIcon, MouseButton::Left, px(30), px(30));
  platform::releaseMouse(frm->grdIcon, MouseButton::Left, px(30), px(30));
  EXPECT_EQ(image(), before);
  EXPECT_FALSE(frm->selectionActive);
}

// A 300 x 200 document at x1 holds 1500 x 1000 pixels of cells, far more than the window shows: Paste
// measures the cells the grid holds, not the part of it inside the window, and so does the paste drag.
TEST_F(ClipboardTest, OnAGridLargerThanItsWindowPasteAndItsDragReachAsFarAsTheCells) {
  ui.answerFile(
      bitmapFile("large.bmp", 300, 200, platform::PixelFormat::pf8bit, [](int, int) { return kWhite; }));
  frm->OpenFile.click();
  ASSERT_GT(frm->grdIcon.canvas().width(), 700);
  ASSERT_LT(frm->grdIcon.canvas().width(), 1000) << "the window cuts the grid off";
  ASSERT_LT(frm->grdIcon.canvas().height(), 700);

  const struct {
    int width, height;
    bool allowed;
  } bitmaps[] = {{1500, 1000, true}, {1501, 10, false}, {10, 1001, false}};
  for (const auto& b : bitmaps) {
    platform::setClipboardBitmap(Bitmap(b.width, b.height));
    EXPECT_EQ(enabled(frm->mnuEdit_Paste), b.allowed) << b.width << " x " << b.height;
  }

  // An image 700 wide, narrower than the part shown, may be dragged 160 columns (800 pixels) to the right.
  Bitmap wide(700, 5);
  wide.fillRect(platform::Rect{0, 0, 700, 5}, rgb(0, 0, 255));
  platform::setClipboardBitmap(wide);
  choose(frm->mnuEdit_Paste);
  dropAt(60, 2);
  EXPECT_EQ(image().pixel(60, 2), rgb(0, 0, 255));
  EXPECT_EQ(image().pixel(59, 2), kWhite);
  EXPECT_EQ(image().pixel(60, 0), kWhite);
}

TEST_F(ClipboardTest, AnImageAsWideAsTheShownGridNeverMoves) {
  Bitmap wide(375, 5);
  wide.fillRect(platform::Rect{0, 0, 375, 5}, rgb(0, 0, 255));
  platform::setClipboardBitmap(wide);
  ASSERT_TRUE(enabled(frm->mnuEdit_Paste));
  choose(frm->mnuEdit_Paste);
  dropAt(0, 40);
  for (int x : {0, 74}) {
    EXPECT_EQ(image().pixel(x, 0), rgb(0, 0, 255));
    EXPECT_EQ(image().pixel(x, 1), kWhite) << "5 pixel rows cover one cell row and its line";
    EXPECT_EQ(image().pixel(x, 40), kWhite);
  }
}

TEST_F(ClipboardTest, CutWhitensBothImagesAndUndoRestoresOnlyTheWorkingImage) {
  drawPattern();
  frm->document.draw(0, 0, image());
  select(2, 2, 4, 3);
  choose(frm->mnuEdit_Cut);
  EXPECT_FALSE(frm->selectionActive);
  EXPECT_EQ(platform::clipboardBitmap().width(), 14);
  for (const Bitmap* b : {&image(), &frm->document}) {
    EXPECT_EQ(b->pixel(2, 2), kWhite);
    EXPECT_EQ(b->pixel(4, 3), kWhite);
    EXPECT_EQ(b->pixel(5, 3), patternAt(5, 3));
    EXPECT_EQ(b->pixel(4, 4), patternAt(4, 4));
  }
  EXPECT_EQ(shown(3, 3), kWhite);

  frm->mnuEdit_Undo.click();
  EXPECT_EQ(image().pixel(3, 3), patternAt(3, 3));
  EXPECT_EQ(frm->document.pixel(3, 3), kWhite);
}

TEST_F(ClipboardTest, TheFloatingImageSurvivesTheEditMenuAndARepaintUntilTheNextDrag) {
  drawPattern();
  Bitmap green(9, 9);
  green.fillRect(platform::Rect{0, 0, 9, 9}, rgb(0, 255, 0));
  platform::setClipboardBitmap(green);
  choose(frm->mnuEdit_Paste);
  const Bitmap pasted = frm->pasteImage, snapshot = frm->gridSnapshot;
  openEdit();
  EXPECT_EQ(frm->pasteImage, pasted);
  EXPECT_EQ(frm->gridSnapshot, snapshot);
  EXPECT_EQ(shown(0, 0), rgb(0, 255, 0));

  frm->cmdRedraw.click();
  EXPECT_EQ(shown(0, 0), patternAt(0, 0)) << "the repaint hides the floating image";
  platform::pressMouse(frm->grdIcon, MouseButton::Left, 1, 1);
  platform::moveMouse(frm->grdIcon, px(7), px(8), true);
  EXPECT_EQ(shown(7, 8), rgb(0, 255, 0)) << "the drag draws it again";
  EXPECT_EQ(shown(0, 0), patternAt(0, 0));
  platform::releaseMouse(frm->grdIcon, MouseButton::Left, px(7), px(8));
  EXPECT_EQ(image().pixel(8, 9), rgb(0, 255, 0));
  EXPECT_EQ(image().pixel(9, 9), patternAt(9, 9));
}

TEST_F(ClipboardTest, PasteAgainKeepsTheEarlierImageWhereItWasDrawn) {
  Bitmap red(10, 10), blue(4, 4);
  red.fillRect(platform::Rect{0, 0, 10, 10}, rgb(255, 0, 0));
  blue.fillRect(platform::Rect{0, 0, 4, 4}, rgb(0, 0, 255));
  platform::setClipboardBitmap(red);
  choose(frm->mnuEdit_Paste);
  platform::setClipboardBitmap(blue);
  choose(frm->mnuEdit_Paste);
  EXPECT_EQ(frm->pasteImage, blue);
  dropAt(20, 20);
  // The second snapshot holds the first image at the top-left; the commit stores both.
  EXPECT_EQ(image().pixel(0, 0), rgb(255, 0, 0));
  EXPECT_EQ(image().pixel(1, 1), rgb(255, 0, 0));
  EXPECT_EQ(image().pixel(2, 2), kWhite);
  EXPECT_EQ(image().pixel(20, 20), rgb(0, 0, 255));
  EXPECT_EQ(image().pixel(21, 20), kWhite);
}

TEST_F(ClipboardTest, OnAScrolledGridTheImageIsPlacedFromTheFirstColumnAndTheHiddenCellsKeepTheirColours) {
  drawPattern();
  frm->mnuBitmap_Zoom_X2.click();
  frm->grdIcon.scrollTo(10, 0);
  ASSERT_EQ(frm->grdIcon.leftCol(), 10);
  Bitmap red(8, 8);
  red.fillRect(platform::Rect{0, 0, 8, 8}, rgb(255, 0, 0));
  platform::setClipboardBitmap(red);
  choose(frm->mnuEdit_Paste);
  // The pointer over the fourth shown column names column 13, drawn at 13 pitches from the left edge.
  platform::pressMouse(frm->grdIcon, MouseButton::Left, 1, 1);
  platform::moveMouse(frm->grdIcon, px(3), px(2), true);
  EXPECT_EQ(frm->grdIcon.canvas().pixel(13 * 9, 2 * 9), rgb(255, 0, 0));
  platform::releaseMouse(frm->grdIcon, MouseButton::Left, px(3), px(2));
  EXPECT_EQ(image().pixel(10 + 13, 2), rgb(255, 0, 0));
  EXPECT_EQ(image().pixel(13, 2), patternAt(13, 2));
  EXPECT_EQ(image().pixel(2, 2), patternAt(2, 2)) << "a cell out of view keeps its colour";
}
