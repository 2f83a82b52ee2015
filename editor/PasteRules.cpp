#include "editor/PasteRules.h"

#include <algorithm>

namespace pxwk {

int shownExtent(int count, int first, int cellSize, int clientExtent) {
  return std::clamp((count - first) * cellPitch(cellSize), 0, std::max(0, clientExtent));
}

bool pasteFits(int bitmapWidth, int bitmapHeight, int shownWidth, int shownHeight) {
  return bitmapWidth <= shownWidth && bitmapHeight <= shownHeight;
}

bool pasteDragTaken(int x, int y, int imageWidth, int imageHeight, int shownWidth, int shownHeight) {
  return x > 0 && x <= shownWidth - imageWidth && y > 0 && y <= shownHeight - imageHeight;
}

platform::Rect captureRect(int startCol, int startRow, int endCol, int endRow, int leftCol, int topRow,
                           int cellSize) {
  const int pitch = cellPitch(cellSize);
  return platform::Rect{(startCol - leftCol) * pitch, (startRow - topRow) * pitch,
                        (endCol - leftCol) * pitch + cellSize, (endRow - topRow) * pitch + cellSize};
}

}  // namespace pxwk
