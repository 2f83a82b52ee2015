#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "platform/core/Bitmap.h"

using namespace platform;

namespace {

const PixelFormat kAllFormats[] = {PixelFormat::pf1bit,  PixelFormat::pf4bit,  PixelFormat::pf8bit,
                                   PixelFormat::pf15bit, PixelFormat::pf16bit, PixelFormat::pf24bit,
                                   PixelFormat::pf32bit};

using Points = std::set<std::pair<int, int>>;

// Pixels of b that hold colour c.
Points pointsOf(const Bitmap& b, Color c) {
  Points out;
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x)
      if (b.pixel(x, y) == c) out.insert({x, y});
  return out;
}

Points rectPoints(int left, int top, int right, int bottom) {
  Points out;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) out.insert({x, y});
  return out;
}

TEST(Bitmap, NewBitmapsAreWhiteInEveryFormat) {
  for (const PixelFormat f : kAllFormats) {
    const Bitmap b(7, 3, f);
    EXPECT_EQ(b.pixelFormat(), f);
    EXPECT_EQ(pointsOf(b, clWhite).size(), 21u) << bitsPerPixelOf(f);
    EXPECT_EQ(b.colorTable(), defaultColorTable(f));
  }
  EXPECT_TRUE(Bitmap().empty());
  EXPECT_EQ(Bitmap().pixelFormat(), PixelFormat::pf24bit);
  EXPECT_THROW(Bitmap(-1, 2), BitmapError);
  EXPECT_THROW(Bitmap(1 << 15, (1 << 13) + 1), BitmapError);
}

// A renewed bitmap, smaller or larger than before, is the new bitmap of its size: white, the default table,
// the pen at the origin; nothing of what it held shows through.
TEST(Bitmap, ARenewedBitmapIsANewOne) {
  for (const PixelFormat f : kAllFormats) {
    for (const auto& [w, h] : {std::pair{3, 2}, std::pair{9, 5}}) {
      Bitmap b(7, 3, f);
      if (b.indexed()) b.setColorTable({clBlack, rgb(1, 2, 3)});
      b.fillRect({0, 0, 7, 3}, clBlack);
      b.moveTo(4, 1);
      b.renew(w, h);
      EXPECT_TRUE(b == Bitmap(w, h, f)) << bitsPerPixelOf(f) << " bits, " << w << " x " << h;
      EXPECT_EQ(b.penX(), 0);
    }
  }
}

TEST(Bitmap, DefaultTables) {
  const auto cube = palette332();
  ASSERT_EQ(cube.size(), 256u);
  EXPECT_EQ(cube[0], clBlack);
  EXPECT_EQ(cube[255], clWhite);
  EXPECT_EQ(cube[1 + 8 * 2 + 64 * 3], rgb(36, 72, 255));
  EXPECT_EQ(cube[7 + 8 * 5 + 64 * 1], rgb(255, 180, 85));
  const auto vga = defaultColorTable(PixelFormat::pf4bit);
  ASSERT_EQ(vga.size(), 16u);
  EXPECT_EQ(vga[1], rgb(128, 0, 0));
  EXPECT_EQ(vga[7], rgb(192, 192, 192));
  EXPECT_EQ(vga[8], rgb(128, 128, 128));
  EXPECT_EQ(vga[13], rgb(255, 0, 255));
  EXPECT_EQ(defaultColorTable(PixelFormat::pf1bit), (std::vector<Color>{clBlack, clWhite}));
  EXPECT_TRUE(defaultColorTable(PixelFormat::pf24bit).empty());
}

TEST(Bitmap, SetPixelStoresTheNearestColourTheFormatHolds) {
  struct Case {
    PixelFormat format;
    Color given, stored;
  };
  const Case cases[] = {
      {PixelFormat::pf1bit, rgb(100, 100, 100), clBlack},
      {PixelFormat::pf1bit, rgb(150, 140, 130), clWhite},
      {PixelFormat::pf4bit, rgb(200, 10, 10), rgb(255, 0, 0)},
      {PixelFormat::pf4bit, rgb(180, 180, 200), rgb(192, 192, 192)},
      {PixelFormat::pf8bit, rgb(40, 70, 90), rgb(36, 72, 85)},
      {PixelFormat::pf8bit, rgb(250, 1, 200), rgb(255, 0, 170)},
      {PixelFormat::pf15bit, rgb(0x12, 0x34, 0x56), rgb(0x10, 0x31, 0x52)},
      {PixelFormat::pf16bit, rgb(0x12, 0x34, 0x56), rgb(0x10, 0x34, 0x52)},
      {PixelFormat::pf24bit, rgb(0x12, 0x34, 0x56), rgb(0x12, 0x34, 0x56)},
      {PixelFormat::pf32bit, rgb(1, 2, 3), rgb(1, 2, 3)},
  };
  for (const auto& c : cases) {
    Bitmap b(2, 2, c.format);
    b.setPixel(1, 0, c.given);
    EXPECT_EQ(b.pixel(1, 0), c.stored) << bitsPerPixelOf(c.format) << " " << std::hex << c.given;
    EXPECT_EQ(b.pixel(0, 0), clWhite);
    // What a format holds is held unchanged.
    b.setPixel(0, 1, c.stored);
    EXPECT_EQ(b.pixel(0, 1), c.stored);
  }
}

TEST(Bitmap, NearestIndexTiesGoToTheFirstEntry) {
  Bitmap b(1, 1, PixelFormat::pf8bit);
  b.setColorTable({rgb(0, 0, 0), rgb(10, 0, 0), rgb(20, 0, 0), rgb(10, 0, 0)});
  EXPECT_EQ(b.nearestIndex(rgb(5, 0, 0)), 0);
  EXPECT_EQ(b.nearestIndex(rgb(10, 0, 0)), 1);
  EXPECT_EQ(b.nearestIndex(rgb(16, 0, 0)), 2);
  b.setColorTable({});
  EXPECT_EQ(b.nearestIndex(clWhite), 0);
  EXPECT_THROW(Bitmap(1, 1, PixelFormat::pf4bit).setColorTable(std::vector<Color>(17)), BitmapError);
}

TEST(Bitmap, TheCubesOwnColoursMapToTheirEntriesAndOnlyInTheCube) {
  Bitmap b(1, 1, PixelFormat::pf8bit);
  const auto cube = palette332();
  for (int i = 0; i < 256; ++i) ASSERT_EQ(b.nearestIndex(cube[i]), i);
  EXPECT_EQ(b.nearestIndex(rgb(250, 1, 200)), 7 + 64 * 2);
  // A table that only resembles the cube searches: the first of two equal entries wins.
  auto altered = cube;
  altered[0] = rgb(255, 0, 0);
  b.setColorTable(altered);
  EXPECT_EQ(b.nearestIndex(rgb(255, 0, 0)), 0);
  EXPECT_EQ(b.nearestIndex(clBlack), 1);  // (36, 0, 0) before (0, 36, 0)
}

TEST(Bitmap, IndexesPastTheTableReadBlackAndOutsideReadsInvalid) {
  Bitmap b(3, 1, PixelFormat::pf8bit);
  b.setColorTable({clWhite, rgb(1, 2, 3)});
  b.setIndex(0, 0, 1);
  b.setIndex(1, 0, 2);
  b.setIndex(2, 0, 255);
  EXPECT_EQ(b.pixel(0, 0), rgb(1, 2, 3));
  EXPECT_EQ(b.pixel(1, 0), clBlack);
  EXPECT_EQ(b.wordAt(2, 0), 0xFF000000u);
  for (const auto& [x, y] : {std::pair{-1, 0}, {3, 0}, {0, -1}, {0, 1}}) EXPECT_EQ(b.pixel(x, y), clInvalid);
  b.setPixel(5, 5, clBlack);  // ignored
}

TEST(Bitmap, FillRectIsClipped) {
  for (const PixelFormat f : {PixelFormat::pf4bit, PixelFormat::pf24bit}) {
    Bitmap b(6, 5, f);
    b.fillRect({-3, 2, 2, 99}, clBlack);
    b.fillRect({4, -1, 10, 1}, clBlack);
    b.fillRect({3, 3, 3, 4}, clBlack);  // empty
    Points expected = rectPoints(0, 2, 2, 5);
    expected.merge(rectPoints(4, 0, 6, 1));
    EXPECT_EQ(pointsOf(b, clBlack), expected);
  }
}

TEST(Bitmap, DrawIsClippedAndConvertsColourByColour) {
  Bitmap src(3, 3, PixelFormat::pf24bit);
  src.fillRect({0, 0, 3, 3}, rgb(250, 5, 5));
  src.setPixel(1, 1, rgb(0, 0, 200));
  Bitmap dst(4, 4, PixelFormat::pf4bit);
  dst.draw(-1, 2, src);
  EXPECT_EQ(pointsOf(dst, rgb(255, 0, 0)), (Points{{0, 2}, {1, 2}, {1, 3}}));
  EXPECT_EQ(pointsOf(dst, rgb(0, 0, 255)), (Points{{0, 3}}));
  EXPECT_EQ(pointsOf(dst, clWhite).size(), 12u);
}

TEST(Bitmap, DrawingWordsMatchesDrawingA24BitBitmapOfThem) {
  // Cube colours, colours between cube entries and one the 4-bit table holds, on a 4 x 3 block.
  const Color colours[] = {rgb(255, 0, 0),  rgb(36, 72, 255), clWhite,        rgb(250, 1, 200),
                           rgb(40, 70, 90), clBlack,          rgb(128, 0, 0), rgb(3, 2, 1)};
  Bitmap block(4, 3, PixelFormat::pf24bit);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) block.setPixel(x, y, colours[(x + 3 * y) % 8]);
  auto notCube = palette332();
  notCube[0] = rgb(255, 0, 0);
  for (const PixelFormat f :
       {PixelFormat::pf8bit, PixelFormat::pf4bit, PixelFormat::pf16bit, PixelFormat::pf24bit})
    for (const bool cube : {true, false})
      for (const auto& [x, y] : std::vector<std::pair<int, int>>{{1, 1}, {-2, -1}, {3, 4}, {6, 0}}) {
        SCOPED_TRACE(testing::Message()
                     << bitsPerPixelOf(f) << (cube ? "" : " altered table") << " at " << x << ", " << y);
        Bitmap viaWords(6, 5, f), viaDraw(6, 5, f);
        if (f == PixelFormat::pf8bit && !cube) {
          viaWords.setColorTable(notCube);
          viaDraw.setColorTable(notCube);
        }
        viaWords.drawWords(x, y, block.wordRow(0), 4, 3);
        viaDraw.draw(x, y, block);
        EXPECT_EQ(viaWords, viaDraw);
      }
}

TEST(Bitmap, SameFormatCopiesKeepIndexesEvenOfDuplicateColours) {
  Bitmap src(2, 1, PixelFormat::pf8bit);
  src.setColorTable({clBlack, clBlack, clWhite});
  src.setIndex(0, 0, 1);
  src.setIndex(1, 0, 0);
  Bitmap same(2, 1, PixelFormat::pf8bit);
  same.setColorTable(src.colorTable());
  same.draw(0, 0, src);
  EXPECT_EQ(same.index(0, 0), 1);
  // Under another table the colour is what is kept.
  Bitmap other(2, 1, PixelFormat::pf8bit);
  other.draw(0, 0, src);
  EXPECT_EQ(other.index(0, 0), 0);
  EXPECT_EQ(other.pixel(0, 0), clBlack);
}

TEST(Bitmap, CopyRectStretchesByNearestNeighbour) {
  Bitmap src(2, 2, PixelFormat::pf24bit);
  src.setPixel(1, 0, clBlack);
  Bitmap dst(6, 6, PixelFormat::pf24bit);
  dst.copyRect({1, 1, 5, 5}, src, {0, 0, 2, 2});
  EXPECT_EQ(pointsOf(dst, clBlack), rectPoints(3, 1, 5, 3));
  // Shrinking, clipped at the destination's edge, reading outside the source changes nothing.
  Bitmap small(3, 3, PixelFormat::pf24bit);
  small.copyRect({-1, 0, 3, 4}, dst, {0, 0, 6, 6});
  EXPECT_EQ(pointsOf(small, clBlack), (Points{{1, 1}, {2, 1}}));
  Bitmap edge(3, 3, PixelFormat::pf24bit);
  edge.copyRect({0, 0, 3, 3}, src, {1, -1, 4, 2});
  EXPECT_EQ(pointsOf(edge, clBlack), (Points{{0, 1}}));
}

TEST(Bitmap, CopyRectWithinOneBitmapReadsTheOldPixels) {
  Bitmap b(4, 1, PixelFormat::pf24bit);
  b.setPixel(0, 0, clBlack);
  b.copyRect({1, 0, 4, 1}, b, {0, 0, 3, 1});
  EXPECT_EQ(pointsOf(b, clBlack), (Points{{0, 0}, {1, 0}}));
}

TEST(Bitmap, ResizeKeepsFormatTableAndTopLeft) {
  Bitmap b(3, 3, PixelFormat::pf8bit);
  const std::vector<Color> table{clBlack, rgb(1, 2, 3), clWhite};
  b.setColorTable(table);
  b.fillRect({0, 0, 3, 3}, clBlack);
  b.setPixel(2, 2, rgb(1, 2, 3));
  b.resize(4, 2);
  EXPECT_EQ(b.pixelFormat(), PixelFormat::pf8bit);
  EXPECT_EQ(b.colorTable(), table);
  EXPECT_EQ(pointsOf(b, clBlack), rectPoints(0, 0, 3, 2));
  EXPECT_EQ(pointsOf(b, clWhite), rectPoints(3, 0, 4, 2));
  b.resize(5, 4);
  EXPECT_EQ(pointsOf(b, clBlack), rectPoints(0, 0, 3, 2));
  EXPECT_EQ(pointsOf(b, clWhite).size(), 14u);
}

TEST(Bitmap, SetPixelFormatConvertsColours) {
  Bitmap b(2, 1, PixelFormat::pf24bit);
  b.setPixel(0, 0, rgb(250, 5, 5));
  b.setPixelFormat(PixelFormat::pf4bit);
  EXPECT_EQ(b.colorTable(), defaultColorTable(PixelFormat::pf4bit));
  EXPECT_EQ(b.pixel(0, 0), rgb(255, 0, 0));
  EXPECT_EQ(b.pixel(1, 0), clWhite);
  b.setPixelFormat(PixelFormat::pf8bit);  // the 16 colours fit
  EXPECT_EQ(b.colorTable(), defaultColorTable(PixelFormat::pf4bit));
  EXPECT_EQ(b.pixel(0, 0), rgb(255, 0, 0));
  b.setPixelFormat(PixelFormat::pf1bit);
  EXPECT_EQ(b.colorTable(), defaultColorTable(PixelFormat::pf1bit));
  EXPECT_EQ(b.pixel(0, 0), clBlack);
}

struct LineCase {
  int x0, y0, x1, y1;
  Points drawn;
};

TEST(Bitmap, LineToLeavesOutTheEndPixel) {
  const LineCase cases[] = {
      {2, 2, 2, 2, {}},
      {0, 0, 3, 0, {{0, 0}, {1, 0}, {2, 0}}},
      {3, 0, 0, 0, {{3, 0}, {2, 0}, {1, 0}}},
      {1, 4, 1, 1, {{1, 4}, {1, 3}, {1, 2}}},
      {0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}}},
      {0, 0, 4, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
      {0, 0, 1, 4, {{0, 0}, {0, 1}, {0, 2}, {1, 3}}},
      {-2, 1, 2, 1, {{0, 1}, {1, 1}}},
  };
  for (const auto& c : cases) {
    Bitmap b(6, 6, PixelFormat::pf8bit);
    b.moveTo(c.x0, c.y0);
    b.lineTo(c.x1, c.y1, clBlack);
    EXPECT_EQ(pointsOf(b, clBlack), c.drawn) << c.x0 << "," << c.y0 << " to " << c.x1 << "," << c.y1;
    EXPECT_EQ(b.penX(), c.x1);
    EXPECT_EQ(b.penY(), c.y1);
  }
}

TEST(Bitmap, FloodFillStopsAtOtherColoursAndDiagonals) {
  // A ring with a gap only at a corner: 4-connected filling stays inside.
  const char* rows[] = {
      ".....",
      ".###.",
      ".#..#",
      ".###.",
  };
  Bitmap b(5, 4, PixelFormat::pf24bit);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x)
      if (rows[y][x] == '#') b.setPixel(x, y, clBlack);
  b.floodFillSurface(2, 2, rgb(255, 0, 0));
  EXPECT_EQ(pointsOf(b, rgb(255, 0, 0)), (Points{{2, 2}, {3, 2}}));
  b.floodFillSurface(0, 0, rgb(0, 255, 0));
  EXPECT_EQ(pointsOf(b, rgb(0, 255, 0)).size(), 9u);
  EXPECT_EQ(pointsOf(b, clWhite), (Points{{4, 3}}));  // reached only diagonally
  b.floodFillSurface(-1, 0, clBlack);                 // outside: nothing
  b.floodFillSurface(1, 1, clBlack);                  // already that colour
  EXPECT_EQ(pointsOf(b, clBlack).size(), 8u);
}

TEST(Bitmap, FloodFillMatchesColoursNotIndexes) {
  Bitmap b(3, 1, PixelFormat::pf8bit);
  b.setColorTable({clWhite, clWhite, clBlack, rgb(9, 9, 9)});
  b.setIndex(0, 0, 0);
  b.setIndex(1, 0, 1);
  b.setIndex(2, 0, 2);
  b.floodFillSurface(0, 0, rgb(9, 9, 9));
  EXPECT_EQ(pointsOf(b, rgb(9, 9, 9)), (Points{{0, 0}, {1, 0}}));
  // A colour that maps back to the seed's colour changes nothing.
  b.floodFillSurface(2, 0, rgb(1, 1, 1));
  EXPECT_EQ(b.index(2, 0), 2);
}

TEST(Bitmap, FloodFillCoversALargeMaze) {
  // A serpentine: walls on every other row leave one long winding path, the worst case for recursion.
  const int n = 1000;
  Bitmap b(n, n, PixelFormat::pf8bit);
  for (int y = 1; y < n; y += 2) {
    b.fillRect({0, y, n, y + 1}, clBlack);
    const int gap = (y / 2) % 2 == 0 ? n - 1 : 0;
    b.setPixel(gap, y, clWhite);
  }
  b.floodFillSurface(0, 0, rgb(255, 0, 0));
  EXPECT_EQ(pointsOf(b, rgb(255, 0, 0)).size(), static_cast<std::size_t>(n / 2 * n + n / 2));
  EXPECT_TRUE(pointsOf(b, clWhite).empty());
}

TEST(Bitmap, EqualityComparesPixelsFormatAndTable) {
  Bitmap a(2, 2, PixelFormat::pf8bit), b(2, 2, PixelFormat::pf8bit);
  EXPECT_EQ(a, b);
  b.setIndex(1, 1, 3);
  EXPECT_FALSE(a == b);
  EXPECT_FALSE(Bitmap(2, 2, PixelFormat::pf24bit) == Bitmap(2, 2, PixelFormat::pf32bit));
}

TEST(Bitmap, QuantisingIsStable) {
  for (const PixelFormat f : {PixelFormat::pf15bit, PixelFormat::pf16bit, PixelFormat::pf24bit}) {
    for (std::uint32_t w = 0; w < 0x1000000; w += 0x010203) {
      const std::uint32_t q = quantiseWord(w, f);
      EXPECT_EQ(quantiseWord(q, f), q);
    }
  }
}

}  // namespace

// A band repeats its first row over its own columns only, clipped to the bitmap, in every format.
TEST(Bitmap, ABandRepeatsItsFirstRowAndNothingElse) {
  for (const PixelFormat f : {PixelFormat::pf8bit, PixelFormat::pf24bit}) {
    Bitmap b(6, 5, f);
    for (int x = 0; x < 6; ++x) b.setPixel(x, 1, clBlack);
    b.repeatFirstRow({1, 1, 9, 9});
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 6; ++x) {
        const Color want = y == 1 || (y > 1 && x > 0) ? clBlack : clWhite;
        EXPECT_EQ(b.pixel(x, y), want) << x << "," << y << " of " << static_cast<int>(f);
      }
  }
}

// Copies, made or assigned over a bitmap of another size and format, are whole and stand on their own.
TEST(Bitmap, CopiesAreWholeAndIndependent) {
  for (const PixelFormat f :
       {PixelFormat::pf4bit, PixelFormat::pf8bit, PixelFormat::pf16bit, PixelFormat::pf24bit}) {
    SCOPED_TRACE(bitsPerPixelOf(f));
    Bitmap original(7, 5, f);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) original.setPixel(x, y, rgb(x * 36, y * 60, 200));
    original.moveTo(4, 2);
    Bitmap made(original);
    Bitmap assigned(30, 2, PixelFormat::pf8bit);
    assigned = original;
    for (Bitmap* copy : {&made, &assigned}) {
      EXPECT_EQ(*copy, original);
      EXPECT_EQ(copy->penX(), 4);
      EXPECT_EQ(copy->penY(), 2);
      copy->fillRect({0, 0, 7, 5}, clBlack);
      EXPECT_NE(original.pixel(0, 0), clBlack);
    }
  }
}

// A large block freed serves the next request of about its size, once: a load over an open project finds
// its memory mapped. One much smaller or larger gets a block of its own, and a small one never waits.
TEST(LargeBlocks, AFreedBlockServesTheNextRequestOfAboutItsSizeOnce) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer sees every block fresh";
#endif
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  const auto blockOf = [](std::size_t bytes) {
    auto v = std::make_unique<detail::UnfilledVector<std::uint8_t>>();
    v->reserve(bytes);
    return v;
  };
  const struct {
    std::size_t asked;
    bool reused;
  } cases[] = {{16 * kMiB, true}, {9 * kMiB, true}, {7 * kMiB, false}, {17 * kMiB, false}};
  // Whatever an earlier test left kept is taken first (each request takes a kept block of up to twice its
  // size), so that each case starts with a kept block of exactly 16 MiB.
  const auto keepSixteen = [&] {
    std::vector<std::unique_ptr<detail::UnfilledVector<std::uint8_t>>> drains;
    for (std::size_t s = 4 * kMiB + 1; s <= 64 * kMiB; s = s / kMiB * kMiB * 2) drains.push_back(blockOf(s));
    auto sixteen = blockOf(16 * kMiB);
    const std::uint8_t* at = sixteen->data();
    drains.clear();
    sixteen.reset();
    return at;
  };
  for (const auto& c : cases) {
    const std::uint8_t* at = keepSixteen();
    const auto next = blockOf(c.asked);
    EXPECT_EQ(next->data() == at, c.reused) << c.asked / kMiB << " MiB";
    const auto after = blockOf(c.asked);
    EXPECT_NE(after->data(), at) << "a block serves one request";
    EXPECT_GE(next->capacity(), c.asked);
  }
}

// However a large block takes its pages, it holds what is written into it, also after it grows.
TEST(LargeBlocks, EveryKindOfPageGivesAWorkingBlock) {
  using detail::LargeBlockPages;
  const LargeBlockPages before = detail::largeBlockPages;
  for (const LargeBlockPages pages :
       {LargeBlockPages::Plain, LargeBlockPages::Prefault, LargeBlockPages::Huge}) {
    SCOPED_TRACE(static_cast<int>(pages));
    detail::largeBlockPages = pages;
    detail::UnfilledVector<std::uint32_t> block;
    for (const std::size_t n : {std::size_t{3} << 20, std::size_t{5} << 20}) {
      detail::reserveLarge(block, n);
      EXPECT_GE(block.capacity(), n);
      const std::size_t kept = block.size();
      block.resize(n);
      for (std::size_t i = kept; i < n; ++i) block[i] = static_cast<std::uint32_t>(i * 2654435761u);
      std::size_t wrong = 0;
      for (std::size_t i = 0; i < n; ++i) wrong += block[i] != static_cast<std::uint32_t>(i * 2654435761u);
      EXPECT_EQ(wrong, 0u);
    }
  }
  detail::largeBlockPages = before;
}
