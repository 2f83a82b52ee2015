#include "editor/EditorRules.h"
#include "editor/pxwkwork.h"

namespace pxwk {

using platform::MouseButton;

void TfrmMain::ResetPaletteGrid(int count) {
  grdColor.clearCells();
  grdColor.setCell(0, 0, "FB");
  fCol = fRow = bCol = bRow = 0;
  leftColour = rightColour = paletteTable[0];
  stbMain.setPanelText(0, "Colors=" + std::to_string(count));
}

void TfrmMain::grdColorDrawCell(int col, int row, const platform::Rect& rect) {
  if (!isPaletteCell(col, row)) return;
  const platform::Color entry = paletteTable[paletteIndex(col, row)];
  grdColor.canvas().fillRect(rect, entry);
  const platform::Color ink = ContrastColour(entry);
  const MarkLetters letters = lettersOf(grdColor.cell(col, row));
  if (letters.f) grdColor.textOut(rect.left, rect.top, "F", ink);
  if (letters.b) grdColor.textOut(rect.left + 4, rect.top + 4, "B", ink);
}

void TfrmMain::grdColorMouseUp(MouseButton button, platform::ShiftState shift, int x, int y) {
  const platform::GridCoord cell = grdColor.mouseCoord(x, y);
  // A release over no cell (the border, or outside after a press on the grid) names no palette entry.
  if (!isPaletteCell(cell.col, cell.row)) return;
  const int i = paletteIndex(cell.col, cell.row);

  if (shift.shift && (button == MouseButton::Left || button == MouseButton::Right)) {
    cdlColor.setColor(paletteTable[i]);
    if (!cdlColor.execute()) {
      RedrawGrid();
      return;
    }
    paletteTable[i] = cdlColor.color();
    grdColor.fillCell(cell.col, cell.row, paletteTable[i]);
    const std::string& mark = grdColor.cell(cell.col, cell.row);
    if (mark == "FB") {
      leftColour = rightColour = paletteTable[i];
    } else if (mark == "F") {
      leftColour = paletteTable[i];
    } else if (mark == "B") {
      rightColour = paletteTable[i];
    }
    grdColor.repaint();
    return;
  }

  // Setting a cell's text repaints that cell, so the old and the new mark show at once.
  if (button == MouseButton::Left) {
    grdColor.setCell(fCol, fRow, withoutF(grdColor.cell(fCol, fRow)));
    grdColor.setCell(cell.col, cell.row, withF(grdColor.cell(cell.col, cell.row)));
    fCol = cell.col;
    fRow = cell.row;
    leftColour = paletteTable[i];
  } else if (button == MouseButton::Right) {
    grdColor.setCell(bCol, bRow, withoutB(grdColor.cell(bCol, bRow)));
    grdColor.setCell(cell.col, cell.row, withB(grdColor.cell(cell.col, cell.row)));
    bCol = cell.col;
    bRow = cell.row;
    rightColour = paletteTable[i];
  }
}

}  // namespace pxwk
