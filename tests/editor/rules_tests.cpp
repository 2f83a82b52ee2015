#include <gtest/gtest.h>

#include "editor/EditorRules.h"

using platform::PixelFormat;
using platform::rgb;

TEST(ContrastColour, EachChannelOf128OrMoreGoesTo0AndBelowTo255) {
  const struct {
    platform::Color in, out;
  } cases[] = {{rgb(0, 0, 0), rgb(255, 255, 255)},
               {rgb(255, 255, 255), rgb(0, 0, 0)},
               {rgb(216, 36, 170), rgb(0, 255, 0)},
               {rgb(127, 128, 129), rgb(255, 0, 0)},
               {rgb(144, 144, 0), rgb(0, 0, 255)}};
  for (const auto& c : cases) EXPECT_EQ(pxwk::ContrastColour(c.in), c.out) << std::hex << c.in;
  EXPECT_EQ(pxwk::PickInt(true, 1, 2), 1);
  EXPECT_EQ(pxwk::PickInt(false, 1, 2), 2);
}

TEST(PaletteMarks, GainingAndLosingALetterKeepsTheOther) {
  const struct {
    const char* mark;
    const char *withF, *withoutF, *withB, *withoutB;
    bool f, b;
  } cases[] = {{"", "F", "", "B", "", false, false},
               {"F", "F", "", "FB", "F", true, false},
               {"B", "FB", "B", "B", "", false, true},
               {"FB", "F", "B", "FB", "F", true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mark);
    EXPECT_EQ(pxwk::withF(c.mark), c.withF);
    EXPECT_EQ(pxwk::withoutF(c.mark), c.withoutF);
    EXPECT_EQ(pxwk::withB(c.mark), c.withB);
    EXPECT_EQ(pxwk::withoutB(c.mark), c.withoutB);
    EXPECT_EQ(pxwk::lettersOf(c.mark).f, c.f);
    EXPECT_EQ(pxwk::lettersOf(c.mark).b, c.b);
  }
}

TEST(EditorPalette, SizeAndPixelFormatNeverChange) {
  const auto palette = platform::palette332();
  const struct {
    PixelFormat format;
    bool takesTable;
  } cases[] = {{PixelFormat::pf1bit, false}, {PixelFormat::pf4bit, false}, {PixelFormat::pf8bit, true},
               {PixelFormat::pf16bit, true}, {PixelFormat::pf24bit, true}, {PixelFormat::pf32bit, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(platform::bitsPerPixelOf(c.format));
    platform::Bitmap b(5, 3, c.format);
    b.setPixel(1, 1, rgb(128, 0, 0));
    const platform::Bitmap before = b;
    pxwk::giveEditorPalette(b, palette);
    EXPECT_EQ(b.pixelFormat(), c.format);
    EXPECT_EQ(b.width(), 5);
    EXPECT_EQ(b.height(), 3);
    EXPECT_EQ(b.colorTable() == palette, c.takesTable);
    if (c.format == PixelFormat::pf8bit) {
      EXPECT_EQ(b.pixel(1, 1), rgb(144, 0, 0)) << "the nearest 3-3-2 colour";
    } else {
      EXPECT_EQ(b.pixel(1, 1), before.pixel(1, 1)) << "pixels are kept";
    }
  }
}

TEST(EditorPalette, AnIndexPastTheOldTableTakesBlack) {
  platform::Bitmap b(2, 1, PixelFormat::pf8bit);
  b.setColorTable({rgb(0, 255, 0)});
  b.setIndex(0, 0, 0);
  b.setIndex(1, 0, 200);
  pxwk::giveEditorPalette(b, platform::palette332());
  EXPECT_EQ(b.pixel(0, 0), rgb(0, 255, 0));
  EXPECT_EQ(b.pixel(1, 0), platform::clBlack);
  EXPECT_TRUE(pxwk::tileModeFor({"a"}));
  EXPECT_FALSE(pxwk::tileModeFor({}));
  EXPECT_FALSE(pxwk::tileModeFor({"a", "b"}));
}
