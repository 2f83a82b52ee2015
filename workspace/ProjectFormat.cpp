#include "workspace/ProjectFormat.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "platform/bitmap/Bitmap.h"
#include "platform/system/Convert.h"
#include "platform/system/Paths.h"

namespace tlwk {

const std::string& LineBuffer::line(int k) const {
  static const std::string none;
  return k >= 0 && k < count() ? lines_[static_cast<std::size_t>(k)] : none;
}

std::string LineBuffer::text() const {
  std::string out;
  std::size_t size = 0;
  for (const auto& l : lines_) size += l.size() + 2;
  out.reserve(size);
  for (const auto& l : lines_) {
    out += l;
    out += "\r\n";
  }
  return out;
}

void LineBuffer::setText(const std::string& text) {
  lines_.clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines_.push_back(text.substr(start));
      break;
    }
    lines_.push_back(text.substr(start, end - start));
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
}

std::int32_t projectValue(const LineBuffer& lines, int k) {
  const std::string& l = lines.line(k);
  const std::size_t eq = l.find('=');
  return platform::strToInt(eq == std::string::npos ? l : l.substr(eq + 1));
}

void writeProjectHead(LineBuffer& lines, const ProjectValues& v) {
  lines.add(kProjectHeader);
  lines.add("ImageCount=" + std::to_string(v.imageCount));
  lines.add("ImageWidth=" + std::to_string(v.imageWidth));
  lines.add("ImageHeight=" + std::to_string(v.imageHeight));
  lines.add("Columns=" + std::to_string(v.columns));
  lines.add("Rows=" + std::to_string(v.rows));
  lines.add("FramesPerSec=" + std::to_string(v.framesPerSec));
  lines.add("VideoFrames=" + std::to_string(v.videoFrames));
}

KeyValues readKeyValues(const LineBuffer& lines) {
  KeyValues v;
  for (int k = kImageCount; k <= kVideoFrames; ++k) {
    const std::string& l = lines.line(k);
    const std::size_t eq = l.find('=');
    std::int32_t n = 0;
    if (platform::tryStrToInt(eq == std::string::npos ? l : l.substr(eq + 1), n)) v[k] = n;
  }
  return v;
}

std::optional<std::string> projectTooLarge(const KeyValues& v) {
  const auto badSide = [](const std::optional<std::int32_t>& s) {
    return s && (*s < 1 || *s > kMaxProjectTileSide);
  };
  if (badSide(v[kImageWidth]) || badSide(v[kImageHeight]))
    return "The project file describes tiles of " + std::to_string(v[kImageWidth].value_or(0)) + " x " +
           std::to_string(v[kImageHeight].value_or(0)) + " pixels, which no project can have..";
  if (v[kImageWidth] && v[kImageHeight]) {
    const std::int64_t tilePixels = std::int64_t{*v[kImageWidth]} * *v[kImageHeight];
    if (v[kImageCount] && *v[kImageCount] * tilePixels > platform::kMaxBitmapPixels)
      return "The project file describes " + std::to_string(*v[kImageCount]) +
             " tiles, more than a tile strip can hold..";
    if (v[kVideoFrames] && *v[kVideoFrames] * tilePixels > platform::kMaxBitmapPixels)
      return "The project file describes " + std::to_string(*v[kVideoFrames]) +
             " frames, more than a frame strip can hold..";
  }
  const std::int64_t cols = std::max(1, v[kColumns].value_or(1)), rows = std::max(1, v[kRows].value_or(1));
  if (cols * rows > kMaxProjectCells)
    return "The project file describes a work space of " + std::to_string(cols) + " x " + std::to_string(rows) +
           " cells, larger than any project can have..";
  return std::nullopt;
}

std::optional<std::string> framesBeyondStrip(std::int64_t announced, int stripWidth, int stripHeight,
                                             int frameWidth, int frameHeight) {
  if (frameWidth < 1 || frameHeight < 1) return std::nullopt;
  const std::int64_t held = (std::int64_t{stripWidth} + frameWidth - 1) / frameWidth;
  const std::int64_t stripPixels = std::int64_t{stripWidth} * stripHeight;
  // Values are bounded by projectTooLarge already, so the product stays far inside 64 bits.
  const std::int64_t whitePixels = announced * frameWidth * frameHeight - stripPixels;
  if (announced - held <= std::max<std::int64_t>(held, kMaxWhiteFrames) &&
      whitePixels <= std::max(stripPixels, kMaxWhitePixels))
    return std::nullopt;
  return "The project file describes " + std::to_string(announced) +
         " frames, far more than its frame strip holds (" + std::to_string(held) + ")..";
}

LoadedProject readProject(const LineBuffer& lines, const std::string& base,
                          const std::function<platform::BmpSource(const char*)>& loadStrip) {
  const KeyValues values = readKeyValues(lines);
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
  v.imageWidth = projectValue(lines, kImageWidth);
  v.imageHeight = projectValue(lines, kImageHeight);
  v.imageCount = projectValue(lines, kImageCount);
  if (stripFailure) std::rethrow_exception(stripFailure);
  if (!tileStrip) tileStrip = loadStrip("bmp");
  p.tiles.setSize(v.imageWidth, v.imageHeight);
  tileStrip->appendTilesTo(p.tiles, v.imageCount, v.imageCount);
  tileStrip.reset();

  v.videoFrames = projectValue(lines, kVideoFrames);
  if (v.videoFrames > 0) {
    const platform::BmpSource strip = loadStrip("vid");
    if (const auto why =
            framesBeyondStrip(v.videoFrames, strip.width(), strip.height(), v.imageWidth, v.imageHeight))
      throw ProjectRefused(*why);
    // Frames a short strip does not cover are white.
    p.frames.emplace(v.imageWidth, v.imageHeight);
    strip.appendTilesTo(*p.frames, v.videoFrames, v.videoFrames);
  }
  v.columns = projectValue(lines, kColumns);
  v.rows = projectValue(lines, kRows);
  v.framesPerSec = projectValue(lines, kFramesPerSec);
  return p;
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
