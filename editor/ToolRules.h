#pragma once

#include <optional>

#include "platform/bitmap/Color.h"
#include "platform/controls/Grid.h"

namespace pxwk {

using platform::GridCoord;

// What the tool buttons choose; exactly one is down.
enum class Tool { Freehand, Line, Fill, Pointer, Ellipse, Rectangle, FilledEllipse, FilledRectangle };

inline bool isEllipseTool(Tool t) { return t == Tool::Ellipse || t == Tool::FilledEllipse; }
inline bool isRectangleTool(Tool t) { return t == Tool::Rectangle || t == Tool::FilledRectangle; }

// Mouse buttons held during an event, or the drag flags of a shape pressed with them.
struct Buttons {
  bool left = false, right = false;
  bool any() const { return left || right; }
  bool operator==(const Buttons&) const = default;
};

// The left colour while the left button is held, replaced by the right colour while the right one is.
platform::Color drawingColour(Buttons held, platform::Color left, platform::Color right);

// Which row of the press table acts: the first whose condition holds.
enum class PressRow { None, Fill, Freehand, Line, Ellipse, Rectangle, SelectionStart };
PressRow pressRow(Tool tool, Buttons held);

// The blocks of a drag step. Every block whose condition holds runs, except that the paste drag runs alone.
struct DragBlocks {
  bool pasteDrag = false;
  bool freehand = false;
  bool line = false;
  bool ellipseLeft = false;
  bool ellipseRight = false;
  bool rectangle = false;
  bool marquee = false;
  bool operator==(const DragBlocks&) const = default;
};
DragBlocks dragBlocks(Tool tool, Buttons held, Buttons dragFlags, bool selectionActive, bool floatingPaste);

// Which row of the release table acts after the release's snapshot. No row reads the button released.
enum class ReleaseRow {
  None,
  Line,
  EllipseLeft,
  EllipseRight,
  RectangleLeft,
  RectangleRight,
  SelectionEnd,
  PasteCommit
};
ReleaseRow releaseRow(Tool tool, Buttons dragFlags, bool selectionActive, bool floatingPaste);

// The filled rectangle's fill seed: the pixel diagonally inside the anchor corner toward the released one;
// none when both lie in one row or column.
std::optional<GridCoord> filledRectangleSeed(GridCoord anchor, GridCoord released);

// Orders the corners so that start column <= end column and, independently, start row <= end row.
void normaliseSelection(GridCoord& start, GridCoord& end);

}  // namespace pxwk
