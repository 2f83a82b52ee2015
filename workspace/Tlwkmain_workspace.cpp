#include "platform/core/Convert.h"
#include "workspace/TileRules.h"
#include "workspace/Tlwkmain.h"

namespace tlwk {

void TfrmMain::grdImageDrawCell(int col, int row, const platform::Rect& rect) {
  // The grid has painted the cell and its text; a cell naming a tile shows that tile over it.
  const auto n = cellIndex(grdImage.cell(col, row));
  if (n) imagelist1.draw(*n, grdImage.canvas(), rect.left, rect.top);
}

void TfrmMain::grdImageSelectCell(int col, int row) {
  selectedCellCol = col;
  selectedCellRow = row;
  if (recordMode) {
    recordFrame(col, row);
    return;
  }
  const auto placed =
      placedText(grdImage.cell(col, row), selectedTile(), imagelist1.count(), mnuOptions_Overwrite.checked());
  if (placed) grdImage.setCell(col, row, *placed);
}

void TfrmMain::grdImageMouseDown(platform::MouseButton button, int x, int y) {
  // The click position is stored before the pop-up's command can run.
  clickX = x;
  clickY = y;
  if (button == platform::MouseButton::Right)
    popMain.popup(screenLeft() + grdImage.left() + x, screenTop() + grdImage.top() + grdImageList.height() + y);
}

bool TfrmMain::clickedCell(int& col, int& row) const { return grdImage.mouseToCell(clickX, clickY, col, row); }

void TfrmMain::popMain_CutClick() {
  int c, r;
  if (!clickedCell(c, r)) return;
  const std::string& text = grdImage.cell(c, r);
  if (text.empty()) {
    cellClipboard = -1;
    return;
  }
  cellClipboard = platform::strToInt(text);
  grdImage.setCell(c, r, "");
}

void TfrmMain::popMain_CopyClick() {
  int c, r;
  if (!clickedCell(c, r)) return;
  const std::string& text = grdImage.cell(c, r);
  cellClipboard = text.empty() ? -1 : platform::strToInt(text);
}

void TfrmMain::popMain_PasteClick() {
  int c, r;
  if (!clickedCell(c, r)) return;
  grdImage.setCell(c, r, cellClipboard == -1 ? "" : std::to_string(cellClipboard));
}

void TfrmMain::popMain_BlankClick() {
  int c, r;
  if (!clickedCell(c, r)) return;
  grdImage.setCell(c, r, "");
}

}  // namespace tlwk
