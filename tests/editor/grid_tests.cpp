#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <functional>

#include "editor/EditorRules.h"
#include "platform/controls/Application.h"
#include "platform/qtbase/Clipboard.h"
#include "tests/editor/EditorFixture.h"
#include "tests/support/Input.h"

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
  frm->editWorkingImage().setPixel(70, 72, rgb(255, 0, 0));
  frm->mnuBitmap_Zoom_X2.click();
  EXPECT_TRUE(frm->grdIcon.cellRect(70, 72).empty()) << "out of view at x2";
  frm->grdIcon.scrollTo(60, 60);
  EXPECT_EQ(shown(70, 72), rgb(255, 0, 0));
  EXPECT_EQ(shown(71, 72), platform::clWhite);
  EXPECT_EQ(frm->grdIcon.mouseCoord(frm->grdIcon.canvas().width() - 1, 1000), (platform::GridCoord{-1, -1}));
}

TEST_F(EditorTest, RefreshGridAndAPlatformRepaintBothReplaceWhatWasDrawnOnTheGridAlone) {
  start();
  frm->editWorkingImage().setPixel(5, 5, rgb(0, 0, 255));
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

// Any document opens at any zoom: the control takes the size its cells ask for, while the grid's drawing
// surface stays within the window, so memory follows the screen and not the document.
TEST_F(EditorTest, LargeDocumentsOpenAtEveryZoomWithASurfaceBoundedByTheWindow) {
  start();
  const auto colourAt = [](int x, int y) { return platform::palette332()[(x * 3 + y * 5) % 256]; };
  const std::string big = bitmapFile("big.bmp", 1000, 1000, platform::PixelFormat::pf8bit, colourAt);
  const std::string mid = bitmapFile("mid.bmp", 520, 520, platform::PixelFormat::pf8bit, colourAt);
  const struct {
    const std::string& file;
    int size;
    platform::MenuItem& zoom;
    int cell;
  } cases[] = {{mid, 520, frm->mnuBitmap_Zoom_X8, 32},
               {big, 1000, frm->mnuBitmap_Zoom_X4, 16},
               {big, 1000, frm->mnuBitmap_Zoom_X8, 32},
               {big, 1000, frm->mnuBitmap_Zoom_X1, 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.size) + " at " + c.zoom.caption());
    c.zoom.click();
    ui.answerFile(c.file);
    frm->OpenFile.click();
    ASSERT_TRUE(ui.callsOf(testing_support::CallKind::Exception).empty());
    const std::string dims = std::to_string(c.size) + " x " + std::to_string(c.size);
    EXPECT_EQ(frm->stbMain.panelText(1), "Bitmap Size= " + dims);
    EXPECT_EQ(frm->workingImage().width(), c.size);
    EXPECT_EQ(frm->grdIcon.width(), pxwk::gridExtent(c.size, c.cell)) << "no upper limit on the control";
    const platform::Bitmap& surface = frm->grdIcon.canvas();
    EXPECT_LE(surface.width(), frm->clientWidth());
    EXPECT_LE(surface.height(), frm->clientHeight());
    // The last cell the surface shows, in part or whole, is painted from the document.
    const platform::GridCoord last = frm->grdIcon.mouseCoord(surface.width() - 1, surface.height() - 1);
    ASSERT_NE(last.col, -1);
    EXPECT_EQ(shown(last.col, last.row), colourAt(last.col, last.row));
    EXPECT_TRUE(frm->grdIcon.cellRect(c.size - 1, c.size - 1).empty()) << "beyond the window";
  }
}

// The clipboard reads what the grid shows: a selection on a large document at x8 captures its cells.
TEST_F(EditorTest, CopyReadsTheShownCellsOfALargeDocument) {
  start();
  frm->mnuBitmap_Zoom_X8.click();
  ui.answerFile(bitmapFile("big.bmp", 1000, 1000, platform::PixelFormat::pf8bit,
                           [](int x, int y) { return x == 2 && y == 1 ? rgb(255, 0, 0) : platform::clWhite; }));
  frm->OpenFile.click();
  platform::pressMouse(frm->grdIcon, platform::MouseButton::Left, 33 + 1, 33 + 1);
  platform::moveMouse(frm->grdIcon, 3 * 33 + 1, 2 * 33 + 1, true);
  platform::releaseMouse(frm->grdIcon, platform::MouseButton::Left, 3 * 33 + 1, 2 * 33 + 1);
  platform::openMenu(frm->mnuEdit);
  ASSERT_TRUE(frm->mnuEdit_Copy.enabled());
  frm->mnuEdit_Copy.click();
  const platform::Bitmap copied = platform::clipboardBitmap();
  EXPECT_EQ(copied.width(), 3 * 32 + 2);
  EXPECT_EQ(copied.height(), 2 * 32 + 1);
  EXPECT_EQ(copied.pixel(33 + 5, 5), rgb(255, 0, 0));
  EXPECT_EQ(copied.pixel(5, 5), platform::clWhite);
}

namespace {

// Draws, fills and undoes on the grid of frm, checking after each step that the actual-size image shows
// the working image, also where it had been shown before the step.
void showsEveryStep(pxwk::TfrmMain& frm) {
  frm.mnuBitmap_Zoom_X4.click();
  const auto at = [&frm](int cell) { return cell * (frm.grdIcon.defaultColWidth() + 1) + 2; };
  const auto screen = [&frm] {
    platform::Application::instance().processMessages();
    return frm.imgActual.widget()->grab().toImage();
  };
  const auto press = [&](platform::SpeedButton& tool, platform::Color colour, int col, int row) {
    tool.click();
    frm.leftColour = colour;
    platform::pressMouse(frm.grdIcon, platform::MouseButton::Left, at(col), at(row));
  };
  const auto release = [&](int col, int row) {
    platform::releaseMouse(frm.grdIcon, platform::MouseButton::Left, at(col), at(row));
  };
  const struct {
    const char* step;
    std::function<void()> run;
  } steps[] = {
      {"freehand press", [&] { press(frm.cmdDraw, rgb(255, 0, 0), 3, 4); }},
      {"freehand move", [&] { platform::moveMouse(frm.grdIcon, at(5), at(4), true); }},
      {"release", [&] { release(5, 4); }},
      {"fill",
       [&] {
         press(frm.cmdPaint, rgb(0, 0, 255), 0, 0);
         release(0, 0);
       }},
      {"line",
       [&] {
         press(frm.cmdLine, rgb(0, 255, 0), 1, 9);
         platform::moveMouse(frm.grdIcon, at(9), at(1), true);
         release(9, 1);
       }},
      {"undo", [&] { frm.mnuEdit_Undo.click(); }},
      {"undo of the fill",
       [&] {
         for (int i = 0; i < 3; ++i) frm.mnuEdit_Undo.click();
       }},
  };
  screen();
  for (const auto& s : steps) {
    SCOPED_TRACE(s.step);
    s.run();
    const QImage shown = screen();
    const platform::Bitmap& image = frm.workingImage();
    ASSERT_EQ(shown.width(), image.width());
    int wrong = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) wrong += shown.pixel(x, y) != platform::toWord(image.pixel(x, y));
    EXPECT_EQ(wrong, 0);
  }
}

}  // namespace

// The document is larger than the panel that shows it at 1:1.
TEST_F(EditorTest, TheActualSizeImageShowsEveryStepOfTheWorkingImage) {
  for (const platform::PixelFormat format : {platform::PixelFormat::pf8bit, platform::PixelFormat::pf24bit}) {
    SCOPED_TRACE(platform::bitsPerPixelOf(format));
    const std::string path = bitmapFile("actual-" + std::to_string(platform::bitsPerPixelOf(format)) + ".bmp",
                                        300, 200, format, [](int x, int y) { return rgb(x % 256, y, 128); });
    start({path});
    frm->OnClose = nullptr;
    showsEveryStep(*frm);
  }
}
