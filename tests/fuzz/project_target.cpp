#include <algorithm>
#include <cstring>
#include <string>

#include "platform/bitmap/BmpFile.h"
#include "platform/system/Convert.h"
#include "platform/system/Files.h"
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

  // The load itself, with both strips read from what follows the text; no NUL stands for missing strips.
  try {
    const tlwk::LoadedProject p = tlwk::readProject(lines, "fuzz.", [&](const char*) {
      if (!nul) throw platform::FileError("Cannot open \"fuzz.bmp\"");
      return platform::decodeBmp(nul + 1, size - textSize - 1);
    });
    const tlwk::ProjectValues& v = p.values;
    check(p.tiles.width() == v.imageWidth && p.tiles.height() == v.imageHeight,
          "tiles have the announced size");
    check(p.tiles.count() == std::max(0, v.imageCount), "every announced tile is cut");
    check(p.frames.has_value() == (v.videoFrames > 0), "frames exactly when announced");
    if (p.frames) check(p.frames->count() == v.videoFrames, "every announced frame is cut");
  } catch (const tlwk::ProjectRefused&) {
  } catch (const platform::ConversionError&) {
  } catch (const platform::BitmapError&) {
  } catch (const platform::FileError&) {
  }
  return 0;
}

}  // namespace fuzz
