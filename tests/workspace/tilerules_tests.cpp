#include <gtest/gtest.h>

#include "workspace/TileRules.h"

using namespace tlwk;

TEST(Renumbering, DeleteEmptiesTheTileAndMovesHigherIndexesDown) {
  const struct {
    const char* before;
    const char* after;
  } cases[] = {{"1", "1"},   {"2", ""},   {"4", "3"},     {"", ""},    {"0", "0"},
               {"  3", "2"}, {"$4", "3"}, {"abc", "abc"}, {"2x", "2x"}};
  for (const auto& c : cases) EXPECT_EQ(renumberForDelete(c.before, 2), c.after) << c.before;
}

TEST(Renumbering, InsertMovesIndexesFromTheInsertedPlaceUp) {
  const struct {
    const char* before;
    const char* after;
  } cases[] = {
      {"0", "0"}, {"1", "1"}, {"2", "3"}, {"4", "5"}, {"", ""}, {"word", "word"}, {"2147483647", "2147483647"}};
  for (const auto& c : cases) EXPECT_EQ(renumberForInsert(c.before, 2), c.after) << c.before;
}

TEST(PlacingRule, OnlyOverwriteOfANonEmptyCellWithARealTilePlacesIt) {
  EXPECT_EQ(placedText("7", 3, 5, true), "3");
  EXPECT_EQ(placedText("x", 3, 5, true), "3");
  EXPECT_EQ(placedText("", 3, 5, true), std::nullopt);
  EXPECT_EQ(placedText("7", 3, 5, false), std::nullopt);
  EXPECT_EQ(placedText("7", 5, 5, true), std::nullopt);
}

TEST(ImportRanges, TileSizesStayWithinTheBitmapAndCountsStartAtHalf) {
  EXPECT_EQ(tileSizeMaximum(256), 100);
  EXPECT_EQ(tileSizeMaximum(20), 20);
  EXPECT_EQ(tileSizeStart(256), 32);
  EXPECT_EQ(tileSizeStart(20), 20);
  EXPECT_EQ(tileCountMaximum(100, 32), 3);
  EXPECT_EQ(tileCountStart(3), 1);
  EXPECT_EQ(tileCountStart(1), 1);
  EXPECT_EQ(tileCountStart(8), 4);
  EXPECT_EQ(firstTileColumns(8), 80);
  EXPECT_EQ(firstTileRows(100), 4);
}
