#pragma once

#include <cstdint>
#include <vector>

#include "platform/core/Bitmap.h"

namespace platform {

// An ordered list of images of one size. Images keep their colours, not their pixel format: they are
// held in the display's format (24 bits per pixel) in one contiguous block, so a list of a quarter of a
// million tiles costs one allocation and no per-tile overhead.
class ImageList {
 public:
  ImageList(int width = 32, int height = 32);

  int width() const { return width_; }
  int height() const { return height_; }
  int count() const { return count_; }

  // Setting a different width or height empties the list; the same value keeps it.
  void setWidth(int w);
  void setHeight(int h);
  void setSize(int w, int h);
  void clear();

  // Add, Replace and Insert take the top-left width x height part of the bitmap; what the bitmap does
  // not cover is white. Replace and Delete refuse an index outside 0..count-1, Insert one outside
  // 0..count, with BitmapError "Invalid ImageList Index".
  int add(const Bitmap& image);
  void replace(int index, const Bitmap& image);
  void insert(int index, const Bitmap& image);
  void remove(int index);

  // Appends `count` tiles cut from sheet in reading order, `columns` tiles a row, each tile the list's
  // size starting at (column * width, row * height). Tile pixels outside the sheet are white.
  void appendTiles(const Bitmap& sheet, int columns, int count);
  // Appends count images left unwritten and returns the words of the first: for a reader that writes all
  // of them, row by row, before the list is used.
  std::uint32_t* appendUnwritten(int count);

  // Draws image index unscaled with its top-left corner at (x, y); an index that holds no image draws
  // nothing.
  void draw(int index, Bitmap& canvas, int x, int y) const;
  // A new 24-bit bitmap of the list's size holding image index (BitmapError for a bad index).
  Bitmap image(int index) const;
  // The words (0xFFRRGGBB) of image index, row by row; no bounds check.
  const std::uint32_t* words(int index) const {
    return data_.data() + static_cast<std::size_t>(index) * width_ * height_;
  }

 private:
  void checkIndex(int index, int limit) const;
  void store(std::uint32_t* dst, const Bitmap& image) const;

  int width_;
  int height_;
  int count_ = 0;
  detail::UnfilledVector<std::uint32_t> data_;
};

}  // namespace platform
