#pragma once

#include <vector>

#include "platform/core/Bitmap.h"
#include "tests/support/Input.h"
#include "tests/workspace/WorkspaceFixture.h"

// A workspace with tiles added through the Add command, each tile one flat colour of its own.
class TilesTest : public WorkspaceTest {
 protected:
  static platform::Color tileColor(int i) { return platform::palette332()[(i * 37 + 9) % 256]; }

  std::string tileFile(int i, int size = 32) {
    return bitmapFile("tile" + std::to_string(i) + "_" + std::to_string(size) + ".bmp", size, size,
                      platform::PixelFormat::pf8bit, tileColor(i));
  }

  void addTiles(int count, int size = 32) {
    for (int i = frm->imagelist1.count(); i < count; ++i) {
      ui.answerFile(tileFile(i, size));
      frm->mnuTiles_Add.click();
    }
    ASSERT_EQ(frm->imagelist1.count(), count);
  }

  void selectTile(int index) { frm->grdImageList.setCurrent(index, 0); }

  // What the work space shows at the top-left pixel of a cell.
  platform::Color shown(int col, int row) {
    const platform::Rect r = frm->grdImage.cellRect(col, row);
    return frm->grdImage.canvas().pixel(r.left + 1, r.top + 1);
  }

  // The columns of the first row that the screen shows framed by the grid's focus rectangle.
  static std::vector<int> framed(platform::CustomGrid& grid) {
    std::vector<int> cols;
    for (const platform::GridCoord& g : platform::framedCells(grid)) cols.push_back(g.row == 0 ? g.col : -1);
    return cols;
  }

  void setCells(const std::vector<std::string>& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) frm->grdImage.setCell(static_cast<int>(i), 0, texts[i]);
  }
  std::vector<std::string> cells(int n) const {
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) out.push_back(frm->grdImage.cell(i, 0));
    return out;
  }
};
