#include "editor/pxwkwork.h"

namespace pxwk {

using platform::Color;
using platform::MouseButton;
using platform::ShiftState;

namespace {

// Each tool button and the tool it puts down.
const struct ToolButton {
  platform::SpeedButton TfrmMain::*button;
  const DrawingTool& tool;
  const char* hint;
  int left, top;
} kToolButtons[] = {
    {&TfrmMain::cmdDraw, tools::freehand, "Draw Freehand", 15, 8},
    {&TfrmMain::cmdLine, tools::line, "Draw Line", 63, 8},
    {&TfrmMain::cmdPaint, tools::fill, "Fill", 15, 56},
    {&TfrmMain::cmdPoint, tools::pointer, "Pointer", 63, 56},
    {&TfrmMain::cmdCircle, tools::ellipse, "Draw Circle Outline", 16, 104},
    {&TfrmMain::cmdBox, tools::rectangle, "Draw Polygon Outline", 64, 104},
    {&TfrmMain::cmdCircleFilled, tools::filledEllipse, "Draw Filled Circle", 16, 152},
    {&TfrmMain::cmdBoxFilled, tools::filledRectangle, "Draw Filled Polygon", 64, 152},
};

constexpr int kToolButtonSize = 41;
constexpr int kToolPictureSize = 32;

Buttons heldIn(ShiftState shift) { return {shift.left, shift.right}; }

}  // namespace

void TfrmMain::buildTools() {
  for (const ToolButton& t : kToolButtons) {
    platform::SpeedButton& b = this->*t.button;
    b.setBounds(t.left, t.top, kToolButtonSize, kToolButtonSize);
    b.setIconSize(kToolPictureSize);
    b.setHint(t.hint);
    b.setGroupIndex(1);
  }
  cmdPoint.setDown(true);
}

const DrawingTool& TfrmMain::currentTool() const {
  for (const ToolButton& t : kToolButtons)
    if ((this->*t.button).down()) return t.tool;
  return tools::pointer;
}

void TfrmMain::PushUndo() {
  ImgListUndo.push(workingImage());
  // A push that found no memory for even one copy leaves nothing to undo.
  mnuEdit_Undo.setEnabled(ImgListUndo.canUndo());
}

void TfrmMain::mnuEdit_UndoClick() {
  if (!ImgListUndo.canUndo() || !ImgListUndo.undo(editWorkingImage())) return;
  mnuEdit_Undo.setEnabled(ImgListUndo.canUndo());
  imgActual.repaint();
  RedrawGrid();
}

void TfrmMain::imageChanged() { imgActual.repaint(); }

void TfrmMain::repaintGrid() { RedrawGrid(); }

void TfrmMain::paintCell(GridCoord cell, Color colour) {
  // Points off the image carry no usable colour, and their cells are not on the grid.
  if (colour == platform::clInvalid) return;
  const platform::Rect r = grdIcon.cellRect(cell.col, cell.row);
  if (!r.empty()) grdIcon.canvas().fillRect(r, colour);
}

void TfrmMain::fillCell(GridCoord cell, Color colour) { grdIcon.fillCell(cell.col, cell.row, colour); }

void TfrmMain::showGrid() { grdIcon.flush(); }

void TfrmMain::grdIconMouseDown(MouseButton, ShiftState shift, int x, int y) {
  currentTool().press(*this, grdIcon.mouseCoord(x, y), heldIn(shift));
}

void TfrmMain::grdIconMouseMove(ShiftState shift, int x, int y) {
  currentTool().drag(*this, grdIcon.mouseCoord(x, y), heldIn(shift), x, y);
}

void TfrmMain::grdIconMouseUp(MouseButton, ShiftState, int x, int y) {
  PushUndo();
  currentTool().release(*this, grdIcon.mouseCoord(x, y));
}

}  // namespace pxwk
