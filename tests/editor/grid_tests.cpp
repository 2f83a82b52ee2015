#include "editor/EditorRules.h"
#include "tests/editor/EditorFixture.h"

using platform::rgb;

TEST_F(EditorTest, ZoomSetsTheCellSizeAndScrollBarsButNotTheGridSize) {
  start();
  EXPECT_EQ(frm->grdIcon.width(), 380);
  EXPECT_EQ(frm->grdIcon.height(), 380);
  EXPECT_TRUE(frm->mnuBitmap_Zoom_X1.checked());
  platform::MenuItem* items[] = {&frm->mnuBitmap_Zoom_X1, &frm->mnuBitmap_Zoom_X2, &frm->mnuBitmap_Zoom_X4,
                                 &frm->mnuBitmap_Zoom_X8};
  const struct {
    int item, cell;
    bool bars;
  } cases[] = {{1, 8, true}, {3, 32, true}, {2, 16, true}, {0, 4, false}};
  for (const auto& c : cases) {
    items[c.item]->click();
    SCOPED_TRACE(items[c.item]->caption());
    EXPECT_EQ(frm->grdIcon.defaultColWidth(), c.cell);
    EXPECT_EQ(frm->grdIcon.defaultRowHeight(), c.cell);
    EXPECT_EQ(frm->grdIcon.horizontalScrollBar(), c.bars);
    EXPECT_EQ(frm->grdIcon.verticalScrollBar(), c.bars);
    EXPECT_EQ(frm->grdIcon.width(), 380);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(items[i]->checked(), i == c.item);
  }
  EXPECT_EQ(frm->grdIcon.visibleColCount(), 75) << "back at x1 every cell is in view";
}

TEST_F(EditorTest, TheGridIsSizedForTheCellSizeOfTheSetUp) {
  start();
  frm->mnuBitmap_Zoom_X8.click();
  frm->NewFile.click();
  EXPECT_EQ(frm->grdIcon.width(), 3333);
  EXPECT_EQ(frm->grdIcon.height(), 3333);
  EXPECT_TRUE(frm->mnuBitmap_Zoom_X8.checked()) << "a set-up keeps the zoom";
  EXPECT_EQ(pxwk::gridExtent(75, 4), 380);
}

TEST_F(EditorTest, ScrolledCellsArePaintedFromTheWorkingImage) {
  start();
  frm->workingImage().setPixel(70, 72, rgb(255, 0, 0));
  frm->mnuBitmap_Zoom_X2.click();
  EXPECT_TRUE(frm->grdIcon.cellRect(70, 72).empty()) << "out of view at x2";
  frm->grdIcon.scrollTo(60, 60);
  EXPECT_EQ(shown(70, 72), rgb(255, 0, 0));
  EXPECT_EQ(shown(71, 72), platform::clWhite);
  EXPECT_EQ(frm->grdIcon.mouseCoord(frm->grdIcon.canvas().width() - 1, 1000), (platform::GridCoord{-1, -1}));
}

TEST_F(EditorTest, RefreshGridAndAPlatformRepaintBothReplaceWhatWasDrawnOnTheGridAlone) {
  start();
  frm->workingImage().setPixel(5, 5, rgb(0, 0, 255));
  for (auto restore :
       {+[](pxwk::TfrmMain& f) { f.cmdRedraw.click(); }, +[](pxwk::TfrmMain& f) { f.grdIcon.repaint(); }}) {
    frm->grdIcon.fillCell(5, 5, rgb(0, 255, 0));
    frm->grdIcon.fillCell(6, 5, rgb(0, 255, 0));
    EXPECT_EQ(shown(6, 5), rgb(0, 255, 0)) << "a band drawn on the grid shows at once";
    restore(*frm);
    EXPECT_EQ(shown(5, 5), rgb(0, 0, 255));
    EXPECT_EQ(shown(6, 5), platform::clWhite);
  }
}

TEST_F(EditorTest, CellsHaveOnePixelLinesAndTheMarginHoldsNoCell) {
  start();
  const platform::Rect r = frm->grdIcon.cellRect(1, 0);
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.width(), 4);
  EXPECT_EQ(frm->grdIcon.mouseCoord(2, 2), (platform::GridCoord{0, 0}));
  EXPECT_EQ(frm->grdIcon.mouseCoord(75 * 5 + 1, 10), (platform::GridCoord{-1, -1}));
  EXPECT_EQ(frm->grdIcon.mouseCoord(-3, 10), (platform::GridCoord{-1, -1}));
}
