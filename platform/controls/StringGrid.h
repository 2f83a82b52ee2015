#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/bitmap/Bitmap.h"
#include "platform/controls/Control.h"

namespace platform {

class GridWidget;

enum class MouseButton { Left, Right, Middle };

struct ShiftState {
  bool shift = false, ctrl = false, alt = false;
  bool left = false, right = false, middle = false;
  bool doubleClick = false;
};

// A grid of cells of one default size without fixed rows or columns. It paints its background, grid
// lines and cell texts itself, then raises OnDrawCell for each visible cell. What anyone draws on its
// canvas (the surface image of the visible area) shows at once and stays until the next repaint.
class StringGrid : public Control {
 public:
  explicit StringGrid(Container& parent);

  void setColCount(int count);
  int colCount() const { return cols_; }
  void setRowCount(int count);
  int rowCount() const { return rows_; }
  void setDefaultColWidth(int width);
  int defaultColWidth() const { return colWidth_; }
  void setDefaultRowHeight(int height);
  int defaultRowHeight() const { return rowHeight_; }
  void setGridLineWidth(int width);
  int gridLineWidth() const { return lineWidth_; }
  void setColor(Color color);
  Color color() const { return color_; }
  void setScrollBars(bool horizontal, bool vertical);

  const std::string& cell(int col, int row) const;
  // Setting a text repaints that cell.
  void setCell(int col, int row, const std::string& text);
  void clearCells();

  // The current cell. setCurrent raises OnSelectCell first; the cell changes when it allows.
  int col() const { return col_; }
  int row() const { return row_; }
  void setCurrent(int col, int row);

  int leftCol() const { return leftCol_; }
  int topRow() const { return topRow_; }
  void scrollTo(int leftCol, int topRow);
  int visibleColCount() const;
  int visibleRowCount() const;

  // Rectangle of a cell on the canvas, grid lines excluded; empty when the cell is out of view.
  Rect cellRect(int col, int row) const;
  // Cell under a point of the grid's client area; false when there is none.
  bool mouseToCell(int x, int y, int& col, int& row) const;

  int clientLeft() const override;
  int clientTop() const override;

  Bitmap& canvas() { return surface_; }
  // Full repaint: background, lines, texts, then OnDrawCell for each visible cell.
  void repaint() override;
  // Repaints one cell the same way.
  void repaintCell(int col, int row);
  // Shows what was drawn on the canvas.
  void flush();
  void drawFocusRect(const Rect& r);

  std::function<void(int col, int row, const Rect& rect)> OnDrawCell;
  std::function<void(int col, int row, bool& canSelect)> OnSelectCell;
  std::function<void(MouseButton, ShiftState, int x, int y)> OnMouseDown;
  std::function<void(ShiftState, int x, int y)> OnMouseMove;
  std::function<void(MouseButton, ShiftState, int x, int y)> OnMouseUp;

 protected:
  void boundsChanged() override;

 private:
  friend class GridWidget;
  void resizeSurface();
  void paintCellBase(int col, int row);
  void paintTexts(int firstCol, int lastCol, int firstRow, int lastRow);
  void updateScrollBars();
  void mousePressed(MouseButton b, ShiftState s, int x, int y);
  void mouseMoved(ShiftState s, int x, int y);
  void mouseReleased(MouseButton b, ShiftState s, int x, int y);
  void keyPressed(int key);
  void wheel(int steps);
  void selectCell(int col, int row);
  void ensureVisible(int col, int row);

  GridWidget* grid_;
  Bitmap surface_;
  std::vector<std::string> cells_;
  int cols_ = 5, rows_ = 5;
  int colWidth_ = 64, rowHeight_ = 24;
  int lineWidth_ = 1;
  Color color_ = rgb(255, 255, 255);
  bool hScroll_ = true, vScroll_ = true;
  int col_ = 0, row_ = 0;
  int leftCol_ = 0, topRow_ = 0;
  bool leftDown_ = false;
  bool painting_ = false;
};

}  // namespace platform
