#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tlwk {

// The tile index a cell text names, read as every caller reads it; nothing for an empty or non-numeric
// text.
std::optional<std::int32_t> cellIndex(const std::string& text);

// Cell text after tile k was deleted: k itself becomes empty, higher indexes move down by one, so each
// cell still shows the same image. Text that is no number stays as it is.
std::string renumberForDelete(const std::string& text, std::int32_t k);
// Cell text after a tile was inserted at k: indexes of k or more move up by one.
std::string renumberForInsert(const std::string& text, std::int32_t k);

// Placing rule of a cell selection: the new text of the cell, or nothing when it stays.
std::optional<std::string> placedText(const std::string& cellText, std::int32_t selectedTile, int tileCount,
                                      bool overwrite);

// Tile sizes of the first tile and of an import.
inline constexpr int kMinTileSize = 8;
inline constexpr int kMaxTileSize = 100;
inline constexpr int kStartTileSize = 32;

// The tile-size bar's upper bound for a bitmap side: a tile never outgrows the bitmap, so at least one
// tile always fits across and down.
inline int tileSizeMaximum(int bitmapSide) { return bitmapSide < kMaxTileSize ? bitmapSide : kMaxTileSize; }
inline int tileSizeStart(int bitmapSide) { return bitmapSide < kStartTileSize ? bitmapSide : kStartTileSize; }
// How many tiles of a size fit along a bitmap side.
inline int tileCountMaximum(int bitmapSide, int tileSize) { return tileSize > 0 ? bitmapSide / tileSize : 0; }
// The count an import starts with: half the maximum, but at least one.
inline int tileCountStart(int maximum) { return maximum / 2 < 1 ? 1 : maximum / 2; }

// Work-space size that a first tile gives: 640 by 480 pixels' worth of cells.
inline int firstTileColumns(int tileWidth) { return 640 / tileWidth; }
inline int firstTileRows(int tileHeight) { return 480 / tileHeight; }

}  // namespace tlwk
