#pragma once

#include <string>
#include <vector>

#include "platform/core/Bitmap.h"
#include "platform/core/Color.h"

namespace pxwk {

// a when flag is set, else b.
int PickInt(bool flag, int a, int b);

// A colour that stands out against c: each of red, green and blue becomes 0 when it is 128 or more, else
// 255.
platform::Color ContrastColour(platform::Color c);

// Screen pixels of one pixel-grid cell at each zoom level; only x1 shows every cell without scroll bars.
inline constexpr int kZoomCellSizes[] = {4, 8, 16, 32};
inline bool zoomHasScrollBars(int cellSize) { return cellSize != kZoomCellSizes[0]; }

// Width (or height) of the pixel grid for a number of columns (or rows) at a cell size: one cell and one
// line more than the cells need.
inline int gridExtent(int count, int cellSize) { return (count + 1) * (cellSize + 1); }

// The palette grid: 8 columns by 32 rows, cell (c, r) shows palette entry r * 8 + c.
inline constexpr int kPaletteColumns = 8;
inline constexpr int kPaletteRows = 32;
inline constexpr int kPaletteEntries = kPaletteColumns * kPaletteRows;
inline int paletteIndex(int col, int row) { return row * kPaletteColumns + col; }
inline bool isPaletteCell(int col, int row) {
  return col >= 0 && row >= 0 && col < kPaletteColumns && row < kPaletteRows;
}

// The marks of a palette cell: "F" (left colour), "B" (right colour), "FB" (both) or none.
std::string withF(const std::string& mark);
std::string withoutF(const std::string& mark);
std::string withB(const std::string& mark);
std::string withoutB(const std::string& mark);

struct MarkLetters {
  bool f = false, b = false;
};
// The letters a cell with this text shows.
MarkLetters lettersOf(const std::string& mark);

// Gives a loaded bitmap the editor palette without changing its size or pixel format. 8 bits: the palette
// becomes its colour table and every pixel takes the nearest of its colours. More bits: the pixels stay and
// the bitmap carries the palette. Fewer bits: a table of 2 or 16 entries cannot hold the palette, so the
// bitmap keeps its own table and pixels, and drawing on it stores the nearest of its own colours.
void giveEditorPalette(platform::Bitmap& bitmap, const std::vector<platform::Color>& palette);

// The editor works on the file named by exactly one argument; any other count starts it on its own.
inline bool tileModeFor(const std::vector<std::string>& arguments) { return arguments.size() == 1; }

}  // namespace pxwk
