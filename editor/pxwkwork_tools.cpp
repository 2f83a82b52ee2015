#include <optional>
#include <utility>

#include "editor/EditorRules.h"
#include "editor/pxwkwork.h"

namespace pxwk {

using platform::Color;
using platform::MouseButton;
using platform::ShiftState;

namespace {

const struct ToolButton {
  platform::SpeedButton TfrmMain::*button;
  Tool tool;
  const char* hint;
  int left, top;
} kToolButtons[] = {
    {&TfrmMain::cmdDraw, Tool::Freehand, "Draw Freehand", 15, 8},
    {&TfrmMain::cmdLine, Tool::Line, "Draw Line", 63, 8},
    {&TfrmMain::cmdPaint, Tool::Fill, "Fill", 15, 56},
    {&TfrmMain::cmdPoint, Tool::Pointer, "Pointer", 63, 56},
    {&TfrmMain::cmdCircle, Tool::Ellipse, "Draw Circle Outline", 16, 104},
    {&TfrmMain::cmdBox, Tool::Rectangle, "Draw Polygon Outline", 64, 104},
    {&TfrmMain::cmdCircleFilled, Tool::FilledEllipse, "Draw Filled Circle", 16, 152},
    {&TfrmMain::cmdBoxFilled, Tool::FilledRectangle, "Draw Filled Polygon", 64, 152},
};

constexpr int kToolButtonSize = 41;
constexpr int kToolPictureSize = 32;

Buttons heldIn(ShiftState shift) { return {shift.left, shift.right}; }

// The one pixel behind a cell, as the area of the working image a freehand step changes.
platform::Rect pixelOf(GridCoord c) { return {c.col, c.row, c.col + 1, c.row + 1}; }

// Runs f(cell, colour recorded under it) for each traced point in trace order.
template <class F>
void eachPoint(const PointBuffer& buffer, F f) {
  for (int i = 0; i <= buffer.lastIndex(); ++i) {
    const TracedPoint& p = buffer.point(i);
    f(GridCoord{p.x, p.y}, buffer.colour(i));
  }
}

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

Tool TfrmMain::currentTool() const {
  for (const ToolButton& t : kToolButtons)
    if ((this->*t.button).down()) return t.tool;
  return Tool::Pointer;
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

void TfrmMain::paintCell(GridCoord cell, Color colour) {
  // Points off the image carry no usable colour, and their cells are not on the grid.
  if (colour == platform::clInvalid) return;
  const platform::Rect r = grdIcon.cellRect(cell.col, cell.row);
  if (!r.empty()) grdIcon.canvas().fillRect(r, colour);
}

void TfrmMain::eraseBand() {
  eachPoint(pointBuffer, [this](GridCoord cell, Color under) { paintCell(cell, under); });
}

void TfrmMain::paintBand(Color colour) {
  eachPoint(pointBuffer, [&](GridCoord cell, Color) { paintCell(cell, colour); });
}

void TfrmMain::grdIconMouseDown(MouseButton, ShiftState shift, int x, int y) {
  const GridCoord c = grdIcon.mouseCoord(x, y);
  const Buttons held = heldIn(shift);
  switch (pressRow(currentTool(), held)) {
    case PressRow::Fill:
      PushUndo();
      editWorkingImage().floodFillSurface(c.col, c.row, drawingColour(held, leftColour, rightColour));
      imgActual.repaint();
      RedrawGrid();
      break;
    case PressRow::Freehand: {
      PushUndo();
      const Color colour = drawingColour(held, leftColour, rightColour);
      editWorkingImage(pixelOf(c)).setPixel(c.col, c.row, colour);
      imgActual.repaint();
      grdIcon.fillCell(c.col, c.row, colour);
      break;
    }
    case PressRow::Line:
    case PressRow::Ellipse:
    case PressRow::Rectangle:
      // A flag already set by the other button stays set.
      dragFlags.left = dragFlags.left || held.left;
      dragFlags.right = dragFlags.right || held.right;
      anchor = c;
      editWorkingImage(platform::Rect{}).moveTo(c.col, c.row);
      break;
    case PressRow::SelectionStart:
      anchor = selectionStart = c;
      if (selectionActive) {
        RedrawGrid();
      } else {
        selectionActive = true;
      }
      break;
    case PressRow::None:
      break;
  }
}

void TfrmMain::grdIconMouseMove(ShiftState shift, int x, int y) {
  const Buttons held = heldIn(shift);
  const DragBlocks blocks = dragBlocks(currentTool(), held, dragFlags, selectionActive, floatingPasteActive);
  if (blocks.pasteDrag) {
    pasteDrag(shift, x, y);
    return;
  }
  const GridCoord c = grdIcon.mouseCoord(x, y);
  const platform::Bitmap& image = workingImage();
  if (blocks.freehand) {
    // Only the cells that moves report are drawn: nothing joins them.
    const Color colour = drawingColour(held, leftColour, rightColour);
    editWorkingImage(pixelOf(c)).setPixel(c.col, c.row, colour);
    imgActual.repaint();
    paintCell(c, colour);
  }
  if (blocks.line) {
    eraseBand();
    TraceLine(pointBuffer, image, anchor.col, anchor.row, c.col, c.row);
    paintBand(drawingColour(dragFlags, leftColour, rightColour));
  }
  // With both buttons and both flags the right band replaces the left one.
  for (const auto& [runs, colour] :
       {std::pair{blocks.ellipseLeft, leftColour}, {blocks.ellipseRight, rightColour}})
    if (runs) {
      eraseBand();
      TraceEllipse(pointBuffer, image, anchor.col, anchor.row, anchor.col - c.col, anchor.row - c.row);
      paintBand(colour);
    }
  if (blocks.rectangle) {
    eraseBand();
    TraceRectangle(pointBuffer, image, anchor.col, anchor.row, c.col, c.row);
    paintBand(drawingColour(held, leftColour, rightColour));
  }
  if (blocks.marquee) {
    eraseBand();
    TraceRectangle(pointBuffer, image, anchor.col, anchor.row, c.col, c.row);
    eachPoint(pointBuffer, [this](GridCoord cell, Color under) {
      if (under != platform::clInvalid) paintCell(cell, ContrastColour(under));
    });
  }
  if (blocks != DragBlocks{}) grdIcon.flush();
}

void TfrmMain::grdIconMouseUp(MouseButton, ShiftState, int x, int y) {
  PushUndo();
  const GridCoord c = grdIcon.mouseCoord(x, y);
  const ReleaseRow row = releaseRow(currentTool(), dragFlags, selectionActive, floatingPasteActive);
  switch (row) {
    case ReleaseRow::None:
      break;
    case ReleaseRow::SelectionEnd:
      endSelection(c);
      break;
    case ReleaseRow::PasteCommit:
      pasteCommit();
      break;
    default:
      endShape(c, row);
      break;
  }
}

void TfrmMain::endShape(GridCoord released, ReleaseRow row) {
  if (released != anchor) {
    if (row == ReleaseRow::Line) {
      commitLine(released);
    } else {
      commitOutline(released, row);
    }
    return;
  }
  // Released on the anchor: the band is at most that one cell, and nothing reaches the image.
  if (!pointBuffer.empty()) {
    const TracedPoint& p = pointBuffer.point(0);
    paintCell({p.x, p.y}, pointBuffer.colour(0));
    grdIcon.flush();
  }
  const bool left = row == ReleaseRow::EllipseLeft || row == ReleaseRow::RectangleLeft;
  const bool right = row == ReleaseRow::EllipseRight || row == ReleaseRow::RectangleRight;
  if (row == ReleaseRow::Line || left) dragFlags.left = false;
  if (row == ReleaseRow::Line || right) dragFlags.right = false;
  pointBuffer.clear();
}

void TfrmMain::commitLine(GridCoord released) {
  Color colour = leftColour;
  if (dragFlags.left) {
    PushUndo();
    dragFlags.left = false;
  }
  if (dragFlags.right) {
    colour = rightColour;
    dragFlags.right = false;
  }
  // The grid keeps the cells of the last band, without a full repaint.
  paintBand(colour);
  grdIcon.flush();
  // The image takes the traced cells from the pen position to the released cell, both ends included, so
  // that the grid and the image agree wherever the band ended on that cell.
  platform::Bitmap& image = editWorkingImage();
  TraceLine(pointBuffer, image, image.penX(), image.penY(), released.col, released.row);
  eachPoint(pointBuffer, [&](GridCoord cell, Color) { image.setPixel(cell.col, cell.row, colour); });
  pointBuffer.clear();
  imgActual.repaint();
}

void TfrmMain::commitOutline(GridCoord released, ReleaseRow row) {
  const bool left = row == ReleaseRow::EllipseLeft || row == ReleaseRow::RectangleLeft;
  const Color colour = left ? leftColour : rightColour;
  PushUndo();
  (left ? dragFlags.left : dragFlags.right) = false;
  // The outline is the band of the last drag step; the full repaint below shows it on the grid.
  platform::Bitmap& image = editWorkingImage();
  eachPoint(pointBuffer, [&](GridCoord cell, Color) { image.setPixel(cell.col, cell.row, colour); });
  std::optional<GridCoord> seed;
  if (currentTool() == Tool::FilledEllipse) seed = anchor;
  if (currentTool() == Tool::FilledRectangle) seed = filledRectangleSeed(anchor, released);
  if (seed) image.floodFillSurface(seed->col, seed->row, colour);
  pointBuffer.clear();
  imgActual.repaint();
  RedrawGrid();
}

void TfrmMain::endSelection(GridCoord released) {
  selectionEnd = released;
  if (released == selectionStart) {
    selectionActive = false;
    RedrawGrid();
  } else {
    // The marquee of the last drag step stays on the grid.
    selectionActive = true;
  }
  pointBuffer.clear();
  normaliseSelection(selectionStart, selectionEnd);
}

}  // namespace pxwk
