#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/core/Color.h"
#include "platform/core/LargeBlocks.h"

namespace platform {

// 15-bit is 16 bits per pixel with 5-5-5 channels, 16-bit is 5-6-5.
enum class PixelFormat { pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

int bitsPerPixelOf(PixelFormat f);
bool isIndexed(PixelFormat f);

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom are exclusive
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
};

class BitmapError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Largest bitmap the platform creates or reads, in pixels.
inline constexpr std::int64_t kMaxBitmapPixels = std::int64_t{1} << 28;

// A device-independent bitmap. Indexed formats keep one byte per pixel (the index) and a colour table;
// direct formats keep one 0xFFRRGGBB word per pixel, quantised to the format's channel depth, so that what
// is read back is what a file of that format would hold. Every drawing operation is clipped to the bitmap.
class Bitmap {
 public:
  Bitmap();  // 0 x 0, 24 bits per pixel
  // A new bitmap is white. Indexed formats start with the format's default table (1 bit: black and
  // white; 4 bits: the 16 standard colours; 8 bits: the 3-3-2 colour cube). Throws BitmapError for a
  // negative size or more than kMaxBitmapPixels pixels.
  Bitmap(int width, int height, PixelFormat format = PixelFormat::pf24bit);
  // The same, but its pixels are left as the memory holds them: for a reader about to write every one.
  struct Unfilled {};
  Bitmap(int width, int height, PixelFormat format, Unfilled);
  Bitmap(const Bitmap& other);
  Bitmap& operator=(const Bitmap& other);
  Bitmap(Bitmap&&) noexcept = default;
  Bitmap& operator=(Bitmap&&) noexcept = default;

  int width() const { return width_; }
  int height() const { return height_; }
  PixelFormat pixelFormat() const { return format_; }
  int bitsPerPixel() const { return bitsPerPixelOf(format_); }
  bool indexed() const { return isIndexed(format_); }
  bool empty() const { return width_ == 0 || height_ == 0; }

  // Colour table of an indexed bitmap (at most 2^bits entries; it may be shorter). Direct bitmaps carry
  // a table too when one is given (a "palette" for display), but their pixels never use it.
  const std::vector<Color>& colorTable() const { return table_; }
  // Replaces the table; pixel indexes stay as they are. Throws when the table is longer than the format
  // allows.
  void setColorTable(std::vector<Color> table);

  // GetPixel: the colour at (x, y); clInvalid outside the bitmap. An index past the colour table reads
  // as black.
  Color pixel(int x, int y) const;
  // SetPixel: stores the nearest colour the format holds (nearest table entry by squared RGB distance,
  // first entry on ties, for indexed bitmaps). Ignored outside the bitmap.
  void setPixel(int x, int y, Color c);
  // Nearest table entry for c (0 when the table is empty).
  int nearestIndex(Color c) const;

  // Raw access. Index rows exist only for indexed bitmaps, word rows only for direct ones.
  std::uint8_t index(int x, int y) const { return idx_[static_cast<std::size_t>(y) * width_ + x]; }
  void setIndex(int x, int y, std::uint8_t i) { idx_[static_cast<std::size_t>(y) * width_ + x] = i; }
  std::uint8_t* indexRow(int y) { return idx_.data() + static_cast<std::size_t>(y) * width_; }
  const std::uint8_t* indexRow(int y) const { return idx_.data() + static_cast<std::size_t>(y) * width_; }
  std::uint32_t* wordRow(int y) { return words_.data() + static_cast<std::size_t>(y) * width_; }
  const std::uint32_t* wordRow(int y) const { return words_.data() + static_cast<std::size_t>(y) * width_; }
  // Word (0xFFRRGGBB) of a pixel in any format, without clipping checks.
  std::uint32_t wordAt(int x, int y) const;

  // Fills r (clipped) with the nearest colour to c.
  void fillRect(const Rect& r, Color c);
  // Every row of r takes the pixels that r's first row holds: a band of equal rows is drawn once.
  void repeatFirstRow(const Rect& r);
  // Draws src unscaled with its top-left corner at (x, y), colour by colour (exactly as copyRect does).
  void draw(int x, int y, const Bitmap& src);
  // Copies srcRect of src into dstRect of this bitmap, stretching (nearest neighbour) when the sizes
  // differ. Copies of the same size between bitmaps of one format (and, for indexed formats, one colour
  // table) copy pixel values exactly. Source points outside src leave the destination as it is.
  void copyRect(const Rect& dstRect, const Bitmap& src, const Rect& srcRect);
  // Draws w x h words (0xFFRRGGBB, row by row) unscaled with their top-left corner at (x, y), colour by
  // colour, as draw does with a 24-bit bitmap of them.
  void drawWords(int x, int y, const std::uint32_t* words, int w, int h);

  // Changes the size; the overlapping top-left part is kept, new pixels are white; format and colour
  // table stay.
  void resize(int width, int height);
  // Becomes a new bitmap of the given size in its own format, as Bitmap(width, height, format) makes one,
  // in the storage it holds where that is large enough: a surface sized again and again while a window is
  // laid out does not fault in fresh memory each time.
  void renew(int width, int height);
  // Converts to another format, colour by colour; a new indexed format gets its default table unless
  // the old table fits.
  void setPixelFormat(PixelFormat format);

  // Pen for line drawing: moveTo sets the pen position; lineTo draws from it to (x, y) with colour c,
  // leaving out the end pixel, and moves the pen there.
  void moveTo(int x, int y) {
    penX_ = x;
    penY_ = y;
  }
  void lineTo(int x, int y, Color c);
  int penX() const { return penX_; }
  int penY() const { return penY_; }

  // Surface flood fill: repaints with c every pixel 4-connected to (x, y) whose colour equals the colour
  // of (x, y). Iterative, so any area fills without deep recursion. Nothing happens outside the bitmap.
  void floodFillSurface(int x, int y, Color c);

  bool operator==(const Bitmap& o) const;

 private:
  void setSize(int width, int height);  // pixels left unwritten
  void fillWhite();
  int width_ = 0;
  int height_ = 0;
  PixelFormat format_ = PixelFormat::pf24bit;
  std::vector<Color> table_;
  detail::UnfilledVector<std::uint8_t> idx_;     // indexed formats
  detail::UnfilledVector<std::uint32_t> words_;  // direct formats
  int penX_ = 0;
  int penY_ = 0;
  struct NearestCache;
  // Nearest-colour answers for the current table; copies share it, a new table drops it.
  mutable std::shared_ptr<NearestCache> nearest_;
};

// The 5-bit channels of 15 and 16 bits per pixel (quantiseWord's uncommon case).
std::uint32_t quantiseNarrowWord(std::uint32_t word, PixelFormat format);

// Quantises a colour to what a direct format holds (identity for 24 and 32 bits). Inline, since drawing
// takes it once per pixel and nearly always for 24 or 32 bits.
inline std::uint32_t quantiseWord(std::uint32_t word, PixelFormat format) {
  if (format == PixelFormat::pf15bit || format == PixelFormat::pf16bit) return quantiseNarrowWord(word, format);
  return 0xFF000000u | (word & 0xFFFFFFu);
}

// The default colour table of an indexed format.
std::vector<Color> defaultColorTable(PixelFormat format);

// The 3-3-2 colour cube: entry i has red level i mod 8, green level (i div 8) mod 8, blue level i div 64.
std::vector<Color> palette332();

}  // namespace platform
