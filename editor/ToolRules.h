#pragma once

#include <optional>

#include "editor/Tracers.h"
#include "platform/controls/Grid.h"
#include "platform/core/Bitmap.h"
#include "platform/core/Color.h"

namespace pxwk {

using platform::GridCoord;

// Mouse buttons held during an event, or the drag flags of a shape pressed with them.
struct Buttons {
  bool left = false, right = false;
  bool any() const { return left || right; }
  bool operator==(const Buttons&) const = default;
};

// The left colour while the left button is held, replaced by the right colour while the right one is.
platform::Color drawingColour(Buttons held, platform::Color left, platform::Color right);

// What the tools draw on and keep their state in: the editor window, or a stand-in without one.
class ToolHost {
 public:
  // Tool state, kept between the grid's press, drag and release.
  Buttons dragFlags;  // buttons that pressed a line, ellipse or rectangle not yet released
  GridCoord anchor;   // line start, ellipse centre, rectangle corner, marquee corner
  GridCoord selectionStart, selectionEnd;
  bool selectionActive = false;
  PointBuffer pointBuffer;  // the rubber band or marquee on the grid, with the colours under it
  // What the tools read of the rest of the editor.
  bool floatingPasteActive = false;
  platform::Color leftColour = platform::clBlack;
  platform::Color rightColour = platform::clBlack;

  // The working image, which the actual-size view shows: to read, and to draw on, all of it or only area
  // changing, so that the view converts only what changed.
  virtual const platform::Bitmap& workingImage() const = 0;
  virtual platform::Bitmap& editWorkingImage() = 0;
  virtual platform::Bitmap& editWorkingImage(const platform::Rect& area) = 0;
  // A snapshot of the working image for Undo.
  virtual void PushUndo() = 0;
  // The actual-size view shows the image again.
  virtual void imageChanged() = 0;
  // Every cell of the grid painted from the working image, and shown.
  virtual void repaintGrid() = 0;
  // Paints a cell of the grid without showing it yet; cells off the grid or out of view are left alone.
  virtual void paintCell(GridCoord cell, platform::Color colour) = 0;
  // Paints a cell of the grid and shows it.
  virtual void fillCell(GridCoord cell, platform::Color colour) = 0;
  // Shows the cells painted since the last time.
  virtual void showGrid() = 0;
  // The floating paste follows the pointer at x, y in the grid's client pixels, or is committed.
  virtual void movePaste(int x, int y) = 0;
  virtual void commitPaste() = 0;

 protected:
  ~ToolHost() = default;
};

// One drawing tool: what a press, a drag step and a release on the pixel grid do while its button is down.
// The release's first snapshot is the grid's, whatever the tool; a release reads no button.
class DrawingTool {
 public:
  virtual void press(ToolHost& host, GridCoord cell, Buttons held) const = 0;
  // x, y: the pointer in the grid's client pixels, which a floating paste follows.
  virtual void drag(ToolHost& host, GridCoord cell, Buttons held, int x, int y) const = 0;
  virtual void release(ToolHost& host, GridCoord cell) const = 0;

 protected:
  ~DrawingTool() = default;
};

// The eight tools of the tool buttons.
namespace tools {
extern const DrawingTool& freehand;
extern const DrawingTool& line;
extern const DrawingTool& fill;
extern const DrawingTool& pointer;  // selects, and moves a floating paste
extern const DrawingTool& ellipse;
extern const DrawingTool& rectangle;
extern const DrawingTool& filledEllipse;
extern const DrawingTool& filledRectangle;
}  // namespace tools

// The filled rectangle's fill seed: the pixel diagonally inside the anchor corner toward the released one;
// none when both lie in one row or column.
std::optional<GridCoord> filledRectangleSeed(GridCoord anchor, GridCoord released);

// Orders the corners so that start column <= end column and, independently, start row <= end row.
void normaliseSelection(GridCoord& start, GridCoord& end);

}  // namespace pxwk
