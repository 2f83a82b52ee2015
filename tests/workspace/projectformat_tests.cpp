#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/core/Convert.h"
#include "workspace/ProjectFormat.h"

using namespace tlwk;

TEST(LineBuffer, AnyLineEndEndsALineAndWritingUsesCrLf) {
  const LineBuffer b("a\r\nb\rc\nd\n\ne");
  const char* lines[] = {"a", "b", "c", "d", "", "e"};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(b.line(k), lines[k]) << k;
  EXPECT_EQ(b.line(6), "") << "past the end is empty";
  EXPECT_EQ(b.line(-1), "");
  EXPECT_EQ(LineBuffer().line(0), "");
  std::string written;
  writeProjectText(
      ProjectValues{1, 8, 8, 2, 1, 5, 0},
      [](int c, int) -> const std::string& {
        static const std::string cells[] = {"x", ""};
        return cells[c];
      },
      [&](const char* data, std::size_t size) { written.append(data, size); });
  EXPECT_EQ(written.substr(written.size() - 5), "x\r\n\r\n");
}

// Lines are found as they are asked for; asked in any order, past the last found and back, they are the
// same lines.
TEST(LineBuffer, LinesAskedInAnyOrderAreTheLinesOfTheText) {
  std::string text;
  std::vector<std::string> expected;
  const char* ends[] = {"\r\n", "\n", "\r", "\n\r"};
  for (int k = 0; k < 300; ++k) {
    expected.push_back(k % 8 == 1 ? "" : std::to_string(k * 31));  // empty after a CR LF only
    text += expected.back() + ends[k % 4];
    if (k % 4 == 3) expected.push_back("");  // LF CR is two line ends
  }
  const LineBuffer b(text);
  for (int k : {299, 0, 64, 63, 65, 200, 128, 1, 127, 129, 400, 191, 192, 5, 6, 7})
    EXPECT_EQ(b.line(k), k < static_cast<int>(expected.size()) ? expected[static_cast<std::size_t>(k)] : "")
        << k;
  for (std::size_t k = 0; k < expected.size(); ++k) EXPECT_EQ(b.line(static_cast<int>(k)), expected[k]) << k;
  EXPECT_EQ(b.line(static_cast<int>(expected.size())), "");
  LineBuffer c(text);
  c = LineBuffer("a\nb");
  EXPECT_EQ(c.line(1), "b") << "a new text forgets the lines found before";
  EXPECT_EQ(c.line(200), "");
  std::string open;
  for (int k = 0; k < 192; ++k) open += std::to_string(k) + (k < 191 ? "\n" : "");
  const LineBuffer d(open);
  EXPECT_EQ(d.line(250), "");
  EXPECT_EQ(d.line(191), "191") << "the last line without its line end";
  EXPECT_EQ(d.line(192), "");
}

TEST(ProjectValue, IsFoundByPositionAfterTheFirstEquals) {
  const LineBuffer b("head\nColumns=7\n12\nA=B=3\nRows=\nRows=x\nFramesPerSec=-4");
  EXPECT_EQ(projectValue(b, 1), 7);
  EXPECT_EQ(projectValue(b, 2), 12) << "a line without = converts whole";
  EXPECT_EQ(projectValue(b, 6), -4);
  for (int k : {3, 4, 5, 9}) EXPECT_THROW(projectValue(b, k), platform::ConversionError) << k;
}

TEST(ProjectHead, WritesTheHeaderAndSevenKeysInOrder) {
  std::string text;
  writeProjectText(
      ProjectValues{3, 16, 24, 4, 2, 5, 0},
      [](int, int) -> const std::string& {
        static const std::string empty;
        return empty;
      },
      [&](const char* data, std::size_t size) { text.append(data, size); });
  EXPECT_EQ(text,
            "tlwkproj file\r\nImageCount=3\r\nImageWidth=16\r\nImageHeight=24\r\nColumns=4\r\nRows=2\r\n"
            "FramesPerSec=5\r\nVideoFrames=0\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n")
      << "and one empty line per cell";
}

// The streamed text is the header, the keys and one CR LF line per cell, row by row, whatever the pieces:
// cells cross the pieces' ends, and a cell longer than a piece goes out whole.
TEST(ProjectText, IsEveryLineInOrderSentInBoundedPieces) {
  const struct {
    int columns, rows;
    std::size_t longCell;
  } cases[] = {{4, 2, 0}, {0, 5, 0}, {1100, 1000, 0}, {3, 3, kProjectTextPiece + 7}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.columns << " x " << c.rows);
    std::vector<std::string> cells;
    for (int r = 0; r < c.rows; ++r)
      for (int col = 0; col < c.columns; ++col)
        cells.push_back((col * 7 + r) % 13 == 0 ? "" : std::to_string(col * 31 + r));
    if (c.longCell) cells[4] = std::string(c.longCell, '9');
    std::string expected = "tlwkproj file\r\nImageCount=3\r\nImageWidth=16\r\nImageHeight=24\r\nColumns=" +
                           std::to_string(c.columns) + "\r\nRows=" + std::to_string(c.rows) +
                           "\r\nFramesPerSec=5\r\nVideoFrames=-2\r\n";
    for (const auto& cell : cells) expected += cell + "\r\n";
    std::string text;
    std::size_t largest = 0;
    writeProjectText(
        ProjectValues{3, 16, 24, c.columns, c.rows, 5, -2},
        [&](int col, int r) -> const std::string& {
          return cells.at(static_cast<std::size_t>(r * c.columns + col));
        },
        [&](const char* data, std::size_t size) {
          text.append(data, size);
          largest = std::max(largest, size);
        });
    EXPECT_EQ(text, expected);
    EXPECT_LE(largest, std::max(kProjectTextPiece, c.longCell));
  }
}

TEST(ProjectNames, BaseNameDropsThreeCharactersAndSaveAsAddsPrjUnlessPresent) {
  EXPECT_EQ(projectBaseName("/games/level1.prj"), "/games/level1.");
  EXPECT_EQ(projectBaseName("/games/LEVEL.PRJ"), "/games/LEVEL.");
  EXPECT_EQ(withProjectExtension("/g/level.txt"), "/g/level.txt.prj");
  EXPECT_EQ(withProjectExtension("/g/LEVEL.PRJ"), "/g/LEVEL.PRJ");
  EXPECT_EQ(withProjectExtension("/g/level.Prj"), "/g/level.Prj");
  EXPECT_EQ(withProjectExtension("/g.prj/level"), "/g.prj/level.prj");
}

TEST(ProjectBounds, SizesNoProjectCanHaveAreRefusedOnTheValuesThatConvert) {
  const auto values = [](const char* text) {
    const LineBuffer b(std::string("tlwkproj file\n") + text);
    return readKeyValues([&](int k) { return projectValue(b, k); });
  };
  EXPECT_FALSE(projectTooLarge(values("n=262144\n8\n8\n512\n512\n5\n0")));
  EXPECT_FALSE(projectTooLarge(values("n=-5\n32\n32\n0\n-3\n0\n-1"))) << "odd counts load as written";
  EXPECT_FALSE(projectTooLarge(values("n=x\n32\n32\n10\n10\n5\n0")));
  const char* refused[] = {
      "n=1\n0\n32\n1\n1\n5\n0",       "n=1\n32\n-1\n1\n1\n5\n0",      "n=1\n5000\n32\n1\n1\n5\n0",
      "n=300000\n32\n32\n1\n1\n5\n0", "n=1\n32\n32\n1\n1\n5\n300000", "n=1\n8\n8\n4096\n4096\n5\n0",
      "n=1\nx\n8\n99999999\n1\n5\n0",
  };
  for (const char* r : refused) EXPECT_TRUE(projectTooLarge(values(r))) << r;
}

// Short frame strips load padded with white, but the white may not cost far more than the strip holds.
TEST(ProjectBounds, WhiteFramesStayInProportionToTheFrameStrip) {
  const struct {
    std::int64_t announced;
    int stripW, stripH, frameW, frameH;
    bool refused;
    std::uint64_t bytes = 0;  // 0: as the program saves it, uncompressed at 24 bits a pixel
  } cases[] = {
      {5, 64, 32, 32, 32, false},                // two frames held, three white
      {9, 1, 1, 32, 32, false},                  // a few white frames of a small tile
      {10, 1, 1, 32, 32, false},                 // the count itself is no bound
      {4096, 1, 1, 32, 32, false},               // white pixels up to the fixed allowance
      {4097, 1, 1, 32, 32, true},                // and beyond it
      {14, 448, 32, 100, 100, false},            // frames recorded at 32 x 32, then tiles of 100 x 100
      {14, 448, 32, 100, 32, false},             // ... of 100 x 32
      {20, 320, 32, 32, 32, false},              // ten held, ten white
      {20000, 160000, 8, 100, 100, false},       // the smallest tile Add takes, then the largest
      {20000, 160000, 8, 100, 100, true, 4000},  // the same strip compressed into few bytes
      {268435456, 1, 1, 1, 1, true},             // a count no strip of one pixel can back
      {9, 1, 1, 4096, 4096, true},               // nine frames of the largest size from one pixel
      {1, 1, 1, 4096, 4096, true},               // even one
      {3, 8192, 4096, 4096, 4096, false},        // a real strip of two large frames, one white
      {0, 1, 1, 4096, 4096, false},              // no frames asks for nothing
      // A strip one pixel wide but tall covers a column of the first frame, not its own pixels' worth.
      {419, 1, 4194304, 100, 100, false, 1080},
      {420, 1, 4194304, 100, 100, true, 1080},
  };
  for (const auto& c : cases) {
    const std::uint64_t bytes =
        c.bytes ? c.bytes
                : 54 + (std::uint64_t{static_cast<std::uint32_t>(c.stripW)} * 3 + 3) / 4 * 4 * c.stripH;
    EXPECT_EQ(framesBeyondStrip(c.announced, c.stripW, c.stripH, bytes, c.frameW, c.frameH).has_value(),
              c.refused)
        << c.announced << " frames of " << c.frameW << " x " << c.frameH << " from " << c.stripW << " x "
        << c.stripH;
  }
}

// What a save is about to write is judged by the bounds its load applies: at each bound it passes, one
// past it the save is refused naming the strip or the work space and what to reduce.
TEST(ProjectBounds, ASaveIsRefusedJustPastEachBoundItsLoadApplies) {
  const struct {
    ProjectValues v;  // tiles, width, height, columns, rows, speed, frames
    int frameW, frameH;
    std::uint64_t text;
    const char* refusal;  // nullptr: saved
  } cases[] = {
      {{1, 4096, 4096, 1, 1, 5, 0}, 32, 32, 100, nullptr},
      {{1, 4097, 8, 1, 1, 5, 0},
       32,
       32,
       100,
       "The tile strip cannot hold tiles of 4097 x 8 pixels; use tiles of at most 4096 pixels a side.."},
      {{26843, 100, 100, 1, 1, 5, 0}, 32, 32, 100, nullptr},
      {{26844, 100, 100, 1, 1, 5, 0},
       32,
       32,
       100,
       "The tile strip cannot hold 26844 tiles of 100 x 100 pixels; delete tiles to leave at most 26843.."},
      {{1, 100, 100, 1, 1, 5, 26843}, 100, 100, 100, nullptr},
      {{1, 100, 100, 1, 1, 5, 26844},
       100,
       100,
       100,
       "The frame strip cannot hold 26844 frames of 100 x 100 pixels; delete frames to leave at most 26843.."},
      {{1, 100, 100, 1, 1, 5, 26843}, 8, 8, 100, nullptr},
      {{1, 100, 100, 1, 1, 5, 26844},
       8,
       8,
       100,
       "The frame strip cannot hold 26844 frames of 8 x 8 pixels that load at the tile size, 100 x 100 pixels; "
       "delete frames to leave at most 26843.."},
      {{1, 8, 8, 1, 1, 5, 26844},
       100,
       100,
       100,
       "The frame strip cannot hold 26844 frames of 100 x 100 pixels that load at the tile size, 8 x 8 pixels; "
       "delete frames to leave at most 26843.."},
      {{1, 100, 100, 1, 1, 5, 419}, 1, 1, 100, nullptr},
      {{1, 100, 100, 1, 1, 5, 420},
       1,
       1,
       100,
       "The frame strip cannot hold 420 frames of 1 x 1 pixels that load at the tile size, 100 x 100 pixels; "
       "delete frames to leave at most 419.."},
      {{1, 4096, 4096, 1, 1, 5, 3},
       8,
       8,
       100,
       "The frame strip cannot hold 3 frames of 8 x 8 pixels that load at the tile size, 4096 x 4096 pixels; "
       "erase the frames.."},
      {{1, 8, 8, 2048, 2048, 5, 0}, 32, 32, 100, nullptr},
      {{1, 8, 8, 5, 838861, 5, 0},
       32,
       32,
       100,
       "The work space cannot hold 5 x 838861 cells; reduce it to at most 4194304 cells.."},
      {{1, 8, 8, 1, 1, 5, 0}, 32, 32, kMaxProjectFileBytes, nullptr},
      {{1, 8, 8, 1, 1, 5, 0},
       32,
       32,
       kMaxProjectFileBytes + 1,
       "The cells of the work space make a project file of 134217729 bytes, larger than a project file can be "
       "(134217728); empty some cells.."},
  };
  for (const auto& c : cases) {
    const auto why = saveTooLarge({c.v, c.frameW, c.frameH, c.text});
    EXPECT_EQ(why.value_or("saved"), c.refusal ? c.refusal : "saved")
        << c.v.imageCount << " tiles, " << c.v.videoFrames << " frames of " << c.frameW << " x " << c.frameH;
  }
}

// The sizes a save judges are those its writers give: the text's bytes, and the strip's for its frames.
TEST(ProjectBounds, TheSizesASaveJudgesAreTheSizesItWrites) {
  const std::vector<std::string> cells = {"", "12", "", std::string(3000, '7'), "word", "0"};
  for (const auto& [columns, rows] : {std::pair{3, 2}, std::pair{6, 1}, std::pair{0, 4}}) {
    const ProjectValues v{3, 16, 24, columns, rows, 5, 2};
    const CellText cell = [&](int c, int r) -> const std::string& {
      return cells.at(static_cast<std::size_t>(r * columns + c));
    };
    std::uint64_t written = 0;
    writeProjectText(v, cell, [&](const char*, std::size_t size) { written += size; });
    EXPECT_EQ(projectTextBytes(v, cell), written) << columns << " x " << rows;
  }
  for (const auto& [count, w, h] : {std::tuple{1, 1, 1}, std::tuple{3, 5, 2}, std::tuple{7, 8, 8}}) {
    platform::ImageList list(w, h);
    for (int i = 0; i < count; ++i) list.add(platform::Bitmap(w, h));
    std::uint64_t written = 0;
    platform::writeBmpStrip([&](std::uint64_t, const void*, std::size_t size) { written += size; }, list);
    EXPECT_EQ(platform::bmpStripBytes(count, w, h), written) << count << " of " << w << " x " << h;
  }
}
