#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/controls/Grid.h"
#include "platform/core/CellTexts.h"

namespace platform {

// A grid whose cells hold texts, painted by the grid before OnDrawCell.
class StringGrid : public CustomGrid {
 public:
  explicit StringGrid(Container& parent);

  std::string cell(int col, int row) const;
  // Setting a text repaints that cell.
  void setCell(int col, int row, const std::string& text);
  void clearCells();
  // Sets both counts and every cell text at once, cell i (row by row) to textOf(i), and repaints once.
  void setCells(int cols, int rows, const std::function<std::string(int)>& textOf);

 protected:
  void paintContents(int firstCol, int lastCol, int firstRow, int lastRow) override;
  void countsChanged(int oldCols, int oldRows) override;

 private:
  CellTexts cells_;
};

}  // namespace platform
