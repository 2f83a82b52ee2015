#pragma once

#include <functional>
#include <string>

#include "platform/controls/Control.h"
#include "platform/core/Bitmap.h"

namespace platform {

class GridWidget;

enum class MouseButton { Left, Right, Middle };

struct ShiftState {
  bool shift = false, ctrl = false, alt = false;
  bool left = false, right = false, middle = false;
  bool doubleClick = false;
};

// A cell position; (-1, -1) names no cell.
struct GridCoord {
  int col = -1, row = -1;
  bool operator==(const GridCoord&) const = default;
};

// A grid of cells of one default size without fixed rows or columns. It paints its background, grid
// lines and contents itself, then raises OnDrawCell for each visible cell. What anyone draws on its
// canvas (the surface image of the visible area) shows at once and stays until the next repaint. From a
// press until its release the grid holds the mouse: moves and the release arrive also from outside it.
// While it has the focus, the grid frames its current cell on screen with one dotted focus rectangle,
// drawn over the canvas and never into it: what the program reads back from the canvas is its own.
class CustomGrid : public Control {
 public:
  explicit CustomGrid(Container& parent);

  void setColCount(int count);
  int colCount() const { return cols_; }
  void setRowCount(int count);
  int rowCount() const { return rows_; }
  // Both counts at once: one change of the cells, one repaint.
  void setCounts(int cols, int rows);
  void setDefaultColWidth(int width);
  int defaultColWidth() const { return colWidth_; }
  void setDefaultRowHeight(int height);
  int defaultRowHeight() const { return rowHeight_; }
  void setGridLineWidth(int width);
  int gridLineWidth() const { return lineWidth_; }
  void setColor(Color color);
  Color color() const { return color_; }
  // The scroll bars the grid may show; each shows only while cells lie outside the view along its axis.
  void setScrollBars(bool horizontal, bool vertical);
  bool horizontalScrollBar() const { return hScroll_; }
  bool verticalScrollBar() const { return vScroll_; }
  bool horizontalScrollBarShown() const;
  bool verticalScrollBarShown() const;
  // A flat grid has a single line of 1 pixel as its border in place of the sunken one of 2.
  void setFlat(bool flat);
  bool flat() const { return border_ == 1; }

  // The current cell. setCurrent raises OnSelectCell first; the cell changes when it allows.
  int col() const { return col_; }
  int row() const { return row_; }
  void setCurrent(int col, int row);
  // A left press or drag makes the cell under the pointer current and, after OnMouseDown or OnMouseMove,
  // scrolls it into view; without this the view stays where it is and only the scroll bars move it.
  void setMouseScrollsIntoView(bool scrolls) { mouseScrolls_ = scrolls; }

  int leftCol() const { return leftCol_; }
  int topRow() const { return topRow_; }
  void scrollTo(int leftCol, int topRow);
  int visibleColCount() const;
  int visibleRowCount() const;

  // Rectangle of a cell on the canvas, grid lines excluded; empty when the cell is out of view or lies
  // where the grid's parent cuts it off.
  Rect cellRect(int col, int row) const;
  // Cell under a point of the grid's client area; false when there is none.
  bool mouseToCell(int x, int y, int& col, int& row) const;
  // The same as a position: (-1, -1) in no cell (the margin past the last cell, or outside the grid).
  GridCoord mouseCoord(int x, int y) const;

  int clientLeft() const override { return border_; }
  int clientTop() const override { return border_; }
  // The client area inside the border and the shown scroll bars, also where the grid's parent cuts it off.
  int viewWidth() const { return viewW_; }
  int viewHeight() const { return viewH_; }

  // The drawing surface covers the part of the client area that can be seen inside the parent: memory
  // follows the screen, not the count and size of the cells.
  Bitmap& canvas() { return surface_; }
  const Bitmap& canvas() const { return surface_; }
  // Full repaint: background, lines, contents, then OnDrawCell for each visible cell.
  void repaint() override;
  // Repaints one cell the same way.
  void repaintCell(int col, int row);
  // Fills a cell's rectangle with a colour at once; nothing happens where the rectangle is empty.
  void fillCell(int col, int row, Color color);
  // Writes a text on the canvas in the grid's font, its top-left corner at (x, y).
  void textOut(int x, int y, const std::string& text, Color color);
  // Shows what was drawn on the canvas.
  void flush();
  // An inverted dotted outline on the canvas. Around the current cell it is the grid's own focus
  // rectangle, already shown while the grid has the focus: drawing it again neither doubles nor erases it.
  void drawFocusRect(const Rect& r);

  std::function<void(int col, int row, const Rect& rect)> OnDrawCell;
  std::function<void(int col, int row, bool& canSelect)> OnSelectCell;
  std::function<void(MouseButton, ShiftState, int x, int y)> OnMouseDown;
  std::function<void(ShiftState, int x, int y)> OnMouseMove;
  std::function<void(MouseButton, ShiftState, int x, int y)> OnMouseUp;

 protected:
  void boundsChanged() override;
  // What a kind of grid paints in its cells before OnDrawCell (a string grid's texts).
  virtual void paintContents(int firstCol, int lastCol, int firstRow, int lastRow);
  // Runs before the repaint that follows a change of the column or row count.
  virtual void countsChanged(int oldCols, int oldRows);
  void paintCellBase(int col, int row);

 private:
  friend class GridWidget;
  void resizeSurface();
  // Decides the scroll bars, places them, sizes the surface and sets the bars' ranges; true when the
  // surface changed size (and so needs a repaint).
  bool updateView();
  void mousePressed(MouseButton b, ShiftState s, int x, int y);
  void mouseMoved(ShiftState s, int x, int y);
  void mouseReleased(MouseButton b, ShiftState s, int x, int y);
  void keyPressed(int key);
  void wheel(int angleDelta);
  // True when the cell became current; scroll brings it into view at once.
  bool selectCell(int col, int row, bool scroll = true);
  void ensureVisible(int col, int row);

  GridWidget* grid_;
  Bitmap surface_;
  int cols_ = 5, rows_ = 5;
  int colWidth_ = 64, rowHeight_ = 24;
  int lineWidth_ = 1;
  int border_ = 2;
  Color color_ = rgb(255, 255, 255);
  bool hScroll_ = true, vScroll_ = true;
  int col_ = 0, row_ = 0;
  int leftCol_ = 0, topRow_ = 0;
  int viewW_ = 0, viewH_ = 0;  // the client area inside border and scroll bars
  int wheelDelta_ = 0;         // what the wheel turned short of a whole notch
  bool leftDown_ = false;
  bool painting_ = false;
  bool mouseScrolls_ = true;
};

// A grid whose cells show only what the program draws in them.
class DrawGrid : public CustomGrid {
 public:
  using CustomGrid::CustomGrid;
};

}  // namespace platform
