#pragma once

#include <string>
#include <vector>

#include "platform/controls/Grid.h"

namespace platform {

// A grid whose cells hold texts, painted by the grid before OnDrawCell.
class StringGrid : public CustomGrid {
 public:
  explicit StringGrid(Container& parent);

  const std::string& cell(int col, int row) const;
  // Setting a text repaints that cell.
  void setCell(int col, int row, const std::string& text);
  void clearCells();

 protected:
  void paintContents(int firstCol, int lastCol, int firstRow, int lastRow) override;
  void countsChanged(int oldCols, int oldRows) override;

 private:
  std::vector<std::string> cells_;
};

}  // namespace platform
