#include "editor/Tracers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace pxwk {

namespace {

// Beyond this a degenerate image (hundreds of thousands of pixels on one side) keeps a bounded buffer and
// its longest traces are cut short.
constexpr std::int64_t kMaxPointBufferEntries = std::int64_t{1} << 20;

int signOf(std::int64_t v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// Coordinates are worked out in 64 bits so that any two int cells give a correct trace. Only an ellipse
// with an extreme centre and radius can leave the int range; clamping keeps such a point outside every
// image.
bool put(PointBuffer& buffer, const platform::Bitmap& image, std::int64_t x, std::int64_t y) {
  constexpr std::int64_t lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
  const int cx = static_cast<int>(std::clamp(x, lo, hi)), cy = static_cast<int>(std::clamp(y, lo, hi));
  return buffer.append(cx, cy, image.pixel(cx, cy));
}

}  // namespace

PointBuffer::PointBuffer() : points_(kPointBufferEntries), colours_(kPointBufferEntries) {}

void PointBuffer::fitImage(int width, int height) {
  clear();
  const std::int64_t w = std::max(width, 0), h = std::max(height, 0);
  const std::int64_t needed = std::max(2 * (w + h + 2), std::max(w, h) + 1);
  const auto entries =
      static_cast<std::size_t>(std::clamp<std::int64_t>(needed, kPointBufferEntries, kMaxPointBufferEntries));
  if (entries == points_.size()) return;
  std::vector<TracedPoint>(entries).swap(points_);
  std::vector<platform::Color>(entries).swap(colours_);
}

bool PointBuffer::append(int x, int y, platform::Color colour) {
  if (lastIndex_ + 1 >= capacity()) return false;
  ++lastIndex_;
  points_[static_cast<std::size_t>(lastIndex_)] = {x, y};
  colours_[static_cast<std::size_t>(lastIndex_)] = colour;
  return true;
}

int Sign(int v) { return signOf(v); }

void TraceLine(PointBuffer& buffer, const platform::Bitmap& image, int x0, int y0, int x1, int y1) {
  buffer.clear();
  const std::int64_t dx = std::int64_t{x1} - x0, dy = std::int64_t{y1} - y0;
  const int sx = signOf(dx), sy = signOf(dy);
  const std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  // Equal sides count as steep: the straight step is then vertical.
  const bool flat = adx > ady;
  const std::int64_t longSide = flat ? adx : ady, shortSide = flat ? ady : adx;
  const int stepX = flat ? sx : 0, stepY = flat ? 0 : sy;
  std::int64_t err = longSide / 2;
  std::int64_t x = x0, y = y0;
  for (std::int64_t n = 0; n <= longSide; ++n) {
    if (!put(buffer, image, x, y)) return;
    err += shortSide;
    if (err >= longSide) {
      err -= longSide;
      x += sx;
      y += sy;
    } else {
      x += stepX;
      y += stepY;
    }
  }
}

void TraceEllipse(PointBuffer& buffer, const platform::Bitmap& image, int cx, int cy, int rx, int ry) {
  buffer.clear();
  // long double is the x87 type with a 64-bit mantissa here; llrint rounds ties to even in the default
  // rounding mode, and the product is rounded as formed, without a trip through double.
  constexpr long double kPi = std::numbers::pi_v<long double>;
  const long double radiusX = rx, radiusY = ry;
  for (int i = 0; i <= 360; ++i) {
    const long double a = static_cast<long double>(i) / 180.0L * kPi;
    const long double px = std::cos(a) * radiusX;
    const long double py = std::sin(a) * radiusY;
    if (!put(buffer, image, cx + std::int64_t{std::llrint(px)}, cy + std::int64_t{std::llrint(py)})) return;
  }
}

void TraceRectangle(PointBuffer& buffer, const platform::Bitmap& image, int x0, int y0, int x1, int y1) {
  buffer.clear();
  const std::int64_t xlo = std::min(x0, x1), xhi = std::max(x0, x1);
  const std::int64_t ylo = std::min(y0, y1), yhi = std::max(y0, y1);
  for (std::int64_t x = xlo; x <= xhi; ++x)
    if (!put(buffer, image, x, y0)) return;
  for (std::int64_t x = xlo; x <= xhi; ++x)
    if (!put(buffer, image, x, y1)) return;
  for (std::int64_t y = ylo; y <= yhi; ++y)
    if (!put(buffer, image, x1, y)) return;
  for (std::int64_t y = ylo; y <= yhi; ++y)
    if (!put(buffer, image, x0, y)) return;
}

}  // namespace pxwk
