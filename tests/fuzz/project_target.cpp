#include <algorithm>
#include <cstring>
#include <string>

#include "platform/bitmap/BmpFile.h"
#include "platform/bitmap/ImageList.h"
#include "platform/system/Convert.h"
#include "tests/fuzz/FuzzTargets.h"
#include "workspace/ProjectFormat.h"

namespace fuzz {

int projectTarget(const std::uint8_t* data, std::size_t size) {
  const auto* nul = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
  const std::size_t textSize = nul ? static_cast<std::size_t>(nul - data) : size;
  tlwk::LineBuffer lines;
  lines.setText(std::string(reinterpret_cast<const char*>(data), textSize));

  // What a save writes from the lines reads back as the same lines.
  tlwk::LineBuffer again;
  again.setText(lines.text());
  check(again.count() == lines.count(), "lines survive writing and reading");
  for (int k = 0; k < lines.count(); ++k)
    check(again.line(k) == lines.line(k), "lines survive writing and reading");

  const tlwk::KeyValues values = tlwk::readKeyValues(lines);
  for (int k = tlwk::kImageCount; k <= tlwk::kVideoFrames; ++k) {
    try {
      check(values[k] == tlwk::projectValue(lines, k), "a key value reads the same both ways");
    } catch (const platform::ConversionError&) {
      check(!values[k], "a key value that does not convert is empty");
    }
  }
  if (std::all_of(values.begin() + 1, values.end(), [](const auto& v) { return v.has_value(); })) {
    tlwk::LineBuffer head;
    tlwk::writeProjectHead(
        head, {*values[1], *values[2], *values[3], *values[4], *values[5], *values[6], *values[7]});
    check(tlwk::readKeyValues(head) == values, "key values survive writing and reading");
  }

  if (tlwk::projectTooLarge(values) || !nul) return 0;
  if (!values[tlwk::kImageCount] || !values[tlwk::kImageWidth] || !values[tlwk::kImageHeight]) return 0;
  platform::Bitmap strip;
  try {
    strip = platform::decodeBmp(nul + 1, size - textSize - 1);
  } catch (const platform::BitmapError&) {
    return 0;
  }
  const std::int32_t n = *values[tlwk::kImageCount], w = *values[tlwk::kImageWidth],
                     h = *values[tlwk::kImageHeight];
  if (n <= 0 || strip.width() < std::int64_t{n} * w || strip.height() < h) return 0;
  platform::ImageList tiles(w, h);
  tiles.appendTiles(strip, n, n);
  check(tiles.count() == n, "every announced tile is cut");
  const int last = n - 1;
  check(tiles.words(last)[0] == strip.wordAt(last * w, 0), "the last tile starts where the strip has it");
  return 0;
}

}  // namespace fuzz
