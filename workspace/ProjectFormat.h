#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/core/BmpFile.h"
#include "platform/core/ImageList.h"

namespace tlwk {

inline constexpr const char* kProjectHeader = "tlwkproj file";

// The line buffer through which project text passes whole. It holds the text once, and finds the starts of
// its lines once, as far as they are asked for: a load that reads a few lines of a long text (16 MiB of
// blank lines after a project's own) neither copies nor scans the rest. CR, LF and CR LF each end a line.
// Asking for a line past the last gives empty text.
class LineBuffer {
 public:
  LineBuffer() = default;
  // A text of less than 4 GiB.
  explicit LineBuffer(std::string text) : text_(std::move(text)) {}
  std::string line(int k) const;

 private:
  // Where the line starting at start ends: at its CR or LF, or at the end of the text.
  std::size_t lineEnd(std::size_t start) const;

  std::string text_;
  // The starts of lines 0, 1, ... found so far, followed by the text's size once the last line is found.
  mutable std::vector<std::uint32_t> starts_{0};
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

// Reads the number on a line of the project text, as projectValue does; the window's load passes its
// ReadProjectValue.
using ValueReader = std::function<std::int32_t(int line)>;
// The key values by line (1 to 7); a line that does not convert stays empty.
using KeyValues = std::array<std::optional<std::int32_t>, kFirstCellLine>;
KeyValues readKeyValues(const ValueReader& value);

// Reads a project file into lines, the header first: false, with the lines empty, when line 0 is not the
// header, known from the first bytes alone. Only then is the rest read, once, into the buffer; a file
// larger than kMaxProjectFileBytes is refused (FileError) before it is read.
bool readProjectText(const std::string& path, LineBuffer& lines);

// Why a project cannot be loaded safely, judged on the values that convert, or nothing when it can.
// The bounds follow from the largest bitmap the platform reads (2^28 pixels): no tile strip can hold
// more tile pixels, and no import can cut more cells than 2^22 (8 x 8 tiles of the largest sheet).
std::optional<std::string> projectTooLarge(const KeyValues& v);
inline constexpr int kMaxProjectTileSide = 4096;
inline constexpr std::int64_t kMaxProjectCells = std::int64_t{1} << 22;
// A project file is a few bytes a cell; anything far larger is not one.
inline constexpr std::size_t kMaxProjectFileBytes = std::size_t{128} << 20;

// A strip announcing far more frames than it holds. Frames a short strip does not cover load white, as
// many as announced: recorded frames keep their size when the tiles change, so a saved strip may hold
// fewer frames of the project's size than its count. Their white pixels may not exceed kWhitePixelsPerByte
// for each byte of the strip's file, or kMaxWhitePixels, whichever is more, so that a tiny strip cannot
// announce many frames or a few of the largest size: beyond that the white frames would cost memory out of
// all proportion to the file. The allowance covers frames recorded at any tile size the program cuts or adds
// (8 to 100 pixels a side, saved at 3 bytes a pixel) and saved after the tiles changed to any other.
std::optional<std::string> framesBeyondStrip(std::int64_t announced, int stripWidth, int stripHeight,
                                             std::uint64_t stripBytes, int frameWidth, int frameHeight);
inline constexpr std::int64_t kMaxWhitePixels = std::int64_t{1} << 22;
inline constexpr std::int64_t kWhitePixelsPerByte = 256;

// What a save is about to write: the values of its text, the frame list's own size, at which the frame strip
// is written whatever the tile size, and the length of the text.
struct SaveSizes {
  ProjectValues values;
  int frameWidth = 0, frameHeight = 0;
  std::uint64_t textBytes = 0;
};
// Why a load would refuse what a save is about to write, or nothing when it would not: the bounds of
// projectTooLarge on its values, the largest bitmap for each strip, framesBeyondStrip on the frame strip
// as written and the largest project file for the text. A save asks before it writes a byte; the text
// names the strip or the work space and what to reduce.
std::optional<std::string> saveTooLarge(const SaveSizes& s);

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
// loadStrip's error, in the order the values and strips are used. Each number is read through value (the
// window passes its ReadProjectValue).
using StripLoader = std::function<platform::BmpSource(const char*)>;
LoadedProject readProject(const ValueReader& value, const std::string& base, const StripLoader& loadStrip);

// The project text as a save writes it: the header, the key lines of v, then one line per cell of the
// v.columns x v.rows work space, row by row, cell(c, r) giving each; every line ends in CR LF. The text
// goes to sink about 1 MiB at a time, so that a large work space is never held as text whole.
using CellText = std::function<const std::string&(int column, int row)>;
using TextSink = std::function<void(const char* data, std::size_t size)>;
void writeProjectText(const ProjectValues& v, const CellText& cell, const TextSink& sink);
// The length of the text writeProjectText writes.
std::uint64_t projectTextBytes(const ProjectValues& v, const CellText& cell);
inline constexpr std::size_t kProjectTextPiece = std::size_t{1} << 20;

// The project name without its last three characters ("level1.prj" gives "level1.").
std::string projectBaseName(const std::string& projectName);
// The name a Save As takes: ".prj" is appended unless the extension is already that in any case.
std::string withProjectExtension(const std::string& chosen);

}  // namespace tlwk
