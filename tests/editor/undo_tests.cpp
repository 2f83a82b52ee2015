#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "editor/UndoHistory.h"

using platform::Bitmap;
using platform::Color;
using platform::PixelFormat;
using pxwk::UndoHistory;

namespace {

// Runs a script over a 3 x 3 working image: 'P' pushes, 'D' draws (each draw makes a new picture,
// numbered from 1; the blank start is picture 0), 'U' undoes. Tells which picture each further Undo
// restores until the history is empty.
struct Session {
  Bitmap working{3, 3};
  std::vector<Bitmap> pictures{working};
  UndoHistory history;

  Session() { history.reset(3, 3); }

  void run(const std::string& script) {
    for (const char step : script) {
      if (step == 'P') history.push(working);
      if (step == 'D') {
        const int k = static_cast<int>(pictures.size());
        working.setPixel(k % 3, k / 3 % 3, platform::rgb(k * 20, 0, 0));
        pictures.push_back(working);
      }
      if (step == 'U') history.undo(working);
    }
  }

  int pictureNumber() const {
    for (std::size_t i = 0; i < pictures.size(); ++i)
      if (pictures[i] == working) return static_cast<int>(i);
    return -1;
  }

  std::vector<int> undoAll() {
    std::vector<int> restored;
    while (history.undo(working)) restored.push_back(pictureNumber());
    return restored;
  }
};

Bitmap solid(int w, int h, Color c, PixelFormat f = PixelFormat::pf24bit) {
  Bitmap b(w, h, f);
  b.fillRect({0, 0, w, h}, c);
  return b;
}

}  // namespace

TEST(UndoHistory, UndoStepsOfTheEditorsCommands) {
  const struct {
    const char* event;
    const char* script;
    int position, shown;  // undo position and picture on show after the script
    std::vector<int> undone;
  } cases[] = {
      {"freehand stroke or fill: press, draw, release", "PDP", 1, 1, {1, 0}},
      {"left-button line, ellipse or rectangle: release, commit push, draw", "PPD", 1, 1, {0, 0}},
      {"paste, then the release that commits it", "PPD", 1, 1, {0, 0}},
      {"right-button line, or a rotation", "PD", 0, 1, {0}},
      {"selection, cancelled shape or Copy", "P", 0, 0, {0}},
      {"fill on its own colour", "PP", 1, 0, {0, 0}},
      {"double click with fill", "PDPPP", 3, 1, {1, 1, 1, 0}},
      {"undo with an empty history", "U", -1, 0, {}},
      {"undo at position 0 draws snapshot 0 and empties the history", "PDU", -1, 0, {}},
      {"a push after undo overwrites the undone snapshots", "PDPDPUUPD", 1, 3, {1, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.event);
    Session s;
    s.run(c.script);
    EXPECT_EQ(s.history.undoPosition(), c.position);
    EXPECT_EQ(s.history.canUndo(), c.position >= 0);
    EXPECT_EQ(s.pictureNumber(), c.shown);
    EXPECT_EQ(s.undoAll(), c.undone);
    EXPECT_EQ(s.history.undoPosition(), -1);
    EXPECT_FALSE(s.history.canUndo());
    EXPECT_FALSE(s.history.undo(s.working));
    EXPECT_EQ(s.pictureNumber(), c.undone.empty() ? c.shown : c.undone.back())
        << "an empty history draws nothing";
  }
}

TEST(UndoHistory, UndoneSnapshotsStayAsStorageThatPushesOverwrite) {
  Session s;
  s.run("PDPDPUU");
  EXPECT_EQ(s.history.count(), 3);
  EXPECT_EQ(s.history.undoPosition(), 0);
  s.run("PD");
  EXPECT_EQ(s.history.count(), 3);
  EXPECT_EQ(s.history.undoPosition(), 1);
}

TEST(UndoHistory, ResetEmptiesTheHistoryAndAChangedSizeEmptiesTheList) {
  const struct { int width, height, count; } cases[] = {{3, 3, 2}, {4, 3, 0}, {3, 4, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    Session s;
    s.run("PDPD");
    const int drawn = s.pictureNumber();
    s.history.reset(c.width, c.height);
    EXPECT_EQ(s.history.count(), c.count);
    EXPECT_EQ(s.history.undoPosition(), -1);
    EXPECT_FALSE(s.history.undo(s.working));
    EXPECT_EQ(s.pictureNumber(), drawn) << "images of the earlier document are never drawn";
    if (c.count == 0) {
      EXPECT_EQ(s.history.bytes(), 0u);
    }
  }
}

TEST(UndoHistory, ASnapshotKeepsTheListsSizeLikeAnImageList) {
  UndoHistory history;
  history.reset(3, 2);
  Bitmap working = solid(2, 4, platform::rgb(0, 0, 255));
  history.push(working);
  Bitmap restored = solid(3, 2, platform::clBlack);
  ASSERT_TRUE(history.undo(restored));
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(restored.pixel(x, y), x < 2 ? platform::rgb(0, 0, 255) : platform::clWhite) << x << ", " << y;
  }
}

TEST(UndoHistory, UndoRestoresPixelValuesNotJustColours) {
  // Entries 0 and 1 are both black: a colour-only copy would bring index 1 back as index 0.
  Bitmap working(2, 1, PixelFormat::pf8bit);
  working.setColorTable({platform::clBlack, platform::clBlack, platform::clWhite});
  working.setIndex(0, 0, 1);
  working.setIndex(1, 0, 2);
  const Bitmap before = working;
  UndoHistory history;
  history.reset(2, 1);
  history.push(working);
  working.setIndex(0, 0, 0);
  working.setIndex(1, 0, 0);
  ASSERT_TRUE(history.undo(working));
  EXPECT_EQ(working, before);
}

TEST(UndoHistory, BeyondTheBudgetTheOldestSnapshotsGo) {
  const std::size_t each = UndoHistory::snapshotBytes(Bitmap(3, 3));
  const struct {
    const char* name;
    std::size_t budget;
    int kept;
  } cases[] = {{"room for three", 3 * each, 3},
               {"room for three and a half", 3 * each + each / 2, 3},
               {"not even one: the newest stays", each / 2, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Session s;
    s.history = UndoHistory(c.budget);
    s.history.reset(3, 3);
    s.run("DPDPDPDPDP");
    EXPECT_EQ(s.history.count(), c.kept);
    EXPECT_EQ(s.history.undoPosition(), c.kept - 1);
    EXPECT_LE(s.history.bytes(), std::max(c.budget, each));
    std::vector<int> newest;
    for (int k = 0; k < c.kept; ++k) newest.push_back(5 - k);
    EXPECT_EQ(s.undoAll(), newest);
  }
}

TEST(UndoHistory, StorageGivesWayBeforeAnySnapshotThatCanBeUndone) {
  const std::size_t plain = UndoHistory::snapshotBytes(Bitmap(3, 3));
  Bitmap withPalette(3, 3);
  withPalette.setColorTable(platform::palette332());
  withPalette.setPixel(1, 1, platform::clBlack);
  const std::size_t big = UndoHistory::snapshotBytes(withPalette);
  // Three plain snapshots fit; after two undos, snapshot 0 and the bigger push fit only without the storage.
  const std::size_t budget = plain + big + UndoHistory::snapshotBytes(Bitmap());
  ASSERT_GE(budget, 3 * plain);
  Session s;
  s.history = UndoHistory(budget);
  s.history.reset(3, 3);
  s.run("PDPDPUU");
  ASSERT_EQ(s.history.count(), 3);
  s.history.push(withPalette);
  EXPECT_EQ(s.history.undoPosition(), 1);
  EXPECT_LE(s.history.bytes(), budget);
  ASSERT_TRUE(s.history.undo(s.working));
  EXPECT_EQ(s.working.pixel(1, 1), platform::clBlack);
  ASSERT_TRUE(s.history.undo(s.working));
  EXPECT_EQ(s.pictureNumber(), 0);
}

TEST(UndoHistory, TheDefaultBudgetKeepsEverySnapshotOfTheEditorsDocumentsAndTiles) {
  // A thousand strokes of two snapshots each on the start document, a new document and a large tile.
  const struct {
    int width, height;
    PixelFormat format;
  } cases[] = {
      {75, 75, PixelFormat::pf8bit}, {100, 100, PixelFormat::pf32bit}, {100, 100, PixelFormat::pf24bit}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    Bitmap working(c.width, c.height, c.format);
    if (c.format != PixelFormat::pf8bit) working.setColorTable(platform::palette332());
    const Bitmap original = working;
    UndoHistory history;
    history.reset(c.width, c.height);
    for (int stroke = 0; stroke < 1000; ++stroke) {
      history.push(working);
      working.setPixel(stroke % c.width, stroke / c.width, platform::clBlack);
      history.push(working);
    }
    EXPECT_EQ(history.count(), 2000);
    EXPECT_EQ(history.undoPosition(), 1999);
    EXPECT_LE(history.bytes(), history.budget());
    int undos = 0;
    while (history.undo(working)) ++undos;
    EXPECT_EQ(undos, 2000);
    EXPECT_EQ(working, original);
  }
}

TEST(UndoHistory, ALargeImageStaysWithinTheBudgetOverHundredsOfStrokes) {
  const Bitmap probe(256, 256, PixelFormat::pf32bit);
  const std::size_t each = UndoHistory::snapshotBytes(probe);
  const std::size_t budget = 8 * each;  // a 256 MiB budget against a 4096 x 4096 image, scaled down
  UndoHistory history(budget);
  history.reset(256, 256);
  Bitmap working = probe;
  for (int stroke = 0; stroke < 300; ++stroke) {
    history.push(working);
    working.setPixel(stroke % 256, stroke / 256, platform::clBlack);
    history.push(working);
    ASSERT_LE(history.bytes(), budget);
  }
  EXPECT_EQ(history.count(), 8);
  EXPECT_EQ(history.undoPosition(), 7);
  // The newest eight pushes remain: from the one before stroke 296 to the one after stroke 299.
  ASSERT_TRUE(history.undo(working));
  EXPECT_EQ(working.pixel(299 % 256, 1), platform::clBlack);
  while (history.undo(working)) {
  }
  EXPECT_EQ(working.pixel(295 % 256, 1), platform::clBlack);
  EXPECT_EQ(working.pixel(296 % 256, 1), platform::clWhite);
}

// The budget comes from the machine's memory, which each case gives, so the test machine's does not count.
// Each stroke pushes before and after it, as a freehand stroke does; every stroke blackens its own pixel.
TEST(UndoHistory, TheMachinesMemoryBoundsTheHistoryAndTheOldestSnapshotsGoFirst) {
  constexpr std::size_t kMiB = std::size_t{1} << 20, kGiB = std::size_t{1} << 30;
  const struct {
    const char* name;
    std::size_t memory;
    int width, height;
    PixelFormat format;
    int strokes;
    int kept;  // snapshots left after the strokes
  } cases[] = {
      {"40 strokes on 1000 x 1000, 24 GiB: every one undoes", 24 * kGiB, 1000, 1000, PixelFormat::pf24bit, 40,
       80},
      {"1000 strokes on a 100 x 100 tile, 1 GiB", kGiB, 100, 100, PixelFormat::pf32bit, 1000, 2000},
      {"1000 strokes on the 8-bit start document, 1 GiB", kGiB, 75, 75, PixelFormat::pf8bit, 1000, 2000},
      {"40 strokes on 1000 x 1000, 64 MiB: the newest 8", 64 * kMiB, 1000, 1000, PixelFormat::pf24bit, 40, 8},
      {"2 strokes on 2000 x 2000, 16 MiB: the newest alone", 16 * kMiB, 2000, 2000, PixelFormat::pf32bit, 2, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UndoHistory history(pxwk::undoBudgetFor(c.memory));
    history.reset(c.width, c.height);
    Bitmap working(c.width, c.height, c.format);
    if (c.format != PixelFormat::pf8bit) working.setColorTable(platform::palette332());
    const auto cell = [&](int stroke) { return std::pair{stroke % c.width, stroke / c.width}; };
    for (int stroke = 0; stroke < c.strokes; ++stroke) {
      history.push(working);
      const auto [x, y] = cell(stroke);
      working.setPixel(x, y, platform::clBlack);
      history.push(working);
    }
    EXPECT_EQ(history.undoPosition(), c.kept - 1);
    EXPECT_LE(history.bytes(), std::max(history.budget(), UndoHistory::snapshotBytes(working)));
    int undos = 0;
    while (history.undo(working)) ++undos;
    EXPECT_EQ(undos, c.kept);
    // The oldest snapshot left is the one pushed before stroke `first`: strokes before it stay drawn.
    const int first = c.strokes - c.kept / 2;
    for (int stroke = 0; stroke < c.strokes; ++stroke) {
      const auto [x, y] = cell(stroke);
      EXPECT_EQ(working.pixel(x, y), stroke < first ? platform::clBlack : platform::clWhite)
          << "stroke " << stroke;
    }
  }
}
