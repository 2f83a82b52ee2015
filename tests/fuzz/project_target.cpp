#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/core/BmpFile.h"
#include "platform/core/Convert.h"
#include "platform/core/Files.h"
#include "tests/fuzz/FuzzTargets.h"
#include "workspace/ProjectFormat.h"

namespace fuzz {

namespace {

bool sameImages(const platform::ImageList& a, const platform::ImageList& b) {
  if (a.count() != b.count() || a.width() != b.width() || a.height() != b.height()) return false;
  const std::size_t words = static_cast<std::size_t>(a.width()) * static_cast<std::size_t>(a.height());
  for (int i = 0; i < a.count(); ++i)
    if (!std::equal(a.words(i), a.words(i) + words, b.words(i))) return false;
  return true;
}

// Reads the numbers of lines as the window's ReadProjectValue does.
tlwk::ValueReader valuesOf(const tlwk::LineBuffer& lines) {
  return [&lines](int k) { return tlwk::projectValue(lines, k); };
}

// What a load gave, saved as the window saves it (the grid keeps at least one column and row, its cells
// are the text's lines), loads again as the same project.
void saveAndLoadAgain(const tlwk::LineBuffer& lines, const tlwk::LoadedProject& p) {
  const tlwk::ProjectValues& v = p.values;
  const std::int64_t columns = std::max(1, v.columns), rows = std::max(1, v.rows);
  // Work spaces this large are saved by the tests; here they would only slow the search.
  if (p.tiles.count() == 0 || columns * rows > (1 << 16)) return;
  const tlwk::ProjectValues saved{p.tiles.count(),
                                  p.tiles.width(),
                                  p.tiles.height(),
                                  int(columns),
                                  int(rows),
                                  v.framesPerSec,
                                  p.frames ? p.frames->count() : 0};
  std::string text, tileStrip, frameStrip, cell;
  tlwk::writeProjectText(
      saved,
      [&](int c, int r) -> const std::string& {
        cell = lines.line(tlwk::kFirstCellLine + r * static_cast<int>(columns) + c);
        return cell;
      },
      [&](const char* d, std::size_t n) { text.append(d, n); });
  const auto into = [](std::string& out) {
    return [&out](std::uint64_t at, const void* d, std::size_t n) {
      if (out.size() < at + n) out.resize(at + n);
      std::memcpy(out.data() + at, d, n);
    };
  };
  platform::writeBmpStrip(into(tileStrip), p.tiles);
  if (p.frames && p.frames->count() > 0) platform::writeBmpStrip(into(frameStrip), *p.frames);

  const tlwk::LineBuffer again(text);
  check(again.line(0) == tlwk::kProjectHeader, "a saved project has the header");
  const tlwk::LoadedProject q = tlwk::readProject(valuesOf(again), "fuzz.", [&](const char* ext) {
    const std::string& strip = std::string(ext) == "vid" ? frameStrip : tileStrip;
    return platform::BmpSource(
        platform::decodeBmp(reinterpret_cast<const std::uint8_t*>(strip.data()), strip.size()), strip.size());
  });
  const tlwk::ProjectValues& w = q.values;
  check(w.imageCount == saved.imageCount && w.imageWidth == saved.imageWidth &&
            w.imageHeight == saved.imageHeight && w.columns == saved.columns && w.rows == saved.rows &&
            w.framesPerSec == saved.framesPerSec && w.videoFrames == saved.videoFrames,
        "a saved project's values load back");
  check(sameImages(q.tiles, p.tiles), "a saved project's tiles load back");
  check(q.frames.has_value() == (saved.videoFrames > 0), "a saved project's frames load back");
  if (q.frames) check(sameImages(*q.frames, *p.frames), "a saved project's frames load back");
  for (int k = tlwk::kFirstCellLine; k < tlwk::kFirstCellLine + columns * rows; ++k)
    check(again.line(k) == lines.line(k), "a saved project's cells load back");
}

}  // namespace

int projectTarget(const std::uint8_t* data, std::size_t size) {
  const auto* nul = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
  const std::size_t textSize = nul ? static_cast<std::size_t>(nul - data) : size;
  const std::string text(reinterpret_cast<const char*>(data), textSize);
  const tlwk::LineBuffer lines(text);

  // The lines are those of the text, asked for in any order: a CR, an LF or a CR LF ends each.
  std::vector<std::string> expected(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      expected.back() += text[i];
      continue;
    }
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    expected.emplace_back();
  }
  if (expected.back().empty()) expected.pop_back();  // nothing follows the last line end
  const int count = static_cast<int>(expected.size());
  for (int k : {count, count / 2, 0, count - 1, count + 1})
    check(lines.line(k) == (k >= 0 && k < count ? expected[static_cast<std::size_t>(k)] : ""),
          "a line asked out of order is the text's line");
  for (int k = 0; k < count; ++k)
    check(lines.line(k) == expected[static_cast<std::size_t>(k)], "each line is the text's line");

  const tlwk::KeyValues values = tlwk::readKeyValues(valuesOf(lines));
  for (int k = tlwk::kImageCount; k <= tlwk::kVideoFrames; ++k) {
    try {
      check(values[k] == tlwk::projectValue(lines, k), "a key value reads the same both ways");
    } catch (const platform::ConversionError&) {
      check(!values[k], "a key value that does not convert is empty");
    }
  }
  // The key lines a save writes read back as the same values.
  if (std::all_of(values.begin() + 1, values.end(), [](const auto& v) { return v.has_value(); })) {
    // Without its cell lines when there would be many.
    tlwk::KeyValues saved = values;
    if (std::int64_t{std::max(0, *values[4])} * std::max(0, *values[5]) > (1 << 16)) saved[4] = saved[5] = 0;
    std::string head;
    const std::string empty;
    tlwk::writeProjectText(
        {*saved[1], *saved[2], *saved[3], *saved[4], *saved[5], *saved[6], *saved[7]},
        [&](int, int) -> const std::string& { return empty; },
        [&](const char* d, std::size_t n) { head.append(d, n); });
    check(tlwk::readKeyValues(valuesOf(tlwk::LineBuffer(head))) == saved,
          "key values survive writing and reading");
  }

  // The load itself, with both strips read from what follows the text; no NUL stands for missing strips.
  try {
    const tlwk::LoadedProject p = tlwk::readProject(valuesOf(lines), "fuzz.", [&](const char*) {
      if (!nul) throw platform::FileError("Cannot open \"fuzz.bmp\"");
      // As a load from a file: the strip's bytes bound what the load may take.
      return platform::BmpSource(platform::decodeBmp(nul + 1, size - textSize - 1), size - textSize - 1);
    });
    const tlwk::ProjectValues& v = p.values;
    check(p.tiles.width() == v.imageWidth && p.tiles.height() == v.imageHeight,
          "tiles have the announced size");
    check(p.tiles.count() == std::max(0, v.imageCount), "every announced tile is cut");
    check(p.frames.has_value() == (v.videoFrames > 0), "frames exactly when announced");
    if (p.frames) check(p.frames->count() == v.videoFrames, "every announced frame is cut");
    saveAndLoadAgain(lines, p);
  } catch (const tlwk::ProjectRefused&) {
  } catch (const platform::ConversionError&) {
  } catch (const platform::BitmapError&) {
  } catch (const platform::FileError&) {
  }
  return 0;
}

}  // namespace fuzz
