#pragma once

#include "platform/core/Bitmap.h"

namespace pxwk {

// Screen pixels from one pixel-grid cell to the next: the cell and the grid line after it.
inline int cellPitch(int cellSize) { return cellSize + 1; }

// The shown part of the grid along one axis: a pitch for each column (or row) from the first one shown to
// the last one the grid has, at most the client extent.
int shownExtent(int count, int first, int cellSize, int clientExtent);

// Paste can be chosen only for a clipboard bitmap that fits the shown part of the grid.
bool pasteFits(int bitmapWidth, int bitmapHeight, int shownWidth, int shownHeight);

// A drag of the floating paste is taken only while the pointer stays where the whole image still fits.
bool pasteDragTaken(int x, int y, int imageWidth, int imageHeight, int shownWidth, int shownHeight);

// The screen rectangle that Cut and Copy capture: from the top-left of the start cell to the bottom-right
// of the end cell, grid lines between cells included. The grid's first shown column and row place it; parts
// out of view lie outside the grid's surface.
platform::Rect captureRect(int startCol, int startRow, int endCol, int endRow, int leftCol, int topRow,
                           int cellSize);

}  // namespace pxwk
