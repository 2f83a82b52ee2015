#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Bitmap.h"
#include "platform/core/Files.h"
#include "platform/core/ImageList.h"

namespace platform {

// Reads a Windows bitmap file image held in memory: core (OS/2) and info headers up to V5; 1, 4, 8, 16,
// 24 and 32 bits per pixel; RLE4, RLE8 and bit fields; bottom-up and top-down. Anything malformed is
// refused with a BitmapError naming the fault, before any pixel memory is allocated. Lenient where writers
// are commonly sloppy: a colour count of 0 means the full table; a table may end early, where the pixel
// data starts, whatever the colour count says; an index past the table reads as black; the last uncompressed
// row may lack its padding; RLE runs crossing a row's end are clipped, a delta or end-of-line leaving the image
// or a stream ending early ends the decode keeping what was decoded, and pixels the stream never reached are
// index 0. Indexed files give pf1bit, pf4bit or pf8bit with the file's table. 16 bits give pf16bit for channels
// of 5-6-5 bits and pf15bit for 5-5-5, in any order, and pf24bit for any other widths (4-4-4, 3-3-2, 6-6-4,
// ...), each channel widened from its own width to 8 bits so that no level is lost; 24 and 32 bits give
// pf24bit and pf32bit (alpha ignored).
Bitmap decodeBmp(const std::uint8_t* data, std::size_t size);
// What an RLE stream may claim: an encoder's densest code sets 255 pixels with two bytes, and rows may end
// early. Beyond kRleFreePixels, a compressed bitmap claiming more than kRlePixelsPerByte (twice that run)
// for every byte of its stream, up to and with its end code, describes mostly nothing and is refused before
// its pixels are allocated, so that what a load takes stays in proportion to its files.
inline constexpr std::uint64_t kRlePixelsPerByte = 256;
inline constexpr std::uint64_t kRleFreePixels = std::uint64_t{1} << 22;
inline Bitmap decodeBmp(const std::vector<std::uint8_t>& bytes) {
  return decodeBmp(bytes.data(), bytes.size());
}

// Where a writer's bytes go, about 1 MiB at a time.
using ByteSink = std::function<void(const void* data, std::size_t size)>;
// Writes the file form of a bitmap to write: an uncompressed file in the bitmap's own pixel format with its
// colour table, an info header, 15 bits as plain 5-5-5, 16 bits as 5-6-5 bit fields, indexed tables with
// their length as colour count (an empty table as a full black one). The file is never held whole: write
// receives about 1 MiB at a time, or a row when rows are longer. BitmapError for an empty bitmap.
void writeBmp(const ByteSink& write, const Bitmap& bitmap);

// File forms. Loading never changes the file; saving replaces the file atomically (FileReplacement).
// Errors name the file: FileError for reading and writing, BitmapError for a malformed file. Files above
// 1.1 GiB, more than the largest bitmap needs, are refused before reading. A load reads the headers first
// and checks them against the file's length, so that a file that is no bitmap or too short for its pixels
// is refused before the rest is read; it then reads only the pixel data the headers call for.
Bitmap loadBmpFile(const std::string& path);

// A bitmap to cut tiles from. Read from a file, its headers are checked (as loadBmpFile checks them, with
// the same errors) and its uncompressed pixels are decoded only by appendTilesTo, straight into the tiles:
// a strip is never held decoded as a whole. A bitmap in memory stands in for a file.
class BmpSource {
 public:
  BmpSource(Bitmap bitmap);  // NOLINT(google-explicit-constructor): a bitmap is a source
  // A bitmap decoded from a file of fileBytes bytes.
  BmpSource(Bitmap bitmap, std::uint64_t fileBytes);
  BmpSource(BmpSource&&) noexcept;
  BmpSource& operator=(BmpSource&&) noexcept;
  ~BmpSource();

  int width() const;
  int height() const;
  // The bytes of its file, of a compressed file those up to its stream's end code; for a bitmap given
  // without them, those of its rows as a file holds them.
  std::uint64_t bytes() const { return bytes_; }
  // As ImageList::appendTiles with the decoded bitmap.
  void appendTilesTo(ImageList& list, int columns, int count) const;

 private:
  friend BmpSource loadBmpSource(const std::string& path);
  struct File;
  std::unique_ptr<File> file_;
  Bitmap bitmap_;
  std::uint64_t bytes_ = 0;
};
BmpSource loadBmpSource(const std::string& path);
// Replaces the file with the file form writeBmp writes.
void saveBmpFile(const std::string& path, const Bitmap& bitmap);

// Whether count images of width x height fit one strip, the largest bitmap a file may hold, and the bytes of
// the file writeBmpStrip writes for them.
bool bmpStripFits(std::int64_t count, int width, int height);
std::uint64_t bmpStripBytes(std::int64_t count, int width, int height);

// Where a writer's bytes go when it writes them out of order: each byte of the file once, at its offset.
using PlacedSink = std::function<void(std::uint64_t offset, const void* data, std::size_t size)>;
// Writes the list's images side by side (image i at x = i x width) as one uncompressed 24-bit file, as
// writeBmp writes a new bitmap holding them, with the same headers: the strip is never built whole in
// memory. The images are read a group at a time, each in memory order, and the group's part of every row
// written in its place: one row of every image in turn would stride through all of them once a row.
// BitmapError for an empty list or one larger than the largest bitmap.
void writeBmpStrip(const PlacedSink& write, const ImageList& list);
inline void writeBmpStrip(FileReplacement::Output& out, const ImageList& list) {
  writeBmpStrip([&](std::uint64_t at, const void* data, std::size_t size) { out.writeAt(at, data, size); },
                list);
}

}  // namespace platform
