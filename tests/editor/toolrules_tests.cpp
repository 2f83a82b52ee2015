#include <gtest/gtest.h>

#include "editor/ToolRules.h"

using pxwk::Buttons;
using pxwk::DragBlocks;
using pxwk::GridCoord;
using pxwk::PressRow;
using pxwk::ReleaseRow;
using pxwk::Tool;

namespace {
constexpr Buttons kNone{}, kLeft{true, false}, kRight{false, true}, kBoth{true, true};
constexpr Tool kAllTools[] = {Tool::Freehand, Tool::Line,      Tool::Fill,          Tool::Pointer,
                              Tool::Ellipse,  Tool::Rectangle, Tool::FilledEllipse, Tool::FilledRectangle};
}  // namespace

TEST(ToolRules, TheRightButtonsColourWinsWhenBothAreHeld) {
  const platform::Color l = platform::rgb(255, 0, 0), r = platform::rgb(0, 0, 255);
  EXPECT_EQ(pxwk::drawingColour(kLeft, l, r), l);
  EXPECT_EQ(pxwk::drawingColour(kRight, l, r), r);
  EXPECT_EQ(pxwk::drawingColour(kBoth, l, r), r);
}

TEST(ToolRules, APressActsByToolAndTheButtonsHeld) {
  const struct {
    Tool tool;
    Buttons held;
    PressRow row;
  } cases[] = {
      {Tool::Fill, kRight, PressRow::Fill},
      {Tool::Freehand, kLeft, PressRow::Freehand},
      {Tool::Line, kBoth, PressRow::Line},
      {Tool::Ellipse, kLeft, PressRow::Ellipse},
      {Tool::FilledEllipse, kRight, PressRow::Ellipse},
      {Tool::Rectangle, kRight, PressRow::Rectangle},
      {Tool::FilledRectangle, kLeft, PressRow::Rectangle},
      {Tool::Pointer, kLeft, PressRow::SelectionStart},
      {Tool::Pointer, kBoth, PressRow::SelectionStart},
      {Tool::Pointer, kRight, PressRow::None},
  };
  for (const auto& c : cases) EXPECT_EQ(pxwk::pressRow(c.tool, c.held), c.row) << static_cast<int>(c.tool);
  for (Tool t : kAllTools) EXPECT_EQ(pxwk::pressRow(t, kNone), PressRow::None) << "a middle button alone";
}

TEST(ToolRules, DragBlocksNeedTheirFlagsAndButtons) {
  const auto blocks = [](auto set) {
    DragBlocks b;
    set(b);
    return b;
  };
  const struct {
    const char* name;
    Tool tool;
    Buttons held, flags;
    bool selection, paste;
    DragBlocks expected;
  } cases[] = {
      {"freehand needs no flag", Tool::Freehand, kRight, kNone, false, false,
       blocks([](DragBlocks& b) { b.freehand = true; })},
      {"line with a flag of the other button", Tool::Line, kRight, kLeft, false, false,
       blocks([](DragBlocks& b) { b.line = true; })},
      {"line without a flag", Tool::Line, kLeft, kNone, false, false, DragBlocks{}},
      {"ellipse flag and button must match", Tool::Ellipse, kRight, kLeft, false, false, DragBlocks{}},
      {"both ellipse blocks", Tool::FilledEllipse, kBoth, kBoth, false, false,
       blocks([](DragBlocks& b) { b.ellipseLeft = b.ellipseRight = true; })},
      {"rectangle pressed outside the grid", Tool::Rectangle, kLeft, kNone, false, false, DragBlocks{}},
      {"rectangle with either flag", Tool::FilledRectangle, kLeft, kRight, false, false,
       blocks([](DragBlocks& b) { b.rectangle = true; })},
      {"marquee of an active selection", Tool::Pointer, kLeft, kNone, true, false,
       blocks([](DragBlocks& b) { b.marquee = true; })},
      {"no marquee without a selection", Tool::Pointer, kLeft, kNone, false, false, DragBlocks{}},
      {"no marquee with the right button", Tool::Pointer, kRight, kNone, true, false, DragBlocks{}},
      {"the floating paste moves alone", Tool::Pointer, kLeft, kNone, true, true,
       blocks([](DragBlocks& b) { b.pasteDrag = true; })},
  };
  for (const auto& c : cases)
    EXPECT_EQ(pxwk::dragBlocks(c.tool, c.held, c.flags, c.selection, c.paste), c.expected) << c.name;
}

TEST(ToolRules, AReleaseActsByToolFlagsAndStateNotByButton) {
  const struct {
    Tool tool;
    Buttons flags;
    bool selection, paste;
    ReleaseRow row;
  } cases[] = {
      {Tool::Line, kRight, false, false, ReleaseRow::Line},
      {Tool::Ellipse, kBoth, false, false, ReleaseRow::EllipseLeft},
      {Tool::FilledEllipse, kRight, false, false, ReleaseRow::EllipseRight},
      {Tool::FilledRectangle, kBoth, false, false, ReleaseRow::RectangleLeft},
      {Tool::Rectangle, kRight, false, false, ReleaseRow::RectangleRight},
      {Tool::Rectangle, kNone, true, false, ReleaseRow::None},
      {Tool::Pointer, kNone, true, false, ReleaseRow::SelectionEnd},
      {Tool::Pointer, kLeft, false, false, ReleaseRow::None},
      {Tool::Pointer, kNone, true, true, ReleaseRow::PasteCommit},
      {Tool::Pointer, kNone, false, true, ReleaseRow::PasteCommit},
      {Tool::Fill, kBoth, true, true, ReleaseRow::None},
  };
  for (const auto& c : cases)
    EXPECT_EQ(pxwk::releaseRow(c.tool, c.flags, c.selection, c.paste), c.row) << static_cast<int>(c.tool);
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
