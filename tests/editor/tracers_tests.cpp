#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <ostream>
#include <set>
#include <utility>
#include <vector>

#include "editor/Tracers.h"

using platform::Bitmap;
using platform::Color;
using platform::PixelFormat;
using pxwk::PointBuffer;
using pxwk::TracedPoint;

namespace {

using Cells = std::vector<TracedPoint>;

Cells cellsOf(const PointBuffer& buffer) {
  Cells out;
  for (int i = 0; i <= buffer.lastIndex(); ++i) out.push_back(buffer.point(i));
  return out;
}

// The cells a band visits, with each run of repeats counted once.
Cells visited(const PointBuffer& buffer) {
  Cells out = cellsOf(buffer);
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

std::set<std::pair<int, int>> cellSet(const PointBuffer& buffer) {
  std::set<std::pair<int, int>> out;
  for (const auto& p : cellsOf(buffer)) out.insert({p.x, p.y});
  return out;
}

int chebyshev(const TracedPoint& a, const TracedPoint& b) {
  return std::max(std::abs(a.x - b.x), std::abs(a.y - b.y));
}

const Bitmap kImage(20, 20);

}  // namespace

namespace pxwk {
// Found by gtest through the argument's namespace.
std::ostream& operator<<(std::ostream& os, const TracedPoint& p) {
  return os << '(' << p.x << ", " << p.y << ')';
}
}  // namespace pxwk

TEST(Sign, IsTheSignOfAnyInteger) {
  const std::pair<int, int> cases[] = {{INT_MIN, -1}, {-5, -1}, {-1, -1}, {0, 0}, {1, 1}, {7, 1}, {INT_MAX, 1}};
  for (const auto& [v, sign] : cases) EXPECT_EQ(pxwk::Sign(v), sign) << v;
}

TEST(TraceLine, CellsInTraceOrder) {
  const struct {
    int x0, y0, x1, y1;
    Cells cells;
  } cases[] = {
      {0, 0, 5, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}},
      {0, 0, 4, 1, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}},
      {0, 0, 1, 2, {{0, 0}, {1, 1}, {1, 2}}},
      {0, 0, 2, 1, {{0, 0}, {1, 1}, {2, 1}}},
      {0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
      {0, 0, -2, 5, {{0, 0}, {0, 1}, {-1, 2}, {-1, 3}, {-2, 4}, {-2, 5}}},
      {5, 2, 0, 0, {{5, 2}, {4, 2}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}},
      {2, 3, 2, 0, {{2, 3}, {2, 2}, {2, 1}, {2, 0}}},
      {-1, -1, 1, -1, {{-1, -1}, {0, -1}, {1, -1}}},
      {4, 7, 4, 7, {{4, 7}}},
  };
  PointBuffer buffer;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << '(' << c.x0 << ", " << c.y0 << ") to (" << c.x1 << ", " << c.y1 << ')');
    pxwk::TraceLine(buffer, kImage, c.x0, c.y0, c.x1, c.y1);
    EXPECT_EQ(cellsOf(buffer), c.cells);
  }
}

TEST(TraceLine, EveryLineRunsEndToEndOneCellPerUnitOfItsLongerAxis) {
  PointBuffer buffer;
  for (int dx = -7; dx <= 7; ++dx) {
    for (int dy = -7; dy <= 7; ++dy) {
      SCOPED_TRACE(testing::Message() << dx << ", " << dy);
      pxwk::TraceLine(buffer, kImage, 3, 4, 3 + dx, 4 + dy);
      ASSERT_EQ(buffer.count(), std::max(std::abs(dx), std::abs(dy)) + 1);
      EXPECT_EQ(buffer.point(0), (TracedPoint{3, 4}));
      EXPECT_EQ(buffer.point(buffer.lastIndex()), (TracedPoint{3 + dx, 4 + dy}));
      for (int i = 1; i < buffer.count(); ++i) EXPECT_EQ(chebyshev(buffer.point(i - 1), buffer.point(i)), 1);
    }
  }
}

TEST(TraceEllipse, RadiusTwoCircleVisitsItsCellsInOrder) {
  PointBuffer buffer;
  pxwk::TraceEllipse(buffer, kImage, 10, 10, 2, 2);
  ASSERT_EQ(buffer.count(), 361);
  EXPECT_EQ(visited(buffer), (Cells{{12, 10},
                                    {12, 11},
                                    {11, 11},
                                    {11, 12},
                                    {10, 12},
                                    {9, 12},
                                    {9, 11},
                                    {8, 11},
                                    {8, 10},
                                    {8, 9},
                                    {9, 9},
                                    {9, 8},
                                    {10, 8},
                                    {11, 8},
                                    {11, 9},
                                    {12, 9},
                                    {12, 10}}));
}

TEST(TraceEllipse, RadiiSignedAsAnchorMinusPointerTouchThePointersColumnAndRow) {
  // Anchor (10, 10), pointer (14, 13).
  PointBuffer buffer;
  pxwk::TraceEllipse(buffer, kImage, 10, 10, 10 - 14, 10 - 13);
  EXPECT_EQ(buffer.point(0), (TracedPoint{6, 10}));
  EXPECT_EQ(buffer.point(90), (TracedPoint{10, 7}));
  EXPECT_EQ(buffer.point(180), (TracedPoint{14, 10}));
  EXPECT_EQ(buffer.point(270), (TracedPoint{10, 13}));
  EXPECT_EQ(buffer.point(360), buffer.point(0));
}

TEST(TraceEllipse, ZeroRadiiGiveASegmentThroughTheCentre) {
  const struct {
    int rx, ry, colLo, colHi, rowLo, rowHi;
  } cases[] = {{0, 3, 10, 10, 7, 13}, {0, -3, 10, 10, 7, 13}, {3, 0, 7, 13, 10, 10}, {0, 0, 10, 10, 10, 10}};
  PointBuffer buffer;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rx << ", " << c.ry);
    pxwk::TraceEllipse(buffer, kImage, 10, 10, c.rx, c.ry);
    ASSERT_EQ(buffer.count(), 361);
    const Cells cells = cellsOf(buffer);
    const auto [minX, maxX] =
        std::minmax_element(cells.begin(), cells.end(), [](const auto& a, const auto& b) { return a.x < b.x; });
    const auto [minY, maxY] =
        std::minmax_element(cells.begin(), cells.end(), [](const auto& a, const auto& b) { return a.y < b.y; });
    EXPECT_EQ(minX->x, c.colLo);
    EXPECT_EQ(maxX->x, c.colHi);
    EXPECT_EQ(minY->y, c.rowLo);
    EXPECT_EQ(maxY->y, c.rowHi);
  }
}

TEST(TraceEllipse, NegativeRadiiGiveTheSameCells) {
  // Even radii have no products near a half, so the sets must agree exactly.
  PointBuffer buffer;
  pxwk::TraceEllipse(buffer, kImage, 10, 10, 4, 6);
  const auto positive = cellSet(buffer);
  for (const auto& [rx, ry] : {std::pair{-4, -6}, std::pair{-4, 6}, std::pair{4, -6}}) {
    pxwk::TraceEllipse(buffer, kImage, 10, 10, rx, ry);
    EXPECT_EQ(cellSet(buffer), positive) << rx << ", " << ry;
  }
}

TEST(TraceEllipse, CirclesUpToRadius59AreClosedAndFrom60HaveGaps) {
  PointBuffer buffer;
  for (int r = 1; r <= 61; ++r) {
    pxwk::TraceEllipse(buffer, kImage, 0, 0, r, r);
    int widest = 0;
    for (int i = 1; i < buffer.count(); ++i)
      widest = std::max(widest, chebyshev(buffer.point(i - 1), buffer.point(i)));
    EXPECT_EQ(widest, r <= 59 ? 1 : 2) << "radius " << r;
  }
}

TEST(TraceRectangle, SidesInOrderWithEachCornerTwice) {
  const struct {
    int x0, y0, x1, y1;
    Cells cells;
  } cases[] = {
      {1, 1, 3, 2, {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}, {3, 1}, {3, 2}, {1, 1}, {1, 2}}},
      {3, 2, 1, 1, {{1, 2}, {2, 2}, {3, 2}, {1, 1}, {2, 1}, {3, 1}, {1, 1}, {1, 2}, {3, 1}, {3, 2}}},
      {1, 2, 3, 1, {{1, 2}, {2, 2}, {3, 2}, {1, 1}, {2, 1}, {3, 1}, {3, 1}, {3, 2}, {1, 1}, {1, 2}}},
      {1, 1, 3, 1, {{1, 1}, {2, 1}, {3, 1}, {1, 1}, {2, 1}, {3, 1}, {3, 1}, {1, 1}}},
      {2, 3, 2, 1, {{2, 3}, {2, 1}, {2, 1}, {2, 2}, {2, 3}, {2, 1}, {2, 2}, {2, 3}}},
      {5, 5, 5, 5, {{5, 5}, {5, 5}, {5, 5}, {5, 5}}},
  };
  PointBuffer buffer;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << '(' << c.x0 << ", " << c.y0 << ") to (" << c.x1 << ", " << c.y1 << ')');
    pxwk::TraceRectangle(buffer, kImage, c.x0, c.y0, c.x1, c.y1);
    EXPECT_EQ(cellsOf(buffer), c.cells);
  }
}

TEST(PointBuffer, RecordsThePixelReadUnderEachPointAndEachTraceStartsEmpty) {
  Bitmap image(3, 3, PixelFormat::pf8bit);
  const Color red = platform::rgb(255, 0, 0), blue = platform::rgb(0, 0, 255);
  image.setPixel(0, 0, red);
  image.setPixel(2, 2, blue);
  PointBuffer buffer;
  EXPECT_EQ(buffer.lastIndex(), -1);
  pxwk::TraceRectangle(buffer, image, 0, 0, 9, 9);
  pxwk::TraceLine(buffer, image, -1, -1, 3, 3);
  ASSERT_EQ(buffer.lastIndex(), 4);
  const Color expected[] = {platform::clInvalid, red, platform::clWhite, blue, platform::clInvalid};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(buffer.colour(i), expected[i]) << i;
  buffer.clear();
  EXPECT_TRUE(buffer.empty());
}

TEST(PointBuffer, ATraceNeverStoresPastTheLastEntryAndKeepsItsFirstPoints) {
  const struct {
    const char* name;
    void (*trace)(PointBuffer&, const Bitmap&, int, int, int, int);
    int x0, y0, x1, y1;
    TracedPoint last;
  } cases[] = {
      {"line", pxwk::TraceLine, 0, 0, 20000, 0, {10201, 0}},
      {"line across the whole int range", pxwk::TraceLine, INT_MIN, 5, INT_MAX, 5, {INT_MIN + 10201, 5}},
      {"rectangle", pxwk::TraceRectangle, 0, 0, 6000, 3, {4200, 3}},
      {"rectangle of extreme corners",
       pxwk::TraceRectangle,
       INT_MAX,
       INT_MAX,
       INT_MIN,
       INT_MIN,
       {INT_MIN + 10201, INT_MAX}},
  };
  PointBuffer buffer;
  ASSERT_EQ(buffer.capacity(), pxwk::kPointBufferEntries);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.trace(buffer, kImage, c.x0, c.y0, c.x1, c.y1);
    EXPECT_EQ(buffer.lastIndex(), 10201);
    EXPECT_EQ(buffer.point(10201), c.last);
    EXPECT_FALSE(buffer.append(0, 0, platform::clBlack));
    EXPECT_EQ(buffer.lastIndex(), 10201);
  }
  // An extreme ellipse keeps all its points, clamped to cells outside every image.
  pxwk::TraceEllipse(buffer, kImage, INT_MAX, INT_MIN, INT_MAX, INT_MIN);
  EXPECT_EQ(buffer.count(), 361);
  EXPECT_EQ(buffer.point(0), (TracedPoint{INT_MAX, INT_MIN}));
}

TEST(PointBuffer, FitsTheLongestTracesOfTheImageItIsSizedFor) {
  const struct {
    int width, height, capacity;
  } cases[] = {{75, 75, 10202}, {5000, 99, 10202}, {5000, 100, 10204}, {6000, 40, 12084}, {1, 20000, 40006}};
  PointBuffer buffer;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    pxwk::TraceLine(buffer, kImage, 0, 0, 1, 1);
    buffer.fitImage(c.width, c.height);
    EXPECT_TRUE(buffer.empty());
    EXPECT_EQ(buffer.capacity(), c.capacity);
    const Bitmap image(c.width, c.height);
    pxwk::TraceRectangle(buffer, image, -1, -1, c.width - 1, c.height - 1);
    EXPECT_EQ(buffer.count(), 2 * (c.width + c.height + 2));
    pxwk::TraceLine(buffer, image, -1, -1, c.width - 1, c.height - 1);
    EXPECT_EQ(buffer.count(), std::max(c.width, c.height) + 1);
  }
}
