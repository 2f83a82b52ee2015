#include "editor/EditorRules.h"

#include <array>

namespace pxwk {

int PickInt(bool flag, int a, int b) { return flag ? a : b; }

platform::Color ContrastColour(platform::Color c) {
  const auto channel = [](int v) { return PickInt(v >= 128, 0, 255); };
  return platform::rgb(channel(platform::redOf(c)), channel(platform::greenOf(c)),
                       channel(platform::blueOf(c)));
}

std::string withF(const std::string& mark) { return mark.rfind('B', 0) == 0 ? "FB" : "F"; }

std::string withoutF(const std::string& mark) {
  if (mark == "FB") return "B";
  if (mark == "F") return "";
  return mark;
}

std::string withB(const std::string& mark) { return mark.rfind('F', 0) == 0 ? "FB" : "B"; }

std::string withoutB(const std::string& mark) {
  if (mark == "FB") return "F";
  if (mark == "B") return "";
  return mark;
}

MarkLetters lettersOf(const std::string& mark) {
  if (mark == "FB") return {true, true};
  return {mark.rfind('F', 0) == 0, mark.rfind('B', 0) == 0};
}

void giveEditorPalette(platform::Bitmap& bitmap, const std::vector<platform::Color>& palette) {
  if (bitmap.pixelFormat() != platform::PixelFormat::pf8bit) {
    if (!bitmap.indexed()) bitmap.setColorTable(palette);
    return;
  }
  const std::vector<platform::Color> old = bitmap.colorTable();
  bitmap.setColorTable(palette);
  std::array<std::uint8_t, 256> nearest{};
  for (std::size_t i = 0; i < nearest.size(); ++i) {
    // An index past the old table read as black.
    const platform::Color c = i < old.size() ? old[i] : platform::clBlack;
    nearest[i] = static_cast<std::uint8_t>(bitmap.nearestIndex(c));
  }
  // A file that carries the palette already keeps every index.
  bool same = true;
  for (std::size_t i = 0; i < nearest.size() && same; ++i) same = nearest[i] == i;
  if (same) return;
  const int width = bitmap.width();
  for (int y = 0; y < bitmap.height(); ++y) {
    std::uint8_t* row = bitmap.indexRow(y);
    for (int x = 0; x < width; ++x) row[x] = nearest[row[x]];
  }
}

}  // namespace pxwk
