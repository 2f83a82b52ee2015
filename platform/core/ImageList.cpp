#include "platform/core/ImageList.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/core/LargeBlocks.h"

namespace platform {

namespace {

constexpr std::uint32_t kWhiteWord = 0xFFFFFFFFu;

void checkSize(int w, int h) {
  if (w < 0 || h < 0) throw BitmapError("Image list size cannot be negative");
  if (static_cast<std::int64_t>(w) * h > kMaxBitmapPixels) throw BitmapError("Image list images are too large");
}

std::array<std::uint32_t, 256> wordsOfTable(const Bitmap& b) {
  std::array<std::uint32_t, 256> lut;
  const auto& table = b.colorTable();
  for (std::size_t i = 0; i < lut.size(); ++i) lut[i] = i < table.size() ? toWord(table[i]) : 0xFF000000u;
  return lut;
}

// Copies the row part [x, x + n) of src (already clipped to it) as words.
void copyRow(std::uint32_t* dst, const Bitmap& src, const std::array<std::uint32_t, 256>& lut, int x, int y,
             int n) {
  if (src.indexed()) {
    const std::uint8_t* s = src.indexRow(y) + x;
    for (int i = 0; i < n; ++i) dst[i] = lut[s[i]];
  } else {
    std::memcpy(dst, src.wordRow(y) + x, static_cast<std::size_t>(n) * 4);
  }
}

// Writes the width x height block of src at (sx, sy) into dst, white where src does not reach.
void cut(std::uint32_t* dst, int width, int height, const Bitmap& src,
         const std::array<std::uint32_t, 256>& lut, std::int64_t sx, std::int64_t sy) {
  const std::int64_t x0 = std::max<std::int64_t>(sx, 0);
  const std::int64_t x1 = std::min<std::int64_t>(sx + width, src.width());
  for (int row = 0; row < height; ++row, dst += width) {
    const std::int64_t y = sy + row;
    if (y < 0 || y >= src.height() || x0 >= x1) {
      std::fill(dst, dst + width, kWhiteWord);
      continue;
    }
    std::fill(dst, dst + (x0 - sx), kWhiteWord);
    copyRow(dst + (x0 - sx), src, lut, static_cast<int>(x0), static_cast<int>(y), static_cast<int>(x1 - x0));
    std::fill(dst + (x1 - sx), dst + width, kWhiteWord);
  }
}

}  // namespace

ImageList::ImageList(int width, int height) : width_(width), height_(height) { checkSize(width, height); }

void ImageList::setWidth(int w) { setSize(w, height_); }
void ImageList::setHeight(int h) { setSize(width_, h); }

void ImageList::setSize(int w, int h) {
  if (w == width_ && h == height_) return;
  checkSize(w, h);
  width_ = w;
  height_ = h;
  clear();
}

void ImageList::clear() {
  count_ = 0;
  data_.clear();
}

void ImageList::checkIndex(int index, int limit) const {
  if (index < 0 || index >= limit) throw BitmapError("Invalid ImageList Index");
}

void ImageList::store(std::uint32_t* dst, const Bitmap& image) const {
  cut(dst, width_, height_, image, wordsOfTable(image), 0, 0);
}

int ImageList::add(const Bitmap& image) {
  insert(count_, image);
  return count_ - 1;
}

void ImageList::replace(int index, const Bitmap& image) {
  checkIndex(index, count_);
  store(data_.data() + static_cast<std::size_t>(index) * width_ * height_, image);
}

void ImageList::insert(int index, const Bitmap& image) {
  checkIndex(index, count_ + 1);
  const std::size_t tile = static_cast<std::size_t>(width_) * height_;
  data_.insert(data_.begin() + static_cast<std::ptrdiff_t>(index * tile), tile, 0u);
  ++count_;
  store(data_.data() + index * tile, image);
}

void ImageList::remove(int index) {
  checkIndex(index, count_);
  const std::size_t tile = static_cast<std::size_t>(width_) * height_;
  const auto at = data_.begin() + static_cast<std::ptrdiff_t>(index * tile);
  data_.erase(at, at + static_cast<std::ptrdiff_t>(tile));
  --count_;
}

std::uint32_t* ImageList::appendUnwritten(int count) {
  const std::size_t tile = static_cast<std::size_t>(width_) * height_;
  const std::size_t first = static_cast<std::size_t>(count_) * tile;
  if (count <= 0) return data_.data() + first;
  detail::reserveLarge(data_, first + static_cast<std::size_t>(count) * tile);
  data_.resize(first + static_cast<std::size_t>(count) * tile);
  count_ += count;
  return data_.data() + first;
}

void ImageList::appendTiles(const Bitmap& sheet, int columns, int count) {
  if (count <= 0) return;
  if (columns < 1) throw BitmapError("A tile sheet needs at least one column");
  const std::size_t tile = static_cast<std::size_t>(width_) * height_;
  const auto lut = wordsOfTable(sheet);
  std::uint32_t* dst = appendUnwritten(count);
  for (int t = 0; t < count; ++t, dst += tile) {
    const std::int64_t sx = static_cast<std::int64_t>(t % columns) * width_;
    const std::int64_t sy = static_cast<std::int64_t>(t / columns) * height_;
    // A tile wholly inside an indexed sheet, as every tile of an import is: rows of table lookups alone,
    // since the checks of a general cut cost as much as the copy of 8 pixels.
    // The size is read once: stores through dst could otherwise alias it.
    const int w = width_, h = height_;
    if (sheet.indexed() && sx + w <= sheet.width() && sy + h <= sheet.height()) {
      std::uint32_t* out = dst;
      for (int row = 0; row < h; ++row, out += w) {
        const std::uint8_t* in = sheet.indexRow(static_cast<int>(sy) + row) + sx;
        for (int x = 0; x < w; ++x) out[x] = lut[in[x]];
      }
      continue;
    }
    cut(dst, width_, height_, sheet, lut, sx, sy);
  }
}

void ImageList::draw(int index, Bitmap& canvas, int x, int y) const {
  if (index < 0 || index >= count_) return;
  canvas.drawWords(x, y, words(index), width_, height_);
}

Bitmap ImageList::image(int index) const {
  checkIndex(index, count_);
  Bitmap b(width_, height_, PixelFormat::pf24bit);
  if (height_ > 0 && width_ > 0)
    std::memcpy(b.wordRow(0), words(index), static_cast<std::size_t>(width_) * height_ * 4);
  return b;
}

}  // namespace platform
