#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/bitmap/BmpFile.h"
#include "platform/bitmap/ImageList.h"

namespace tlwk {

inline constexpr const char* kProjectHeader = "tlwkproj file";

// The line buffer through which project text passes whole. Asking for a line past the last gives empty
// text.
class LineBuffer {
 public:
  void clear() { lines_.clear(); }
  void add(std::string line) { lines_.push_back(std::move(line)); }
  int count() const { return static_cast<int>(lines_.size()); }
  const std::string& line(int k) const;
  // The text with every line, the last included, ended by CR LF.
  std::string text() const;
  // Takes text in which CR, LF and CR LF each end a line.
  void setText(const std::string& text);

 private:
  std::vector<std::string> lines_;
};

// The number on line k: the text after the first "=" (the whole line without one), converted as every
// number is; the key in front is not looked at. A ConversionError when it is no number.
std::int32_t projectValue(const LineBuffer& lines, int k);

// The values of the key lines 1 to 7, in file order.
struct ProjectValues {
  std::int32_t imageCount = 0, imageWidth = 0, imageHeight = 0, columns = 0, rows = 0, framesPerSec = 0,
               videoFrames = 0;
};
inline constexpr int kFirstCellLine = 8;
enum KeyLine { kImageCount = 1, kImageWidth, kImageHeight, kColumns, kRows, kFramesPerSec, kVideoFrames };

// Header and key lines, as a save writes them.
void writeProjectHead(LineBuffer& lines, const ProjectValues& v);
// The key values by line (1 to 7); a line that does not convert stays empty.
using KeyValues = std::array<std::optional<std::int32_t>, kFirstCellLine>;
KeyValues readKeyValues(const LineBuffer& lines);

// Why a project cannot be loaded safely, judged on the values that convert, or nothing when it can.
// The bounds follow from the largest bitmap the platform reads (2^28 pixels): no tile strip can hold
// more tile pixels, and no import can cut more cells than 2^22 (8 x 8 tiles of the largest sheet).
std::optional<std::string> projectTooLarge(const KeyValues& v);
inline constexpr int kMaxProjectTileSide = 4096;
inline constexpr std::int64_t kMaxProjectCells = std::int64_t{1} << 22;
// A project file is a few bytes a cell; anything far larger is not one.
inline constexpr std::size_t kMaxProjectFileBytes = std::size_t{128} << 20;

// A strip announcing far more frames than it holds. Frames a short strip does not cover load white, up
// to as many as it covers, or kMaxWhiteFrames when it covers fewer; a partly covered frame counts as
// held. The white pixels may also not exceed the strip's own pixels or kMaxWhitePixels, whichever is more,
// so that a tiny strip cannot announce a few frames of the largest size. Beyond that the white frames
// would cost memory out of all proportion to the file.
std::optional<std::string> framesBeyondStrip(std::int64_t announced, int stripWidth, int stripHeight,
                                             int frameWidth, int frameHeight);
inline constexpr int kMaxWhiteFrames = 8;
inline constexpr std::int64_t kMaxWhitePixels = std::int64_t{1} << 22;

// A project that its files cannot give without harm; the text says why.
class ProjectRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Everything a load puts in place, read whole before any of the workspace changes.
struct LoadedProject {
  ProjectValues values;
  platform::ImageList tiles;
  // Only when the project has frames (a "VideoFrames=" value above 0).
  std::optional<platform::ImageList> frames;
};

// Reads a project from its text and its strips; loadStrip(extension) reads the strip of that extension
// ("bmp" or "vid") beside the project, whose base name the messages give. Sizes no real project has, and
// strips that cannot hold what the text announces, are ProjectRefused before pixel memory is taken; a value
// that is no number fails with the conversion error of its line, and a strip that cannot be read with
// loadStrip's error, in the order the values and strips are used.
LoadedProject readProject(const LineBuffer& lines, const std::string& base,
                          const std::function<platform::BmpSource(const char*)>& loadStrip);

// The project name without its last three characters ("level1.prj" gives "level1.").
std::string projectBaseName(const std::string& projectName);
// The name a Save As takes: ".prj" is appended unless the extension is already that in any case.
std::string withProjectExtension(const std::string& chosen);

}  // namespace tlwk
