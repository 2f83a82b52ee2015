#pragma once

#include <cstdint>
#include <vector>

#include "platform/core/Bitmap.h"
#include "platform/core/Color.h"

namespace pxwk {

// Entries of the point buffer for every image whose width plus height is at most 5099 pixels.
inline constexpr int kPointBufferEntries = 10202;

struct TracedPoint {
  std::int32_t x = 0;  // column
  std::int32_t y = 0;  // row
  bool operator==(const TracedPoint&) const = default;
};

// The cells of the current rubber band or marquee, each with the working-image colour under it when it was
// traced. The storage is allocated only by the constructor and fitImage, never while tracing, so a drag
// step costs no allocation. A trace longer than the capacity keeps its first capacity() points and drops
// the rest; fitImage makes every trace between cells of the image fit.
class PointBuffer {
 public:
  PointBuffer();  // kPointBufferEntries entries, empty

  // Empties the buffer and sizes it for an image: kPointBufferEntries, or more when the image is so large
  // that the rectangle between cell (-1, -1) and its last cell, 2 x (width + height + 2) points, or the
  // longest line would not fit.
  void fitImage(int width, int height);

  void clear() { lastIndex_ = -1; }
  // Stores the point and the colour under it unless the buffer is full; false when full.
  bool append(int x, int y, platform::Color colour);

  // Index of the last valid entry; -1 when empty.
  int lastIndex() const { return lastIndex_; }
  int count() const { return lastIndex_ + 1; }
  bool empty() const { return lastIndex_ < 0; }
  int capacity() const { return static_cast<int>(points_.size()); }
  const TracedPoint& point(int i) const { return points_[static_cast<std::size_t>(i)]; }
  // The colour as the pixel read returned it; clInvalid for a point outside the image.
  platform::Color colour(int i) const { return colours_[static_cast<std::size_t>(i)]; }

 private:
  std::vector<TracedPoint> points_;
  std::vector<platform::Color> colours_;
  int lastIndex_ = -1;
};

// -1, 0 or 1 as v is negative, zero or positive.
int Sign(int v);

// Each tracer first empties the buffer, then appends its cells in trace order, reading the colour under
// each from image. They draw nothing and accept any coordinates.

// The line from (x0, y0) to (x1, y1), both ends included: one cell per unit of the longer axis.
void TraceLine(PointBuffer& buffer, const platform::Bitmap& image, int x0, int y0, int x1, int y1);

// 361 points, one per degree from 0 to 360 inclusive, of the ellipse around (cx, cy) with signed radii.
void TraceEllipse(PointBuffer& buffer, const platform::Bitmap& image, int cx, int cy, int rx, int ry);

// The outline between the corners (x0, y0) and (x1, y1): the row of the first corner, the row of the
// second, the column of the second, the column of the first, each in full and increasing, so each corner
// occurs twice.
void TraceRectangle(PointBuffer& buffer, const platform::Bitmap& image, int x0, int y0, int x1, int y1);

}  // namespace pxwk
