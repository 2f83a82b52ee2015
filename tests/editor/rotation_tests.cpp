#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "editor/PasteRules.h"
#include "editor/Rotation.h"

using platform::Bitmap;
using platform::Color;
using platform::PixelFormat;
using pxwk::Turn;

namespace {
const Color a = platform::rgb(255, 0, 0), b = platform::rgb(0, 255, 0), c = platform::rgb(0, 0, 255),
            d = platform::rgb(0, 0, 0);

// A bitmap of w x h pixels given row by row.
Bitmap picture(int w, int h, std::initializer_list<Color> pixels, PixelFormat format = PixelFormat::pf24bit) {
  Bitmap bmp(w, h, format);
  int i = 0;
  for (Color p : pixels) bmp.setPixel(i % w, i / w, p), ++i;
  return bmp;
}
std::vector<Color> pixelsOf(const Bitmap& bmp) {
  std::vector<Color> out;
  for (int y = 0; y < bmp.height(); ++y)
    for (int x = 0; x < bmp.width(); ++x) out.push_back(bmp.pixel(x, y));
  return out;
}
}  // namespace

TEST(Rotation, TurnsTheTwoByTwoPictureClockwise) {
  const Bitmap abcd = picture(2, 2, {a, b, c, d});
  const struct {
    Turn turn;
    std::vector<Color> expected;
  } cases[] = {{Turn::Right90, {c, a, d, b}}, {Turn::Right180, {d, c, b, a}}, {Turn::Right270, {b, d, a, c}}};
  for (const auto& t : cases) EXPECT_EQ(pixelsOf(pxwk::rotated(abcd, t.turn)), t.expected);
}

TEST(Rotation, QuarterTurnsSwapTheSidesAndRoundTripsGiveThePictureBack) {
  const Bitmap strip = picture(3, 1, {a, b, c});
  const Bitmap right = pxwk::rotated(strip, Turn::Right90);
  EXPECT_EQ((std::pair{right.width(), right.height()}), (std::pair{1, 3}));
  EXPECT_EQ(pixelsOf(right), (std::vector<Color>{a, b, c}));
  EXPECT_EQ(pixelsOf(pxwk::rotated(strip, Turn::Right270)), (std::vector<Color>{c, b, a}));

  const Bitmap square = picture(3, 3, {a, b, c, d, a, b, c, d, d});
  EXPECT_EQ(pxwk::rotated(pxwk::rotated(square, Turn::Right90), Turn::Right270), square);
  EXPECT_EQ(pxwk::rotated(pxwk::rotated(square, Turn::Right180), Turn::Right180), square);
  Bitmap four = square;
  for (int i = 0; i < 4; ++i) four = pxwk::rotated(four, Turn::Right90);
  EXPECT_EQ(four, square);
}

TEST(Rotation, AOnePixelPictureStaysAsItIs) {
  const Bitmap one = picture(1, 1, {b});
  for (Turn t : {Turn::Right90, Turn::Right180, Turn::Right270}) EXPECT_EQ(pxwk::rotated(one, t), one);
}

TEST(Rotation, KeepsThePixelFormatAndTheColourTable) {
  // An 8-bit picture with a table of its own, not the format's default.
  Bitmap indexed(2, 2, PixelFormat::pf8bit);
  std::vector<Color> table(256, platform::clWhite);
  table[3] = a;
  table[7] = c;
  indexed.setColorTable(table);
  indexed.setPixel(0, 0, a);
  indexed.setPixel(1, 1, c);
  const Bitmap turned = pxwk::rotated(indexed, Turn::Right90);
  EXPECT_EQ(turned.pixelFormat(), PixelFormat::pf8bit);
  EXPECT_EQ(turned.colorTable(), table);
  EXPECT_EQ(turned.index(1, 0), 3);
  EXPECT_EQ(turned.index(0, 1), 7);

  // A direct picture without a table gets none.
  const Bitmap direct = pxwk::rotated(picture(2, 2, {a, b, c, d}), Turn::Right180);
  EXPECT_EQ(direct.pixelFormat(), PixelFormat::pf24bit);
  EXPECT_TRUE(direct.colorTable().empty());
}

TEST(PasteRules, TheShownGridRunsFromTheFirstShownCellToTheLastOrTheClientEdge) {
  const struct {
    int count, first, cellSize, client, shown;
  } cases[] = {
      {75, 0, 4, 376, 375},   // x1: every cell
      {75, 0, 8, 376, 376},   // x2: cut off by the client width
      {75, 40, 8, 376, 315},  // scrolled to the end: 35 columns
      {1, 0, 32, 66, 33},     // one cell
      {100, 0, 4, 0, 0},      // no client area
  };
  for (const auto& t : cases)
    EXPECT_EQ(pxwk::shownExtent(t.count, t.first, t.cellSize, t.client), t.shown) << t.count << "/" << t.first;
}

TEST(PasteRules, PasteFitsUpToTheShownGridAndDragsKeepTheImageInside) {
  EXPECT_TRUE(pxwk::pasteFits(375, 375, 375, 375));
  EXPECT_FALSE(pxwk::pasteFits(376, 10, 375, 375));
  EXPECT_FALSE(pxwk::pasteFits(10, 376, 375, 375));

  const struct {
    int x, y;
    bool taken;
  } moves[] = {{1, 1, true},    {0, 5, false},  {5, 0, false},   {365, 5, true},
               {366, 5, false}, {5, 365, true}, {5, 366, false}, {-3, 5, false}};
  for (const auto& m : moves)
    EXPECT_EQ(pxwk::pasteDragTaken(m.x, m.y, 10, 10, 375, 375), m.taken) << m.x << "," << m.y;
  // An image as wide as the shown grid never moves.
  EXPECT_FALSE(pxwk::pasteDragTaken(1, 1, 375, 10, 375, 375));
}

TEST(PasteRules, TheCaptureSpansTheCellsWithTheLinesBetweenThem) {
  const struct {
    int startCol, startRow, endCol, endRow, leftCol, topRow, cellSize;
    platform::Rect rect;
  } cases[] = {
      {2, 5, 4, 6, 0, 0, 4, {10, 25, 24, 34}},  // 3 x 2 cells at x1: 14 x 9
      {2, 5, 4, 6, 0, 0, 8, {18, 45, 44, 62}},  // at x2: 26 x 17
      {7, 7, 7, 7, 0, 0, 4, {35, 35, 39, 39}},  // one cell, no line
      {2, 5, 4, 6, 3, 1, 8, {-9, 36, 17, 53}},  // scrolled: the start column is out of view
  };
  for (const auto& t : cases) {
    const platform::Rect r =
        pxwk::captureRect(t.startCol, t.startRow, t.endCol, t.endRow, t.leftCol, t.topRow, t.cellSize);
    EXPECT_EQ((std::vector{r.left, r.top, r.right, r.bottom}),
              (std::vector{t.rect.left, t.rect.top, t.rect.right, t.rect.bottom}));
  }
}
