#include "editor/EditorRules.h"
#include "editor/pxwkwork.h"

namespace pxwk {

void TfrmMain::setZoom(platform::MenuItem& item, int cellSize) {
  for (platform::MenuItem* zoom :
       {&mnuBitmap_Zoom_X1, &mnuBitmap_Zoom_X2, &mnuBitmap_Zoom_X4, &mnuBitmap_Zoom_X8})
    zoom->setChecked(zoom == &item);
  grdIcon.setDefaultColWidth(cellSize);
  grdIcon.setDefaultRowHeight(cellSize);
  const bool bars = zoomHasScrollBars(cellSize);
  grdIcon.setScrollBars(bars, bars);
  RedrawGrid();
}

void TfrmMain::mnuBitmap_Zoom_X1Click() { setZoom(mnuBitmap_Zoom_X1, kZoomCellSizes[0]); }
void TfrmMain::mnuBitmap_Zoom_X2Click() { setZoom(mnuBitmap_Zoom_X2, kZoomCellSizes[1]); }
void TfrmMain::mnuBitmap_Zoom_X4Click() { setZoom(mnuBitmap_Zoom_X4, kZoomCellSizes[2]); }
void TfrmMain::mnuBitmap_Zoom_X8Click() { setZoom(mnuBitmap_Zoom_X8, kZoomCellSizes[3]); }

void TfrmMain::sizeGrid() {
  const int cellSize = grdIcon.defaultColWidth();
  grdIcon.setBounds(grdIcon.left(), grdIcon.top(), gridExtent(grdIcon.colCount(), cellSize),
                    gridExtent(grdIcon.rowCount(), cellSize));
}

void TfrmMain::RedrawGrid() {
  const platform::Bitmap& image = workingImage();
  platform::Bitmap& canvas = grdIcon.canvas();
  // Cells before the first shown ones, and past the first that is out of view, have no rectangle: the
  // walk covers what is shown, not the whole document.
  // The cells of a row share their top and bottom, and the grid lines between them run straight down, so
  // each row of cells is painted one pixel high and that pixel row then repeated down the band.
  for (int y = grdIcon.topRow(); y < image.height(); ++y) {
    platform::Rect band = grdIcon.cellRect(grdIcon.leftCol(), y);
    if (band.empty()) break;
    for (int x = grdIcon.leftCol(); x < image.width(); ++x) {
      const platform::Rect r = grdIcon.cellRect(x, y);
      if (r.empty()) break;
      canvas.fillRect({r.left, r.top, r.right, r.top + 1}, image.pixel(x, y));
      band.right = r.right;
    }
    canvas.repeatFirstRow(band);
  }
  grdIcon.flush();
}

void TfrmMain::grdIconDrawCell(int col, int row, const platform::Rect& rect) {
  const platform::Color c = workingImage().pixel(col, row);
  // Before the first set-up the grid has cells that no pixel stands behind.
  if (c != platform::clInvalid) grdIcon.canvas().fillRect(rect, c);
}

void TfrmMain::cmdRedrawClick() { RedrawGrid(); }

}  // namespace pxwk
