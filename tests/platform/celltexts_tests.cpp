#include <gtest/gtest.h>

#include <string>

#include "platform/core/CellTexts.h"

using platform::CellTexts;

// Numbers are held as codes, everything else as text; either way a cell gives back exactly what it got.
TEST(CellTexts, EveryTextComesBackExactly) {
  const std::string texts[] = {"",
                               "0",
                               "17",
                               "2147483647",
                               "2147483648",
                               "007",
                               "+1",
                               "-1",
                               " 0",
                               "0 ",
                               "99999999999",
                               "word",
                               "1e3",
                               "\t",
                               "x",
                               "$10",
                               "00",
                               "-0",
                               std::string("5\0", 2)};
  CellTexts cells;
  cells.resize(5, 4);
  for (std::size_t i = 0; i < std::size(texts); ++i)
    cells.set(static_cast<int>(i % 5), static_cast<int>(i / 5), texts[i]);
  for (std::size_t i = 0; i < std::size(texts); ++i)
    EXPECT_EQ(cells.text(static_cast<int>(i % 5), static_cast<int>(i / 5)), texts[i]) << i;
  EXPECT_TRUE(cells.empty(0, 0));
  EXPECT_FALSE(cells.empty(1, 0)) << "0 is a tile, not an empty cell";
  EXPECT_EQ(cells.text(5, 0), "") << "outside the counts";
  cells.set(-1, 9, "lost");
  EXPECT_EQ(cells.text(-1, 9), "");
}

// Texts survive a change of counts in the cells both counts hold, and one cell written many times holds
// its last text whichever kind each was.
TEST(CellTexts, ResizeKeepsTheCommonCellsAndOverwritingKeepsTheLastText) {
  CellTexts cells;
  cells.resize(3, 3);
  cells.set(0, 0, "a");
  cells.set(1, 1, "4");
  cells.set(2, 2, "gone");
  cells.resize(2, 4);
  EXPECT_EQ(cells.text(0, 0), "a");
  EXPECT_EQ(cells.text(1, 1), "4");
  EXPECT_EQ(cells.text(1, 3), "");
  cells.resize(3, 3);
  EXPECT_EQ(cells.text(2, 2), "") << "a cell dropped and made again is empty";
  for (int i = 0; i <= 1000; ++i) cells.set(1, 0, i % 3 == 0 ? std::to_string(i) : "t" + std::to_string(i));
  EXPECT_EQ(cells.text(1, 0), "t1000");
  EXPECT_EQ(cells.text(0, 0), "a");
  cells.clear();
  EXPECT_TRUE(cells.empty(0, 0));
  cells.set(2, 0, "b");
  EXPECT_EQ(cells.text(2, 0), "b");
  EXPECT_EQ(cells.text(0, 0), "");
}
