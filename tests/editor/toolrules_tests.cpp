#include <gtest/gtest.h>

#include <string>

#include "editor/ToolRules.h"

using platform::Color;
using pxwk::Buttons;
using pxwk::DrawingTool;
using pxwk::GridCoord;
namespace tools = pxwk::tools;

namespace {
constexpr Buttons kNone{}, kLeft{true, false}, kRight{false, true}, kBoth{true, true};
const DrawingTool* const kAllTools[] = {&tools::freehand,      &tools::line,           &tools::fill,
                                        &tools::pointer,       &tools::ellipse,        &tools::rectangle,
                                        &tools::filledEllipse, &tools::filledRectangle};
const Color kRed = platform::rgb(255, 0, 0), kBlue = platform::rgb(0, 0, 255);

// Stands in for the editor window on a white 10 x 10 image, with red on the left button and blue on the
// right: writes down what a tool asks of it, a run of cells painted in one colour as one word.
class Host final : public pxwk::ToolHost {
 public:
  Host() : image_(10, 10) {
    leftColour = kRed;
    rightColour = kBlue;
  }
  const platform::Bitmap& workingImage() const override { return image_; }
  platform::Bitmap& editWorkingImage() override { return image_; }
  platform::Bitmap& editWorkingImage(const platform::Rect&) override { return image_; }
  void PushUndo() override { note("undo"); }
  void imageChanged() override { note("image"); }
  void repaintGrid() override { note("redraw"); }
  void paintCell(GridCoord, Color c) override { note(name(c)); }
  void fillCell(GridCoord, Color c) override { note("cell-" + name(c)); }
  void showGrid() override { note("show"); }
  void movePaste(int, int) override { note("paste-moves"); }
  void commitPaste() override { note("paste-commits"); }

  // What was asked, then the state left: drag flags, an active selection, a band, a drawn pixel at cell.
  std::string outcome(GridCoord cell) {
    std::string s = log_;
    if (dragFlags.any())
      s += std::string(" flags-") + (dragFlags.left ? "L" : "") + (dragFlags.right ? "R" : "");
    if (selectionActive) s += " selecting";
    if (!pointBuffer.empty()) s += " band";
    if (image_.pixel(cell.col, cell.row) != platform::clWhite)
      s += " drawn-" + name(image_.pixel(cell.col, cell.row));
    return s.starts_with(' ') ? s.substr(1) : s;
  }

 private:
  static std::string name(Color c) {
    return c == kRed                ? "red"
           : c == kBlue             ? "blue"
           : c == platform::clWhite ? "white"
           : c == platform::clBlack ? "black"
                                    : "other";
  }
  void note(const std::string& word) {
    if (log_.ends_with(word)) return;
    log_ += (log_.empty() ? "" : " ") + word;
  }
  platform::Bitmap image_;
  std::string log_;
};
}  // namespace

TEST(ToolRules, TheRightButtonsColourWinsWhenBothAreHeld) {
  const platform::Color l = platform::rgb(255, 0, 0), r = platform::rgb(0, 0, 255);
  EXPECT_EQ(pxwk::drawingColour(kLeft, l, r), l);
  EXPECT_EQ(pxwk::drawingColour(kRight, l, r), r);
  EXPECT_EQ(pxwk::drawingColour(kBoth, l, r), r);
}

TEST(ToolRules, APressActsByToolAndTheButtonsHeld) {
  const GridCoord c{3, 4};
  const struct {
    const DrawingTool& tool;
    Buttons held;
    const char* outcome;
  } cases[] = {
      {tools::fill, kRight, "undo image redraw drawn-blue"},
      {tools::freehand, kLeft, "undo image cell-red drawn-red"},
      {tools::line, kBoth, "flags-LR"},
      {tools::ellipse, kLeft, "flags-L"},
      {tools::filledEllipse, kRight, "flags-R"},
      {tools::rectangle, kRight, "flags-R"},
      {tools::filledRectangle, kLeft, "flags-L"},
      {tools::pointer, kLeft, "selecting"},
      {tools::pointer, kBoth, "selecting"},
      {tools::pointer, kRight, ""},
  };
  for (const auto& k : cases) {
    Host host;
    k.tool.press(host, c, k.held);
    EXPECT_EQ(host.outcome(c), k.outcome) << k.outcome;
    if (host.dragFlags.any() || host.selectionActive) {
      EXPECT_EQ(host.anchor, c) << k.outcome;
    }
    if (host.selectionActive) {
      EXPECT_EQ(host.selectionStart, c);
    }
  }
  for (const DrawingTool* t : kAllTools) {
    Host host;
    t->press(host, c, kNone);
    EXPECT_EQ(host.outcome(c), "") << "a middle button alone";
  }
}

TEST(ToolRules, DragBlocksNeedTheirFlagsAndButtons) {
  const GridCoord anchor{4, 4}, c{2, 3};
  const struct {
    const char* name;
    const DrawingTool& tool;
    Buttons held, flags;
    bool selection, paste;
    const char* outcome;
  } cases[] = {
      {"freehand needs no flag", tools::freehand, kRight, kNone, false, false, "image blue show drawn-blue"},
      {"line with a flag of the other button", tools::line, kRight, kLeft, false, false,
       "red show flags-L band"},
      {"line without a flag", tools::line, kLeft, kNone, false, false, ""},
      {"ellipse flag and button must match", tools::ellipse, kRight, kLeft, false, false, "flags-L"},
      {"both ellipse bands, the right one last", tools::filledEllipse, kBoth, kBoth, false, false,
       "red white blue show flags-LR band"},
      {"rectangle pressed outside the grid", tools::rectangle, kLeft, kNone, false, false, ""},
      {"rectangle in the colour held, with either flag", tools::filledRectangle, kLeft, kRight, false, false,
       "red show flags-R band"},
      {"marquee of an active selection", tools::pointer, kLeft, kNone, true, false,
       "black show selecting band"},
      {"no marquee without a selection", tools::pointer, kLeft, kNone, false, false, ""},
      {"no marquee with the right button", tools::pointer, kRight, kNone, true, false, "selecting"},
      {"the floating paste moves alone", tools::pointer, kLeft, kNone, true, true, "paste-moves selecting"},
  };
  for (const auto& k : cases) {
    Host host;
    host.anchor = anchor;
    host.dragFlags = k.flags;
    host.selectionActive = k.selection;
    host.floatingPasteActive = k.paste;
    k.tool.drag(host, c, k.held, 0, 0);
    EXPECT_EQ(host.outcome(c), k.outcome) << k.name;
  }
}

TEST(ToolRules, AReleaseActsByToolFlagsAndStateNotByButton) {
  // Released two cells right of the anchor, with the band of a line between them on the grid.
  const GridCoord anchor{4, 4}, c{6, 4};
  const struct {
    const DrawingTool& tool;
    Buttons flags;
    bool selection, paste;
    const char* outcome;
  } cases[] = {
      {tools::line, kRight, false, false, "blue show image drawn-blue"},
      {tools::ellipse, kBoth, false, false, "undo image redraw flags-R drawn-red"},
      {tools::filledEllipse, kRight, false, false, "undo image redraw drawn-blue"},
      {tools::filledRectangle, kBoth, false, false, "undo image redraw flags-R drawn-red"},
      {tools::rectangle, kRight, false, false, "undo image redraw drawn-blue"},
      {tools::rectangle, kNone, true, false, "selecting band"},
      {tools::pointer, kNone, true, false, "selecting"},
      {tools::pointer, kLeft, false, false, "flags-L band"},
      {tools::pointer, kNone, true, true, "paste-commits selecting band"},
      {tools::pointer, kNone, false, true, "paste-commits band"},
      {tools::fill, kBoth, true, true, "flags-LR selecting band"},
  };
  for (const auto& k : cases) {
    Host host;
    host.anchor = host.selectionStart = anchor;
    host.dragFlags = k.flags;
    host.selectionActive = k.selection;
    host.floatingPasteActive = k.paste;
    pxwk::TraceLine(host.pointBuffer, host.workingImage(), anchor.col, anchor.row, c.col, c.row);
    k.tool.release(host, c);
    EXPECT_EQ(host.outcome(c), k.outcome) << k.outcome;
    if (&k.tool == &tools::pointer && k.selection && !k.paste) {
      EXPECT_EQ(host.selectionStart, anchor);
      EXPECT_EQ(host.selectionEnd, c);
    }
  }
}

TEST(ToolRules, TheFilledRectangleSeedLiesDiagonallyInsideTheAnchorCorner) {
  const GridCoord a{10, 20};
  const struct {
    GridCoord released;
    std::optional<GridCoord> seed;
  } cases[] = {
      {{12, 18}, GridCoord{11, 19}}, {{12, 22}, GridCoord{11, 21}}, {{8, 22}, GridCoord{9, 21}},
      {{8, 18}, GridCoord{9, 19}},   {{10, 25}, std::nullopt},      {{4, 20}, std::nullopt},
      {{11, 21}, GridCoord{11, 21}},  // two cells wide: the seed is on the outline
  };
  for (const auto& c : cases)
    EXPECT_EQ(pxwk::filledRectangleSeed(a, c.released), c.seed) << c.released.col << ", " << c.released.row;
}

TEST(ToolRules, NormalisingSwapsColumnsAndRowsIndependently) {
  const struct {
    GridCoord start, end, wantStart, wantEnd;
  } cases[] = {
      {{5, 5}, {2, 8}, {2, 5}, {5, 8}}, {{2, 8}, {5, 5}, {2, 5}, {5, 8}}, {{5, 8}, {2, 5}, {2, 5}, {5, 8}},
      {{1, 1}, {3, 4}, {1, 1}, {3, 4}}, {{4, 4}, {4, 4}, {4, 4}, {4, 4}}, {{3, -1}, {-1, 2}, {-1, -1}, {3, 2}},
  };
  for (auto c : cases) {
    pxwk::normaliseSelection(c.start, c.end);
    EXPECT_EQ(c.start, c.wantStart);
    EXPECT_EQ(c.end, c.wantEnd);
  }
}
