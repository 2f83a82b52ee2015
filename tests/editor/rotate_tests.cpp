// Bitmap > Rotate through the menu, on documents loaded from files.
#include <array>

#include "editor/EditorRules.h"
#include "tests/editor/EditorFixture.h"
#include "tests/support/Input.h"

using platform::Bitmap;
using platform::Color;
using platform::rgb;

namespace {
const Color a = rgb(255, 0, 0), b = rgb(0, 255, 0), c = rgb(0, 0, 255), d = rgb(0, 0, 0);
}  // namespace

class RotateTest : public EditorTest {
 protected:
  // Tile mode on a 2 x 2 file of a b over c d.
  void startOnSquare(platform::PixelFormat format = platform::PixelFormat::pf24bit) {
    start({bitmapFile("square.bmp", 2, 2, format, [](int x, int y) {
      return std::array{a, b, c, d}[y * 2 + x];
    })});
  }
  std::vector<Color> pixelsOf(const Bitmap& bmp) {
    std::vector<Color> out;
    for (int y = 0; y < bmp.height(); ++y)
      for (int x = 0; x < bmp.width(); ++x) out.push_back(bmp.pixel(x, y));
    return out;
  }
  int snapshots() const { return frm->ImgListUndo.undoPosition() + 1; }
};

TEST_F(RotateTest, EachItemTurnsTheDocumentAndTheWorkingImageShowsIt) {
  startOnSquare();
  const struct {
    platform::MenuItem& item;
    std::vector<Color> expected;
  } items[] = {{frm->mnuBitmap_Rotate_Right90, {c, a, d, b}},
               {frm->mnuBitmap_Rotate180, {b, d, a, c}},  // after the quarter turn: a half turn of c a / d b
               {frm->mnuBitmap_Rotate_Right270, {d, c, b, a}}};
  for (const auto& i : items) {
    ASSERT_TRUE(i.item.enabled()) << i.item.caption();
    const int before = snapshots();
    i.item.click();
    EXPECT_EQ(pixelsOf(frm->document), i.expected) << i.item.caption();
    EXPECT_EQ(frm->workingImage(), frm->document);
    EXPECT_EQ(shown(0, 0), i.expected[0]);
    EXPECT_EQ(shown(1, 1), i.expected[3]);
    EXPECT_EQ(snapshots(), before + 1);
  }
}

TEST_F(RotateTest, TheTurnTakesTheDocumentAndUndoGivesBackTheDrawingUnturned) {
  startOnSquare(platform::PixelFormat::pf8bit);
  frm->editWorkingImage().setPixel(0, 0, d);  // drawing not yet written to the document
  frm->mnuBitmap_Rotate_Right90.click();
  EXPECT_EQ(pixelsOf(frm->workingImage()), (std::vector<Color>{c, a, d, b}));
  EXPECT_EQ(frm->document.pixelFormat(), platform::PixelFormat::pf8bit);
  EXPECT_EQ(frm->document.colorTable(), frm->editorPalette);

  frm->mnuEdit_Undo.click();
  EXPECT_EQ(pixelsOf(frm->workingImage()), (std::vector<Color>{d, b, c, d}));
  EXPECT_EQ(pixelsOf(frm->document), (std::vector<Color>{c, a, d, b})) << "the document stays turned";
}

TEST_F(RotateTest, AOnePixelDocumentIsUnchangedButGetsASnapshot) {
  start({bitmapFile("one.bmp", 1, 1, platform::PixelFormat::pf24bit, [](int, int) { return b; })});
  for (platform::MenuItem* item :
       {&frm->mnuBitmap_Rotate_Right90, &frm->mnuBitmap_Rotate180, &frm->mnuBitmap_Rotate_Right270}) {
    const int before = snapshots();
    item->click();
    EXPECT_EQ(frm->document.pixel(0, 0), b);
    EXPECT_EQ(snapshots(), before + 1);
  }
  EXPECT_TRUE(frm->mnuEdit_Undo.enabled());
}

TEST_F(RotateTest, TheGridIsSizedForEveryCellAtTheCurrentZoomAndTheSelectionStays) {
  start();
  frm->mnuBitmap_Zoom_X4.click();
  EXPECT_EQ(frm->grdIcon.width(), 380) << "a zoom alone does not resize the grid";
  frm->selectionActive = true;
  frm->selectionStart = {1, 2};
  frm->selectionEnd = {3, 4};
  frm->mnuBitmap_Rotate180.click();
  EXPECT_EQ(frm->grdIcon.width(), pxwk::gridExtent(75, 16));
  EXPECT_EQ(frm->grdIcon.height(), pxwk::gridExtent(75, 16));
  EXPECT_EQ(frm->grdIcon.colCount(), 75);
  EXPECT_TRUE(frm->selectionActive);
  EXPECT_EQ(frm->selectionStart, (pxwk::GridCoord{1, 2}));
  EXPECT_EQ(frm->selectionEnd, (pxwk::GridCoord{3, 4}));
}
