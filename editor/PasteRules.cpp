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
  // The corners are put in order only when a selection ends; a command during the press may see them
  // either way round.
  const int pitch = cellPitch(cellSize);
  const int left = std::min(startCol, endCol), right = std::max(startCol, endCol);
  const int top = std::min(startRow, endRow), bottom = std::max(startRow, endRow);
  return platform::Rect{(left - leftCol) * pitch, (top - topRow) * pitch, (right - leftCol) * pitch + cellSize,
                        (bottom - topRow) * pitch + cellSize};
}

}  // namespace pxwk
