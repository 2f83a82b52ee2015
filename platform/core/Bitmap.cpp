#include "platform/core/Bitmap.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/core/LargeBlocks.h"

namespace platform {

namespace {

constexpr std::uint32_t kWhiteWord = 0xFFFFFFFFu;
constexpr std::uint32_t kBlackWord = 0xFF000000u;

// Widening by bit replication, so that narrowing again (v >> (8 - n)) gives back the same channel value.
constexpr std::uint32_t widen5(std::uint32_t v) { return (v << 3) | (v >> 2); }
constexpr std::uint32_t widen6(std::uint32_t v) { return (v << 2) | (v >> 4); }

std::size_t tableLimit(PixelFormat f) { return isIndexed(f) ? std::size_t{1} << bitsPerPixelOf(f) : 256; }

int distance2(Color a, Color b) {
  const int dr = redOf(a) - redOf(b);
  const int dg = greenOf(a) - greenOf(b);
  const int db = blueOf(a) - blueOf(b);
  return dr * dr + dg * dg + db * db;
}

int nearestIn(const std::vector<Color>& table, Color c) {
  int best = 0;
  int bestDistance = 0x7FFFFFFF;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const int d = distance2(table[i], c);
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<int>(i);
      if (d == 0) break;
    }
  }
  return best;
}

// Maps colours to a bitmap's stored values (indexed bitmaps answer from their own nearest-colour cache).
class StoreMapper {
 public:
  explicit StoreMapper(const Bitmap& dst) : dst_(dst) {}

  std::uint32_t fromWord(std::uint32_t word) {
    if (!dst_.indexed()) return quantiseWord(word, dst_.pixelFormat());
    return static_cast<std::uint32_t>(dst_.nearestIndex(platform::fromWord(word)));
  }

 private:
  const Bitmap& dst_;
};

// Stored values of dst for every index of an indexed src.
std::array<std::uint32_t, 256> indexLookup(const Bitmap& src, StoreMapper& mapper) {
  std::array<std::uint32_t, 256> lut{};
  const auto& table = src.colorTable();
  for (std::size_t i = 0; i < lut.size(); ++i) {
    lut[i] = mapper.fromWord(i < table.size() ? toWord(table[i]) : kBlackWord);
  }
  return lut;
}

template <typename T, typename Match>
void scanlineFill(T* pixels, int width, int height, int x0, int y0, T value, Match match) {
  std::vector<std::pair<int, int>> stack;
  stack.emplace_back(x0, y0);
  while (!stack.empty()) {
    const auto [sx, sy] = stack.back();
    stack.pop_back();
    T* row = pixels + static_cast<std::size_t>(sy) * width;
    if (!match(row[sx])) continue;
    int left = sx;
    while (left > 0 && match(row[left - 1])) --left;
    int right = sx;
    while (right + 1 < width && match(row[right + 1])) ++right;
    std::fill(row + left, row + right + 1, value);
    for (const int ny : {sy - 1, sy + 1}) {
      if (ny < 0 || ny >= height) continue;
      const T* next = pixels + static_cast<std::size_t>(ny) * width;
      bool inRun = false;
      for (int x = left; x <= right; ++x) {
        const bool m = match(next[x]);
        if (m && !inRun) stack.emplace_back(x, ny);
        inRun = m;
      }
    }
  }
}

}  // namespace

int bitsPerPixelOf(PixelFormat f) {
  switch (f) {
    case PixelFormat::pf1bit:
      return 1;
    case PixelFormat::pf4bit:
      return 4;
    case PixelFormat::pf8bit:
      return 8;
    case PixelFormat::pf15bit:
    case PixelFormat::pf16bit:
      return 16;
    case PixelFormat::pf24bit:
      return 24;
    case PixelFormat::pf32bit:
      return 32;
  }
  return 24;
}

bool isIndexed(PixelFormat f) {
  return f == PixelFormat::pf1bit || f == PixelFormat::pf4bit || f == PixelFormat::pf8bit;
}

std::uint32_t quantiseNarrowWord(std::uint32_t word, PixelFormat format) {
  const std::uint32_t r = (word >> 16) & 0xFF, g = (word >> 8) & 0xFF, b = word & 0xFF;
  switch (format) {
    case PixelFormat::pf15bit:
      return 0xFF000000u | (widen5(r >> 3) << 16) | (widen5(g >> 3) << 8) | widen5(b >> 3);
    case PixelFormat::pf16bit:
      return 0xFF000000u | (widen5(r >> 3) << 16) | (widen6(g >> 2) << 8) | widen5(b >> 3);
    default:
      return 0xFF000000u | (word & 0xFFFFFFu);
  }
}

std::vector<Color> palette332() {
  static constexpr int kRedGreen[8] = {0, 36, 72, 108, 144, 180, 216, 255};
  static constexpr int kBlue[4] = {0, 85, 170, 255};
  std::vector<Color> table(256);
  for (int i = 0; i < 256; ++i) table[i] = rgb(kRedGreen[i % 8], kRedGreen[(i / 8) % 8], kBlue[i / 64]);
  return table;
}

std::vector<Color> defaultColorTable(PixelFormat format) {
  switch (format) {
    case PixelFormat::pf1bit:
      return {clBlack, clWhite};
    case PixelFormat::pf4bit:
      return {rgb(0, 0, 0),       rgb(128, 0, 0),   rgb(0, 128, 0),   rgb(128, 128, 0),
              rgb(0, 0, 128),     rgb(128, 0, 128), rgb(0, 128, 128), rgb(192, 192, 192),
              rgb(128, 128, 128), rgb(255, 0, 0),   rgb(0, 255, 0),   rgb(255, 255, 0),
              rgb(0, 0, 255),     rgb(255, 0, 255), rgb(0, 255, 255), rgb(255, 255, 255)};
    case PixelFormat::pf8bit:
      return palette332();
    default:
      return {};
  }
}

Bitmap::Bitmap() = default;

Bitmap::Bitmap(int width, int height, PixelFormat format) : Bitmap(width, height, format, Unfilled{}) {
  fillWhite();
}

Bitmap::Bitmap(int width, int height, PixelFormat format, Unfilled) : format_(format) {
  setSize(width, height);
}

Bitmap::Bitmap(const Bitmap& other)
    : width_(other.width_),
      height_(other.height_),
      format_(other.format_),
      table_(other.table_),
      penX_(other.penX_),
      penY_(other.penY_),
      nearest_(other.nearest_) {
  detail::copyBlock(idx_, other.idx_);
  detail::copyBlock(words_, other.words_);
}

Bitmap& Bitmap::operator=(const Bitmap& other) {
  if (this == &other) return *this;
  table_ = other.table_;
  detail::copyBlock(idx_, other.idx_);
  detail::copyBlock(words_, other.words_);
  width_ = other.width_;
  height_ = other.height_;
  format_ = other.format_;
  penX_ = other.penX_;
  penY_ = other.penY_;
  nearest_ = other.nearest_;
  return *this;
}

void Bitmap::setSize(int width, int height) {
  if (width < 0 || height < 0) throw BitmapError("Bitmap size cannot be negative");
  if (static_cast<std::int64_t>(width) * height > kMaxBitmapPixels) throw BitmapError("Bitmap is too large");
  width_ = width;
  height_ = height;
  const std::size_t n = static_cast<std::size_t>(width) * height;
  if (indexed()) {
    table_ = defaultColorTable(format_);
    nearest_.reset();
    detail::reserveLarge(idx_, n);
    idx_.resize(n);
  } else {
    detail::reserveLarge(words_, n);
    words_.resize(n);
  }
}

void Bitmap::fillWhite() {
  if (indexed()) {
    std::fill(idx_.begin(), idx_.end(), static_cast<std::uint8_t>(nearestIndex(clWhite)));
  } else {
    std::fill(words_.begin(), words_.end(), kWhiteWord);
  }
}

void Bitmap::renew(int width, int height) {
  setSize(width, height);
  fillWhite();
  penX_ = penY_ = 0;
}

void Bitmap::setColorTable(std::vector<Color> table) {
  if (table.size() > tableLimit(format_)) {
    throw BitmapError("Colour table of " + std::to_string(table.size()) + " entries is too long for " +
                      std::to_string(bitsPerPixel()) + " bits per pixel");
  }
  table_ = std::move(table);
  nearest_.reset();
}

// Converting whole images repeats the same few colours, so a small direct-mapped cache keeps the search
// over the table rare.
struct Bitmap::NearestCache {
  static constexpr std::size_t kSlots = 4096;
  std::array<std::uint32_t, kSlots> keys{};  // words keep their 0xFF alpha byte: 0 marks an empty slot
  std::array<std::uint8_t, kSlots> values{};
  bool cube332 = false;  // the table is the 3-3-2 cube, whose own colours need no search
};

namespace {

// Channel value to its 3-3-2 level, or -1 for a value that is no level: red and green (8 levels), blue (4).
struct CubeLevels {
  std::array<std::int8_t, 256> redGreen, blue;
  CubeLevels() {
    redGreen.fill(-1);
    blue.fill(-1);
    const auto cube = palette332();
    for (int i = 0; i < 8; ++i) redGreen[redOf(cube[i])] = static_cast<std::int8_t>(i);
    for (int i = 0; i < 4; ++i) blue[blueOf(cube[i * 64])] = static_cast<std::int8_t>(i);
  }
};
const CubeLevels kCubeLevels;

// The cube entry of a word whose colour is one of the cube's own, or -1.
inline int cubeEntry(std::uint32_t word) {
  const int r = kCubeLevels.redGreen[(word >> 16) & 0xFF], g = kCubeLevels.redGreen[(word >> 8) & 0xFF],
            b = kCubeLevels.blue[word & 0xFF];
  return (r | g | b) >= 0 ? r + 8 * g + 64 * b : -1;
}

}  // namespace

int Bitmap::nearestIndex(Color c) const {
  if (!nearest_) {
    nearest_ = std::make_shared<NearestCache>();
    nearest_->cube332 = table_ == palette332();
  }
  const std::uint32_t word = toWord(c);
  if (nearest_->cube332) {
    if (const int i = cubeEntry(word); i >= 0) return i;
  }
  const std::size_t slot = ((word * 0x9E3779B1u) >> 20) & (NearestCache::kSlots - 1);
  if (nearest_->keys[slot] != word) {
    nearest_->keys[slot] = word;
    nearest_->values[slot] = static_cast<std::uint8_t>(nearestIn(table_, c));
  }
  return nearest_->values[slot];
}

std::uint32_t Bitmap::wordAt(int x, int y) const {
  if (!indexed()) return wordRow(y)[x];
  const std::uint8_t i = index(x, y);
  return i < table_.size() ? toWord(table_[i]) : kBlackWord;
}

Color Bitmap::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return clInvalid;
  return fromWord(wordAt(x, y));
}

void Bitmap::setPixel(int x, int y, Color c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  if (indexed()) {
    setIndex(x, y, static_cast<std::uint8_t>(nearestIndex(c)));
  } else {
    wordRow(y)[x] = quantiseWord(toWord(c), format_);
  }
}

void Bitmap::fillRect(const Rect& r, Color c) {
  const int left = std::max(r.left, 0), right = std::min(r.right, width_);
  const int top = std::max(r.top, 0), bottom = std::min(r.bottom, height_);
  if (left >= right || top >= bottom) return;
  if (indexed()) {
    const auto i = static_cast<std::uint8_t>(nearestIndex(c));
    for (int y = top; y < bottom; ++y) std::fill(indexRow(y) + left, indexRow(y) + right, i);
  } else {
    const std::uint32_t w = quantiseWord(toWord(c), format_);
    for (int y = top; y < bottom; ++y) std::fill(wordRow(y) + left, wordRow(y) + right, w);
  }
}

void Bitmap::repeatFirstRow(const Rect& r) {
  const int left = std::max(r.left, 0), right = std::min(r.right, width_);
  const int top = std::max(r.top, 0), bottom = std::min(r.bottom, height_);
  if (left >= right || top != r.top || top >= bottom) return;
  for (int y = top + 1; y < bottom; ++y) {
    if (indexed())
      std::copy(indexRow(top) + left, indexRow(top) + right, indexRow(y) + left);
    else
      std::copy(wordRow(top) + left, wordRow(top) + right, wordRow(y) + left);
  }
}

void Bitmap::draw(int x, int y, const Bitmap& src) {
  copyRect(Rect{x, y, x + src.width(), y + src.height()}, src, Rect{0, 0, src.width(), src.height()});
}

void Bitmap::drawWords(int x, int y, const std::uint32_t* words, int w, int h) {
  const int x0 = std::max(x, 0), x1 = static_cast<int>(std::min<std::int64_t>(std::int64_t{x} + w, width_));
  const int y0 = std::max(y, 0), y1 = static_cast<int>(std::min<std::int64_t>(std::int64_t{y} + h, height_));
  if (x0 >= x1 || y0 >= y1) return;
  StoreMapper mapper(*this);
  // A sheet of the cube takes most of its pixels straight from the cube, without a call per pixel.
  const bool cube = indexed() && (nearestIndex(clWhite), nearest_->cube332);
  for (int row = y0; row < y1; ++row) {
    const std::uint32_t* src = words + static_cast<std::size_t>(row - y) * w + (x0 - x);
    const int n = x1 - x0;
    if (!indexed()) {
      std::uint32_t* dst = wordRow(row) + x0;
      if (format_ == PixelFormat::pf24bit || format_ == PixelFormat::pf32bit) {
        for (int i = 0; i < n; ++i) dst[i] = 0xFF000000u | (src[i] & 0xFFFFFFu);
      } else {
        for (int i = 0; i < n; ++i) dst[i] = quantiseNarrowWord(src[i], format_);
      }
      continue;
    }
    std::uint8_t* dst = indexRow(row) + x0;
    for (int i = 0; i < n; ++i) {
      const int entry = cube ? cubeEntry(src[i]) : -1;
      dst[i] = static_cast<std::uint8_t>(entry >= 0 ? entry : mapper.fromWord(src[i]));
    }
  }
}

void Bitmap::copyRect(const Rect& dstRect, const Bitmap& src, const Rect& srcRect) {
  if (dstRect.empty() || srcRect.empty() || empty() || src.empty()) return;
  if (&src == this) {
    const Bitmap copy(src);
    copyRect(dstRect, copy, srcRect);
    return;
  }
  const std::int64_t dw = dstRect.width(), dh = dstRect.height();
  const std::int64_t sw = srcRect.width(), sh = srcRect.height();
  const int x0 = std::max(dstRect.left, 0), x1 = std::min(dstRect.right, width_);
  const int y0 = std::max(dstRect.top, 0), y1 = std::min(dstRect.bottom, height_);
  if (x0 >= x1 || y0 >= y1) return;

  // Source column of each destination column; -1 where the source point lies outside src.
  std::vector<int> columns(static_cast<std::size_t>(x1 - x0));
  for (int x = x0; x < x1; ++x) {
    const std::int64_t sx = srcRect.left + (x - dstRect.left) * sw / dw;
    columns[x - x0] = sx >= 0 && sx < src.width() ? static_cast<int>(sx) : -1;
  }
  const bool exact = format_ == src.format_ && dw == sw && dh == sh && (!indexed() || table_ == src.table_);
  StoreMapper mapper(*this);
  std::array<std::uint32_t, 256> lut{};
  if (!exact && src.indexed()) lut = indexLookup(src, mapper);

  for (int y = y0; y < y1; ++y) {
    const std::int64_t sy = srcRect.top + (y - dstRect.top) * sh / dh;
    if (sy < 0 || sy >= src.height()) continue;
    const int srow = static_cast<int>(sy);
    if (exact) {
      // Same size means the clipped columns map to one contiguous source span wherever it is inside src.
      for (int x = x0; x < x1;) {
        if (columns[x - x0] < 0) {
          ++x;
          continue;
        }
        int end = x;
        while (end < x1 && columns[end - x0] >= 0) ++end;
        const int sx = columns[x - x0];
        if (indexed()) {
          std::memcpy(indexRow(y) + x, src.indexRow(srow) + sx, static_cast<std::size_t>(end - x));
        } else {
          std::memcpy(wordRow(y) + x, src.wordRow(srow) + sx, static_cast<std::size_t>(end - x) * 4);
        }
        x = end;
      }
      continue;
    }
    for (int x = x0; x < x1; ++x) {
      const int sx = columns[x - x0];
      if (sx < 0) continue;
      const std::uint32_t v =
          src.indexed() ? lut[src.indexRow(srow)[sx]] : mapper.fromWord(src.wordRow(srow)[sx]);
      if (indexed()) {
        indexRow(y)[x] = static_cast<std::uint8_t>(v);
      } else {
        wordRow(y)[x] = v;
      }
    }
  }
}

void Bitmap::resize(int width, int height) {
  if (width == width_ && height == height_) return;
  Bitmap next(width, height, format_);
  next.table_ = table_;
  next.nearest_ = nearest_;
  if (indexed())
    std::fill(next.idx_.begin(), next.idx_.end(), static_cast<std::uint8_t>(nearestIndex(clWhite)));
  const int w = std::min(width, width_), h = std::min(height, height_);
  for (int y = 0; y < h; ++y) {
    if (indexed()) {
      std::memcpy(next.indexRow(y), indexRow(y), static_cast<std::size_t>(w));
    } else {
      std::memcpy(next.wordRow(y), wordRow(y), static_cast<std::size_t>(w) * 4);
    }
  }
  next.penX_ = penX_;
  next.penY_ = penY_;
  *this = std::move(next);
}

void Bitmap::setPixelFormat(PixelFormat format) {
  if (format == format_) return;
  Bitmap next(width_, height_, format);
  if (!table_.empty() && table_.size() <= tableLimit(format)) {
    next.table_ = table_;
    next.nearest_.reset();
  }
  StoreMapper mapper(next);
  std::array<std::uint32_t, 256> lut{};
  if (indexed()) lut = indexLookup(*this, mapper);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const std::uint32_t v = indexed() ? lut[indexRow(y)[x]] : mapper.fromWord(wordRow(y)[x]);
      if (next.indexed()) {
        next.indexRow(y)[x] = static_cast<std::uint8_t>(v);
      } else {
        next.wordRow(y)[x] = v;
      }
    }
  }
  next.penX_ = penX_;
  next.penY_ = penY_;
  *this = std::move(next);
}

void Bitmap::lineTo(int x, int y, Color c) {
  // Classic Bresenham along the major axis; a tie at the half-way point keeps the minor coordinate.
  const std::int64_t dx = std::llabs(static_cast<std::int64_t>(x) - penX_);
  const std::int64_t dy = std::llabs(static_cast<std::int64_t>(y) - penY_);
  const int stepX = penX_ < x ? 1 : -1, stepY = penY_ < y ? 1 : -1;
  const bool xMajor = dx >= dy;
  const std::int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
  // A line wholly beside the bitmap draws nothing; not walking it keeps far-off coordinates cheap.
  if (std::max(penX_, x) < 0 || std::min(penX_, x) >= width_ || std::max(penY_, y) < 0 ||
      std::min(penY_, y) >= height_) {
    moveTo(x, y);
    return;
  }
  const std::uint32_t value =
      indexed() ? static_cast<std::uint32_t>(nearestIndex(c)) : quantiseWord(toWord(c), format_);
  std::int64_t cx = penX_, cy = penY_;
  std::int64_t d = 2 * minor - major;
  for (std::int64_t i = 0; i < major; ++i) {
    if (cx >= 0 && cy >= 0 && cx < width_ && cy < height_) {
      if (indexed()) {
        setIndex(static_cast<int>(cx), static_cast<int>(cy), static_cast<std::uint8_t>(value));
      } else {
        wordRow(static_cast<int>(cy))[cx] = value;
      }
    }
    if (d > 0) {
      (xMajor ? cy : cx) += xMajor ? stepY : stepX;
      d -= 2 * major;
    }
    d += 2 * minor;
    (xMajor ? cx : cy) += xMajor ? stepX : stepY;
  }
  moveTo(x, y);
}

void Bitmap::floodFillSurface(int x, int y, Color c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  const std::uint32_t target = wordAt(x, y);
  if (indexed()) {
    const auto value = static_cast<std::uint8_t>(nearestIndex(c));
    // Equal colours match whatever index holds them; a fill that would not change the colour stops here,
    // as the filled pixels would match again.
    std::array<bool, 256> match{};
    for (std::size_t i = 0; i < match.size(); ++i) {
      match[i] = (i < table_.size() ? toWord(table_[i]) : kBlackWord) == target;
    }
    if (match[value]) return;
    scanlineFill(idx_.data(), width_, height_, x, y, value, [&](std::uint8_t v) { return match[v]; });
  } else {
    const std::uint32_t value = quantiseWord(toWord(c), format_);
    if (value == target) return;
    scanlineFill(words_.data(), width_, height_, x, y, value,
                 [target](std::uint32_t v) { return v == target; });
  }
}

bool Bitmap::operator==(const Bitmap& o) const {
  return width_ == o.width_ && height_ == o.height_ && format_ == o.format_ && table_ == o.table_ &&
         idx_ == o.idx_ && words_ == o.words_;
}

}  // namespace platform
