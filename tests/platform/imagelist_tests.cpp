#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/core/ImageList.h"

using namespace platform;

namespace {

// A one-colour image, so that an image's place in the list shows by its colour.
Bitmap solid(int w, int h, Color c, PixelFormat f = PixelFormat::pf24bit) {
  Bitmap b(w, h, f);
  b.fillRect({0, 0, w, h}, c);
  return b;
}

std::vector<Color> firstPixels(const ImageList& list) {
  std::vector<Color> out;
  for (int i = 0; i < list.count(); ++i) out.push_back(fromWord(list.words(i)[0]));
  return out;
}

const Color kRed = rgb(255, 0, 0), kGreen = rgb(0, 255, 0), kBlue = rgb(0, 0, 255);

TEST(ImageList, AddInsertReplaceRemoveKeepOrder) {
  ImageList list(2, 2);
  EXPECT_EQ(list.add(solid(2, 2, kRed)), 0);
  EXPECT_EQ(list.add(solid(2, 2, kGreen)), 1);
  list.insert(0, solid(2, 2, kBlue));
  list.insert(3, solid(2, 2, clBlack));
  EXPECT_EQ(firstPixels(list), (std::vector<Color>{kBlue, kRed, kGreen, clBlack}));
  list.replace(2, solid(2, 2, clWhite));
  list.remove(0);
  EXPECT_EQ(firstPixels(list), (std::vector<Color>{kRed, clWhite, clBlack}));
  list.remove(2);
  EXPECT_EQ(list.count(), 2);
}

TEST(ImageList, BadIndexesAreRefused) {
  const std::function<void(ImageList&)> ops[] = {
      [](ImageList& l) { l.replace(-1, Bitmap(1, 1)); },
      [](ImageList& l) { l.replace(2, Bitmap(1, 1)); },
      [](ImageList& l) { l.insert(-1, Bitmap(1, 1)); },
      [](ImageList& l) { l.insert(3, Bitmap(1, 1)); },
      [](ImageList& l) { l.remove(2); },
      [](ImageList& l) { l.image(2); },
  };
  for (const auto& op : ops) {
    ImageList list(1, 1);
    list.add(solid(1, 1, kRed));
    list.add(solid(1, 1, kGreen));
    try {
      op(list);
      ADD_FAILURE() << "accepted";
    } catch (const BitmapError& e) {
      EXPECT_STREQ(e.what(), "Invalid ImageList Index");
    }
    EXPECT_EQ(firstPixels(list), (std::vector<Color>{kRed, kGreen}));
  }
}

TEST(ImageList, ImagesAreCutToSizeAndWhiteBeyondTheBitmap) {
  ImageList list(3, 2);
  Bitmap small = solid(2, 1, kBlue, PixelFormat::pf4bit);
  list.add(small);
  list.add(solid(5, 5, kRed, PixelFormat::pf16bit));
  const Bitmap first = list.image(0);
  EXPECT_EQ(first.pixelFormat(), PixelFormat::pf24bit);
  EXPECT_EQ(first.pixel(1, 0), kBlue);
  EXPECT_EQ(first.pixel(2, 0), clWhite);
  EXPECT_EQ(first.pixel(0, 1), clWhite);
  EXPECT_EQ(list.image(1), solid(3, 2, kRed));
}

TEST(ImageList, ChangingTheSizeEmptiesTheList) {
  ImageList list(4, 4);
  list.add(Bitmap(4, 4));
  list.setWidth(4);
  list.setSize(4, 4);
  EXPECT_EQ(list.count(), 1);
  list.setHeight(5);
  EXPECT_EQ(list.count(), 0);
  list.add(Bitmap(4, 5));
  list.setWidth(2);
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.width(), 2);
  EXPECT_EQ(list.height(), 5);
}

TEST(ImageList, AppendTilesCutsInReadingOrder) {
  // A 5 x 3 sheet of 8-bit pixels, each with its own index; tiles of 2 x 2, three a row.
  Bitmap sheet(5, 3, PixelFormat::pf8bit);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) sheet.setIndex(x, y, static_cast<std::uint8_t>(y * 5 + x + 1));
  ImageList list(2, 2);
  list.add(solid(2, 2, kRed));
  list.appendTiles(sheet, 3, 5);
  ASSERT_EQ(list.count(), 6);
  for (int t = 0; t < 5; ++t) {
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 2; ++x) {
        const int sx = (t % 3) * 2 + x, sy = (t / 3) * 2 + y;
        const Color expected = sx < 5 && sy < 3 ? sheet.pixel(sx, sy) : clWhite;
        EXPECT_EQ(fromWord(list.words(t + 1)[y * 2 + x]), expected) << t << " " << x << "," << y;
      }
    }
  }
  EXPECT_EQ(fromWord(list.words(0)[0]), kRed);
}

TEST(ImageList, DrawPutsTheImageOnTheCanvasClipped) {
  ImageList list(2, 2);
  list.add(solid(2, 2, kBlue));
  Bitmap canvas(3, 3, PixelFormat::pf8bit);
  list.draw(0, canvas, 2, -1);
  list.draw(1, canvas, 0, 0);  // no image there
  list.draw(-1, canvas, 0, 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(canvas.pixel(x, y), x == 2 && y == 0 ? kBlue : clWhite);
}

}  // namespace
