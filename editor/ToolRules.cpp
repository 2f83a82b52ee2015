#include "editor/ToolRules.h"

#include <utility>

namespace pxwk {

platform::Color drawingColour(Buttons held, platform::Color left, platform::Color right) {
  return held.right ? right : left;
}

PressRow pressRow(Tool tool, Buttons held) {
  if (tool == Tool::Pointer) return held.left ? PressRow::SelectionStart : PressRow::None;
  if (!held.any()) return PressRow::None;
  if (tool == Tool::Fill) return PressRow::Fill;
  if (tool == Tool::Freehand) return PressRow::Freehand;
  if (tool == Tool::Line) return PressRow::Line;
  return isEllipseTool(tool) ? PressRow::Ellipse : PressRow::Rectangle;
}

DragBlocks dragBlocks(Tool tool, Buttons held, Buttons dragFlags, bool selectionActive, bool floatingPaste) {
  DragBlocks b;
  if (tool == Tool::Pointer && floatingPaste && held.left) {
    b.pasteDrag = true;
    return b;
  }
  b.freehand = tool == Tool::Freehand && held.any();
  b.line = tool == Tool::Line && dragFlags.any() && held.any();
  b.ellipseLeft = isEllipseTool(tool) && dragFlags.left && held.left;
  b.ellipseRight = isEllipseTool(tool) && dragFlags.right && held.right;
  b.rectangle = isRectangleTool(tool) && dragFlags.any() && held.any();
  b.marquee = tool == Tool::Pointer && held.left && !floatingPaste && selectionActive;
  return b;
}

ReleaseRow releaseRow(Tool tool, Buttons dragFlags, bool selectionActive, bool floatingPaste) {
  if (tool == Tool::Line && dragFlags.any()) return ReleaseRow::Line;
  if (isEllipseTool(tool) && dragFlags.left) return ReleaseRow::EllipseLeft;
  if (isEllipseTool(tool) && dragFlags.right) return ReleaseRow::EllipseRight;
  if (isRectangleTool(tool) && dragFlags.left) return ReleaseRow::RectangleLeft;
  if (isRectangleTool(tool) && dragFlags.right) return ReleaseRow::RectangleRight;
  if (tool == Tool::Pointer && selectionActive && !floatingPaste) return ReleaseRow::SelectionEnd;
  if (tool == Tool::Pointer && floatingPaste) return ReleaseRow::PasteCommit;
  return ReleaseRow::None;
}

std::optional<GridCoord> filledRectangleSeed(GridCoord anchor, GridCoord released) {
  if (released.col == anchor.col || released.row == anchor.row) return std::nullopt;
  const int dx = released.col > anchor.col ? 1 : -1;
  const int dy = released.row > anchor.row ? 1 : -1;
  return GridCoord{anchor.col + dx, anchor.row + dy};
}

void normaliseSelection(GridCoord& start, GridCoord& end) {
  if (start.col > end.col) std::swap(start.col, end.col);
  if (start.row > end.row) std::swap(start.row, end.row);
}

}  // namespace pxwk
