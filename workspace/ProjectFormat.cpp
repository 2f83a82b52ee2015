#include "workspace/ProjectFormat.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "platform/core/Bitmap.h"
#include "platform/core/Convert.h"
#include "platform/core/Files.h"
#include "platform/core/Paths.h"

namespace tlwk {

std::size_t LineBuffer::lineEnd(std::size_t start) const {
  std::size_t end = start;
  while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n') ++end;
  return end;
}

std::string LineBuffer::line(int k) const {
  if (k < 0) return std::string();
  if (starts_.empty()) starts_.push_back(0);  // moved from
  const std::size_t size = text_.size();
  while (starts_.size() <= static_cast<std::size_t>(k) && starts_.back() < size) {
    const std::size_t end = lineEnd(starts_.back());
    const std::size_t ending = end == size                                                      ? 0
                               : text_[end] == '\r' && end + 1 < size && text_[end + 1] == '\n' ? 2
                                                                                                : 1;
    starts_.push_back(static_cast<std::uint32_t>(end + ending));
  }
  if (static_cast<std::size_t>(k) >= starts_.size() || starts_[static_cast<std::size_t>(k)] >= size)
    return std::string();
  const std::size_t start = starts_[static_cast<std::size_t>(k)];
  return text_.substr(start, lineEnd(start) - start);
}

std::int32_t projectValue(const LineBuffer& lines, int k) {
  const std::string& l = lines.line(k);
  const std::size_t eq = l.find('=');
  return platform::strToInt(eq == std::string::npos ? l : l.substr(eq + 1));
}

namespace {
std::array<std::string, kFirstCellLine> headLines(const ProjectValues& v) {
  return {kProjectHeader,
          "ImageCount=" + std::to_string(v.imageCount),
          "ImageWidth=" + std::to_string(v.imageWidth),
          "ImageHeight=" + std::to_string(v.imageHeight),
          "Columns=" + std::to_string(v.columns),
          "Rows=" + std::to_string(v.rows),
          "FramesPerSec=" + std::to_string(v.framesPerSec),
          "VideoFrames=" + std::to_string(v.videoFrames)};
}
}  // namespace

KeyValues readKeyValues(const ValueReader& value) {
  KeyValues v;
  for (int k = kImageCount; k <= kVideoFrames; ++k) {
    try {
      v[k] = value(k);
    } catch (const platform::ConversionError&) {
    }
  }
  return v;
}

bool readProjectText(const std::string& path, LineBuffer& lines) {
  lines = LineBuffer();
  const platform::RegularFile file(path);
  const std::string header = kProjectHeader;
  // The header and the character after it, which must end the line if there is one.
  std::string text(static_cast<std::size_t>(std::min<std::uint64_t>(file.size(), header.size() + 1)), '\0');
  if (!file.readAt(0, text.data(), text.size())) throw platform::readFailed(path);
  if (text.size() < header.size() || text.compare(0, header.size(), header) != 0) return false;
  if (text.size() > header.size() && text[header.size()] != '\r' && text[header.size()] != '\n') return false;
  if (file.size() > kMaxProjectFileBytes)
    throw platform::FileError("Cannot read \"" + path + "\": the file is larger than " +
                              std::to_string(kMaxProjectFileBytes) + " bytes");
  const std::size_t head = text.size();
  text.resize(static_cast<std::size_t>(file.size()));
  if (!file.readAt(head, text.data() + head, text.size() - head)) throw platform::readFailed(path);
  lines = LineBuffer(std::move(text));
  return true;
}

namespace {
enum class Bound { kNone, kTileSize, kTileStrip, kFrameStrip, kWorkSpace };

// The first bound the values break; the load and the save word it each their own way.
Bound brokenBound(const KeyValues& v) {
  const auto badSide = [](const std::optional<std::int32_t>& s) {
    return s && (*s < 1 || *s > kMaxProjectTileSide);
  };
  if (badSide(v[kImageWidth]) || badSide(v[kImageHeight])) return Bound::kTileSize;
  if (v[kImageWidth] && v[kImageHeight]) {
    const std::int64_t tilePixels = std::int64_t{*v[kImageWidth]} * *v[kImageHeight];
    if (v[kImageCount] && *v[kImageCount] * tilePixels > platform::kMaxBitmapPixels) return Bound::kTileStrip;
    // Frames are cut at the tile size, whatever size the strip's frames have.
    if (v[kVideoFrames] && *v[kVideoFrames] * tilePixels > platform::kMaxBitmapPixels)
      return Bound::kFrameStrip;
  }
  const std::int64_t cols = std::max(1, v[kColumns].value_or(1)), rows = std::max(1, v[kRows].value_or(1));
  if (cols * rows > kMaxProjectCells) return Bound::kWorkSpace;
  return Bound::kNone;
}

std::string sizeText(std::int64_t w, std::int64_t h) { return std::to_string(w) + " x " + std::to_string(h); }
}  // namespace

std::optional<std::string> projectTooLarge(const KeyValues& v) {
  switch (brokenBound(v)) {
    case Bound::kTileSize:
      return "The project file describes tiles of " +
             sizeText(v[kImageWidth].value_or(0), v[kImageHeight].value_or(0)) +
             " pixels, which no project can have..";
    case Bound::kTileStrip:
      return "The project file describes " + std::to_string(*v[kImageCount]) +
             " tiles, more than a tile strip can hold..";
    case Bound::kFrameStrip:
      return "The project file describes " + std::to_string(*v[kVideoFrames]) +
             " frames, more than a frame strip can hold..";
    case Bound::kWorkSpace:
      return "The project file describes a work space of " +
             sizeText(std::max(1, v[kColumns].value_or(1)), std::max(1, v[kRows].value_or(1))) +
             " cells, larger than any project can have..";
    case Bound::kNone:
      break;
  }
  return std::nullopt;
}

std::optional<std::string> saveTooLarge(const SaveSizes& s) {
  const ProjectValues& v = s.values;
  KeyValues k;
  k[kImageCount] = v.imageCount;
  k[kImageWidth] = v.imageWidth;
  k[kImageHeight] = v.imageHeight;
  k[kColumns] = v.columns;
  k[kRows] = v.rows;
  k[kFramesPerSec] = v.framesPerSec;
  k[kVideoFrames] = 0;
  const std::string tileSize = sizeText(v.imageWidth, v.imageHeight);
  switch (brokenBound(k)) {
    case Bound::kTileSize:
      return "The tile strip cannot hold tiles of " + tileSize + " pixels; use tiles of at most " +
             std::to_string(kMaxProjectTileSide) + " pixels a side..";
    case Bound::kTileStrip:
      return "The tile strip cannot hold " + std::to_string(v.imageCount) + " tiles of " + tileSize +
             " pixels; delete tiles to leave at most " +
             std::to_string(platform::kMaxBitmapPixels / (std::int64_t{v.imageWidth} * v.imageHeight)) + "..";
    case Bound::kWorkSpace:
      return "The work space cannot hold " + sizeText(std::max(1, v.columns), std::max(1, v.rows)) +
             " cells; reduce it to at most " + std::to_string(kMaxProjectCells) + " cells..";
    case Bound::kFrameStrip:
    case Bound::kNone:
      break;
  }
  // The strip holds its frames at their own size; a load cuts them at the tile size, white beyond the strip.
  const auto framesLoad = [&](std::int32_t m) {
    if (m <= 0) return true;
    k[kVideoFrames] = m;
    return platform::bmpStripFits(m, s.frameWidth, s.frameHeight) && brokenBound(k) == Bound::kNone &&
           !framesBeyondStrip(m, m * s.frameWidth, s.frameHeight,
                              platform::bmpStripBytes(m, s.frameWidth, s.frameHeight), v.imageWidth,
                              v.imageHeight);
  };
  if (!framesLoad(v.videoFrames)) {
    // The most frames that still load, found by halving: every count tried below it loads.
    std::int32_t fits = 0, fails = v.videoFrames;
    while (fails - fits > 1) {
      const std::int32_t mid = fits + (fails - fits) / 2;
      (framesLoad(mid) ? fits : fails) = mid;
    }
    const bool ownSize = s.frameWidth == v.imageWidth && s.frameHeight == v.imageHeight;
    return "The frame strip cannot hold " + std::to_string(v.videoFrames) + " frames of " +
           sizeText(s.frameWidth, s.frameHeight) +
           (ownSize ? std::string(" pixels") : " pixels that load at the tile size, " + tileSize + " pixels") +
           (fits > 0 ? "; delete frames to leave at most " + std::to_string(fits) + ".."
                     : "; erase the frames..");
  }
  if (s.textBytes > kMaxProjectFileBytes)
    return "The cells of the work space make a project file of " + std::to_string(s.textBytes) +
           " bytes, larger than a project file can be (" + std::to_string(kMaxProjectFileBytes) +
           "); empty some cells..";
  return std::nullopt;
}

std::optional<std::string> framesBeyondStrip(std::int64_t announced, int stripWidth, int stripHeight,
                                             std::uint64_t stripBytes, int frameWidth, int frameHeight) {
  if (frameWidth < 1 || frameHeight < 1) return std::nullopt;
  const std::int64_t held = (std::int64_t{stripWidth} + frameWidth - 1) / frameWidth;
  // The frames' pixels the strip covers: a strip lower or narrower than the frames covers only part of them.
  const std::int64_t coveredPixels =
      std::min<std::int64_t>(stripWidth, announced * frameWidth) * std::min(stripHeight, frameHeight);
  // Values are bounded by projectTooLarge already, so the product stays far inside 64 bits.
  const std::int64_t whitePixels = announced * frameWidth * frameHeight - coveredPixels;
  // A strip file is at most 1.1 GiB, so the allowance stays inside 64 bits too.
  const std::int64_t allowance = kWhitePixelsPerByte * static_cast<std::int64_t>(stripBytes);
  if (whitePixels <= std::max(allowance, kMaxWhitePixels)) return std::nullopt;
  return "The project file describes " + std::to_string(announced) +
         " frames, far more than its frame strip holds (" + std::to_string(held) + ")..";
}

LoadedProject readProject(const ValueReader& value, const std::string& base, const StripLoader& loadStrip) {
  const KeyValues values = readKeyValues(value);
  if (const auto why = projectTooLarge(values)) throw ProjectRefused(*why);
  // The strip is read before the values are used so that a strip too small for them is refused first; a
  // strip that cannot be read fails after the values before it, where the load uses it.
  std::optional<platform::BmpSource> tileStrip;
  std::exception_ptr stripFailure;
  if (values[kImageCount] && values[kImageWidth] && values[kImageHeight]) {
    try {
      tileStrip = loadStrip("bmp");
    } catch (...) {
      stripFailure = std::current_exception();
    }
    const std::int64_t n = *values[kImageCount];
    if (tileStrip && n > 0 &&
        (tileStrip->width() < n * *values[kImageWidth] || tileStrip->height() < *values[kImageHeight]))
      throw ProjectRefused("The tile strip " + base + "bmp is smaller than the project file describes..");
  }

  LoadedProject p;
  ProjectValues& v = p.values;
  v.imageWidth = value(kImageWidth);
  v.imageHeight = value(kImageHeight);
  v.imageCount = value(kImageCount);
  if (stripFailure) std::rethrow_exception(stripFailure);
  if (!tileStrip) tileStrip = loadStrip("bmp");
  p.tiles.setSize(v.imageWidth, v.imageHeight);
  tileStrip->appendTilesTo(p.tiles, v.imageCount, v.imageCount);
  tileStrip.reset();

  v.videoFrames = value(kVideoFrames);
  if (v.videoFrames > 0) {
    const platform::BmpSource strip = loadStrip("vid");
    if (const auto why = framesBeyondStrip(v.videoFrames, strip.width(), strip.height(), strip.bytes(),
                                           v.imageWidth, v.imageHeight))
      throw ProjectRefused(*why);
    // Frames a short strip does not cover are white.
    p.frames.emplace(v.imageWidth, v.imageHeight);
    strip.appendTilesTo(*p.frames, v.videoFrames, v.videoFrames);
  }
  v.columns = value(kColumns);
  v.rows = value(kRows);
  v.framesPerSec = value(kFramesPerSec);
  return p;
}

void writeProjectText(const ProjectValues& v, const CellText& cell, const TextSink& sink) {
  std::string piece;
  piece.reserve(kProjectTextPiece);
  const auto line = [&](const std::string& text) {
    if (piece.size() + text.size() + 2 > kProjectTextPiece && !piece.empty()) {
      sink(piece.data(), piece.size());
      piece.clear();
    }
    // A line longer than a piece goes out on its own.
    if (text.size() + 2 > kProjectTextPiece) {
      sink(text.data(), text.size());
      sink("\r\n", 2);
      return;
    }
    piece += text;
    piece += "\r\n";
  };
  for (const auto& l : headLines(v)) line(l);
  for (int r = 0; r < v.rows; ++r)
    for (int c = 0; c < v.columns; ++c) line(cell(c, r));
  if (!piece.empty()) sink(piece.data(), piece.size());
}

std::uint64_t projectTextBytes(const ProjectValues& v, const CellText& cell) {
  std::uint64_t bytes = 0;
  for (const auto& l : headLines(v)) bytes += l.size() + 2;
  for (int r = 0; r < v.rows; ++r)
    for (int c = 0; c < v.columns; ++c) bytes += cell(c, r).size() + 2;
  return bytes;
}

std::string projectBaseName(const std::string& projectName) {
  return projectName.size() <= 3 ? std::string() : projectName.substr(0, projectName.size() - 3);
}

std::string withProjectExtension(const std::string& chosen) {
  std::string ext = platform::extractFileExt(chosen);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::toupper(c); });
  return ext == ".PRJ" ? chosen : chosen + ".prj";
}

}  // namespace tlwk
