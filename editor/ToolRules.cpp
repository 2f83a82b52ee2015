#include "editor/ToolRules.h"

#include <utility>

#include "editor/EditorRules.h"

namespace pxwk {

using platform::Color;

platform::Color drawingColour(Buttons held, platform::Color left, platform::Color right) {
  return held.right ? right : left;
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

namespace {

// Runs f(cell, colour recorded under it) for each traced point in trace order.
template <class F>
void eachPoint(const PointBuffer& buffer, F f) {
  for (int i = 0; i <= buffer.lastIndex(); ++i) {
    const TracedPoint& p = buffer.point(i);
    f(GridCoord{p.x, p.y}, buffer.colour(i));
  }
}

// Paints every cell of the band back in the colour recorded under it.
void eraseBand(ToolHost& host) {
  eachPoint(host.pointBuffer, [&](GridCoord cell, Color under) { host.paintCell(cell, under); });
}

void paintBand(ToolHost& host, Color colour) {
  eachPoint(host.pointBuffer, [&](GridCoord cell, Color) { host.paintCell(cell, colour); });
}

void setBandPixels(ToolHost& host, Color colour) {
  platform::Bitmap& image = host.editWorkingImage();
  eachPoint(host.pointBuffer, [&](GridCoord cell, Color) { image.setPixel(cell.col, cell.row, colour); });
}

// The press of a line, ellipse or rectangle: a flag already set by the other button stays set.
void pressShape(ToolHost& host, GridCoord cell, Buttons held) {
  if (!held.any()) return;
  host.dragFlags.left = host.dragFlags.left || held.left;
  host.dragFlags.right = host.dragFlags.right || held.right;
  host.anchor = cell;
  host.editWorkingImage(platform::Rect{}).moveTo(cell.col, cell.row);  // the pen alone
}

// Released on the anchor: the band is at most that one cell, and nothing reaches the image.
void cancelShape(ToolHost& host, Buttons cleared) {
  if (!host.pointBuffer.empty()) {
    const TracedPoint& p = host.pointBuffer.point(0);
    host.paintCell({p.x, p.y}, host.pointBuffer.colour(0));
    host.showGrid();
  }
  if (cleared.left) host.dragFlags.left = false;
  if (cleared.right) host.dragFlags.right = false;
  host.pointBuffer.clear();
}

class FillTool final : public DrawingTool {
 public:
  void press(ToolHost& host, GridCoord cell, Buttons held) const override {
    if (!held.any()) return;
    host.PushUndo();
    host.editWorkingImage().floodFillSurface(cell.col, cell.row,
                                             drawingColour(held, host.leftColour, host.rightColour));
    host.imageChanged();
    host.repaintGrid();
  }
  void drag(ToolHost&, GridCoord, Buttons, int, int) const override {}
  void release(ToolHost&, GridCoord) const override {}
};

class FreehandTool final : public DrawingTool {
 public:
  void press(ToolHost& host, GridCoord cell, Buttons held) const override {
    if (!held.any()) return;
    host.PushUndo();
    const Color colour = draw(host, cell, held);
    host.fillCell(cell, colour);
  }
  // Only the cells that moves report are drawn: nothing joins them.
  void drag(ToolHost& host, GridCoord cell, Buttons held, int, int) const override {
    if (!held.any()) return;
    host.paintCell(cell, draw(host, cell, held));
    host.showGrid();
  }
  void release(ToolHost&, GridCoord) const override {}

 private:
  static Color draw(ToolHost& host, GridCoord cell, Buttons held) {
    const Color colour = drawingColour(held, host.leftColour, host.rightColour);
    host.editWorkingImage({cell.col, cell.row, cell.col + 1, cell.row + 1})
        .setPixel(cell.col, cell.row, colour);
    host.imageChanged();
    return colour;
  }
};

class LineTool final : public DrawingTool {
 public:
  void press(ToolHost& host, GridCoord cell, Buttons held) const override { pressShape(host, cell, held); }
  void drag(ToolHost& host, GridCoord cell, Buttons held, int, int) const override {
    if (!host.dragFlags.any() || !held.any()) return;
    eraseBand(host);
    TraceLine(host.pointBuffer, host.workingImage(), host.anchor.col, host.anchor.row, cell.col, cell.row);
    paintBand(host, drawingColour(host.dragFlags, host.leftColour, host.rightColour));
    host.showGrid();
  }
  // Both flags end with the line.
  void release(ToolHost& host, GridCoord cell) const override {
    if (!host.dragFlags.any()) return;
    if (cell == host.anchor) {
      cancelShape(host, {true, true});
      return;
    }
    Color colour = host.leftColour;
    if (host.dragFlags.left) {
      host.PushUndo();
      host.dragFlags.left = false;
    }
    if (host.dragFlags.right) {
      colour = host.rightColour;
      host.dragFlags.right = false;
    }
    // The grid keeps the cells of the last band, without a full repaint.
    paintBand(host, colour);
    host.showGrid();
    // The image takes the traced cells from the pen position to the released cell, both ends included, so
    // that the grid and the image agree wherever the band ended on that cell.
    const platform::Bitmap& image = host.workingImage();
    TraceLine(host.pointBuffer, image, image.penX(), image.penY(), cell.col, cell.row);
    setBandPixels(host, colour);
    host.pointBuffer.clear();
    host.imageChanged();
  }
};

// The ellipse and rectangle tools, outline or filled. A release ends the shape of one button, the left one
// first: after a press with both, the second release ends the right one on its own.
class OutlineTool : public DrawingTool {
 public:
  void press(ToolHost& host, GridCoord cell, Buttons held) const override { pressShape(host, cell, held); }
  void release(ToolHost& host, GridCoord cell) const override {
    if (!host.dragFlags.any()) return;
    const bool left = host.dragFlags.left;
    if (cell == host.anchor) {
      cancelShape(host, {left, !left});
      return;
    }
    const Color colour = left ? host.leftColour : host.rightColour;
    host.PushUndo();
    (left ? host.dragFlags.left : host.dragFlags.right) = false;
    // The outline is the band of the last drag step; the full repaint below shows it on the grid.
    setBandPixels(host, colour);
    if (const std::optional<GridCoord> s = seed(host.anchor, cell))
      host.editWorkingImage().floodFillSurface(s->col, s->row, colour);
    host.pointBuffer.clear();
    host.imageChanged();
    host.repaintGrid();
  }

 protected:
  // Where a filled variant fills from; none for an outline.
  virtual std::optional<GridCoord> seed(GridCoord anchor, GridCoord released) const = 0;
};

class EllipseTool final : public OutlineTool {
 public:
  explicit constexpr EllipseTool(bool filled) : filled_(filled) {}
  // With both buttons and both flags the right band replaces the left one.
  void drag(ToolHost& host, GridCoord cell, Buttons held, int, int) const override {
    bool traced = false;
    for (const auto& [runs, colour] : {std::pair{host.dragFlags.left && held.left, host.leftColour},
                                       {host.dragFlags.right && held.right, host.rightColour}})
      if (runs) {
        eraseBand(host);
        TraceEllipse(host.pointBuffer, host.workingImage(), host.anchor.col, host.anchor.row,
                     host.anchor.col - cell.col, host.anchor.row - cell.row);
        paintBand(host, colour);
        traced = true;
      }
    if (traced) host.showGrid();
  }

 private:
  std::optional<GridCoord> seed(GridCoord anchor, GridCoord) const override {
    return filled_ ? std::optional(anchor) : std::nullopt;
  }
  bool filled_;
};

class RectangleTool final : public OutlineTool {
 public:
  explicit constexpr RectangleTool(bool filled) : filled_(filled) {}
  // The band takes the colour of the buttons held, not of the flags.
  void drag(ToolHost& host, GridCoord cell, Buttons held, int, int) const override {
    if (!host.dragFlags.any() || !held.any()) return;
    eraseBand(host);
    TraceRectangle(host.pointBuffer, host.workingImage(), host.anchor.col, host.anchor.row, cell.col, cell.row);
    paintBand(host, drawingColour(held, host.leftColour, host.rightColour));
    host.showGrid();
  }

 private:
  std::optional<GridCoord> seed(GridCoord anchor, GridCoord released) const override {
    return filled_ ? filledRectangleSeed(anchor, released) : std::nullopt;
  }
  bool filled_;
};

// Selects with the left button; while a paste floats, the left button moves it and any release commits it.
class PointerTool final : public DrawingTool {
 public:
  void press(ToolHost& host, GridCoord cell, Buttons held) const override {
    if (!held.left) return;
    host.anchor = host.selectionStart = cell;
    if (host.selectionActive) {
      host.repaintGrid();
    } else {
      host.selectionActive = true;
    }
  }
  void drag(ToolHost& host, GridCoord cell, Buttons held, int x, int y) const override {
    if (!held.left) return;
    if (host.floatingPasteActive) {
      host.movePaste(x, y);
      return;
    }
    if (!host.selectionActive) return;
    eraseBand(host);
    TraceRectangle(host.pointBuffer, host.workingImage(), host.anchor.col, host.anchor.row, cell.col, cell.row);
    eachPoint(host.pointBuffer, [&](GridCoord c, Color under) {
      if (under != platform::clInvalid) host.paintCell(c, ContrastColour(under));
    });
    host.showGrid();
  }
  void release(ToolHost& host, GridCoord cell) const override {
    if (host.floatingPasteActive) {
      host.commitPaste();
      return;
    }
    if (!host.selectionActive) return;
    host.selectionEnd = cell;
    if (cell == host.selectionStart) {
      host.selectionActive = false;
      host.repaintGrid();
    } else {
      // The marquee of the last drag step stays on the grid.
      host.selectionActive = true;
    }
    host.pointBuffer.clear();
    normaliseSelection(host.selectionStart, host.selectionEnd);
  }
};

constexpr FreehandTool kFreehand;
constexpr LineTool kLine;
constexpr FillTool kFill;
constexpr PointerTool kPointer;
constexpr EllipseTool kEllipse{false}, kFilledEllipse{true};
constexpr RectangleTool kRectangle{false}, kFilledRectangle{true};

}  // namespace

namespace tools {
const DrawingTool& freehand = kFreehand;
const DrawingTool& line = kLine;
const DrawingTool& fill = kFill;
const DrawingTool& pointer = kPointer;
const DrawingTool& ellipse = kEllipse;
const DrawingTool& rectangle = kRectangle;
const DrawingTool& filledEllipse = kFilledEllipse;
const DrawingTool& filledRectangle = kFilledRectangle;
}  // namespace tools

}  // namespace pxwk
