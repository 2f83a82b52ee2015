#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/core/BmpFile.h"
#include "platform/core/Bytes.h"
#include "platform/core/Files.h"
#include "platform/core/LargeBlocks.h"

namespace platform {

namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::uint32_t kInfoHeader = 40;
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitfields = 3;

std::size_t rowBytesOf(int width, int bits) { return (static_cast<std::size_t>(width) * bits + 31) / 32 * 4; }

// The file and info headers, bit-field masks and colour table of an uncompressed file; the pixel rows
// follow at the offset returned.
std::size_t appendHeader(std::vector<std::uint8_t>& out, int w, int h, int bits, bool masks,
                         const std::vector<Color>& table) {
  const std::size_t rowBytes = rowBytesOf(w, bits);
  const std::size_t offset = kFileHeader + kInfoHeader + (masks ? 12 : 0) + table.size() * 4;
  const std::size_t total = offset + rowBytes * h;
  out.push_back('B');
  out.push_back('M');
  appendLe32(out, static_cast<std::uint32_t>(total));
  appendLe32(out, 0);
  appendLe32(out, static_cast<std::uint32_t>(offset));
  appendLe32(out, kInfoHeader);
  appendLe32(out, static_cast<std::uint32_t>(w));
  appendLe32(out, static_cast<std::uint32_t>(h));
  appendLe16(out, 1);
  appendLe16(out, static_cast<std::uint32_t>(bits));
  appendLe32(out, masks ? kBitfields : kRgb);
  appendLe32(out, static_cast<std::uint32_t>(rowBytes * h));
  appendLe32(out, 2835);  // 72 dots per inch
  appendLe32(out, 2835);
  appendLe32(out, static_cast<std::uint32_t>(table.size()));
  appendLe32(out, 0);
  if (masks) {
    appendLe32(out, 0xF800);
    appendLe32(out, 0x07E0);
    appendLe32(out, 0x001F);
  }
  for (const Color c : table) {
    out.push_back(static_cast<std::uint8_t>(blueOf(c)));
    out.push_back(static_cast<std::uint8_t>(greenOf(c)));
    out.push_back(static_cast<std::uint8_t>(redOf(c)));
    out.push_back(0);
  }
  return offset;
}

// The one writer of a file: the headers, then the rows bottom-up, each padded to whole words, passed on
// about 1 MiB at a time (a whole row at least when the rows are longer): a file is never held whole.
class FileWriter {
 public:
  FileWriter(const ByteSink& write, int width, int height, int bits, bool masks,
             const std::vector<Color>& table)
      : write_(write), padding_(rowBytesOf(width, bits) - (static_cast<std::size_t>(width) * bits + 7) / 8) {
    used_ = appendHeader(buffer_, width, height, bits, masks, table);
  }
  // Room for the next n bytes of the current row, each of which the caller writes.
  std::uint8_t* room(std::size_t n) {
    if (used_ > 0 && used_ + n > kBand) flush();
    if (buffer_.size() < used_ + n) buffer_.resize(std::max(used_ + n, kBand));
    std::uint8_t* at = buffer_.data() + used_;
    used_ += n;
    return at;
  }
  void endRow() { std::memset(room(padding_), 0, padding_); }
  void finish() { flush(); }

 private:
  static constexpr std::size_t kBand = std::size_t{1} << 20;
  void flush() {
    if (used_ > 0) write_(buffer_.data(), used_);
    used_ = 0;
  }

  const ByteSink& write_;
  const std::size_t padding_;
  std::vector<std::uint8_t> buffer_;
  std::size_t used_ = 0;
};

void checkNotEmpty(const Bitmap& bitmap) {
  if (bitmap.empty()) throw BitmapError("An empty bitmap cannot be written");
}

// Row y as the file holds it, without its padding, into dst.
void encodeRow(const Bitmap& bitmap, int y, std::uint8_t* dst) {
  const int bits = bitmap.bitsPerPixel(), w = bitmap.width();
  const bool masks = bitmap.pixelFormat() == PixelFormat::pf16bit;
  if (bitmap.indexed()) {
    const std::uint8_t* src = bitmap.indexRow(y);
    if (bits < 8) std::memset(dst, 0, (static_cast<std::size_t>(w) * bits + 7) / 8);
    if (bits == 8) {
      std::memcpy(dst, src, static_cast<std::size_t>(w));
    } else if (bits == 4) {
      for (int x = 0; x < w; ++x)
        dst[x >> 1] |= static_cast<std::uint8_t>((src[x] & 0x0F) << ((x & 1) ? 0 : 4));
    } else {
      for (int x = 0; x < w; ++x) dst[x >> 3] |= static_cast<std::uint8_t>((src[x] & 1) << (7 - (x & 7)));
    }
    return;
  }
  const std::uint32_t* src = bitmap.wordRow(y);
  for (int x = 0; x < w; ++x) {
    const std::uint32_t r = (src[x] >> 16) & 0xFF, g = (src[x] >> 8) & 0xFF, b = src[x] & 0xFF;
    switch (bits) {
      case 16: {
        const std::uint32_t v = masks ? ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)
                                      : ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
        dst[2 * x] = static_cast<std::uint8_t>(v);
        dst[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
        break;
      }
      case 24:
        dst[3 * x] = static_cast<std::uint8_t>(b);
        dst[3 * x + 1] = static_cast<std::uint8_t>(g);
        dst[3 * x + 2] = static_cast<std::uint8_t>(r);
        break;
      default:
        dst[4 * x] = static_cast<std::uint8_t>(b);
        dst[4 * x + 1] = static_cast<std::uint8_t>(g);
        dst[4 * x + 2] = static_cast<std::uint8_t>(r);
        break;
    }
  }
}

}  // namespace

void writeBmp(const ByteSink& write, const Bitmap& bitmap) {
  checkNotEmpty(bitmap);
  const int bits = bitmap.bitsPerPixel();
  // An indexed file always carries its table's length; an empty table is written as a full black one,
  // which reads back the same colours.
  std::vector<Color> table;
  if (bitmap.indexed()) {
    table = bitmap.colorTable();
    if (table.empty()) table.assign(std::size_t{1} << bits, clBlack);
  }
  FileWriter out(write, bitmap.width(), bitmap.height(), bits, bitmap.pixelFormat() == PixelFormat::pf16bit,
                 table);
  const std::size_t rowBytes = (static_cast<std::size_t>(bitmap.width()) * bits + 7) / 8;
  for (int y = bitmap.height() - 1; y >= 0; --y) {
    encodeRow(bitmap, y, out.room(rowBytes));
    out.endRow();
  }
  out.finish();
}

void saveBmpFile(const std::string& path, const Bitmap& bitmap) {
  checkNotEmpty(bitmap);
  FileReplacement replacement({path});
  FileReplacement::Output& out = replacement.output(0);
  writeBmp([&](const void* data, std::size_t size) { out.write(data, size); }, bitmap);
  replacement.commit();
}

bool bmpStripFits(std::int64_t count, int width, int height) {
  const std::int64_t stripWidth = count * width;
  return stripWidth <= std::numeric_limits<int>::max() && stripWidth * height <= kMaxBitmapPixels;
}

std::uint64_t bmpStripBytes(std::int64_t count, int width, int height) {
  return kFileHeader + kInfoHeader +
         static_cast<std::uint64_t>(rowBytesOf(static_cast<int>(count * width), 24)) *
             static_cast<std::uint64_t>(height);
}

void writeBmpStrip(const PlacedSink& write, const ImageList& list) {
  const int n = list.count(), w = list.width(), h = list.height();
  const std::int64_t width = std::int64_t{n} * w;
  if (width < 1 || h < 1) throw BitmapError("An empty bitmap cannot be written");
  if (!bmpStripFits(n, w, h))
    throw BitmapError("A strip of " + std::to_string(n) + " images is larger than the largest bitmap");
  std::vector<std::uint8_t> head;
  const std::size_t offset = appendHeader(head, static_cast<int>(width), h, 24, false, {});
  write(0, head.data(), head.size());
  const std::size_t rowBytes = rowBytesOf(static_cast<int>(width), 24);
  const std::size_t tileBytes = static_cast<std::size_t>(w) * 3;
  // About 1 MiB of rows a group, and a group's part of a row no shorter than 64 KiB, so that wide images
  // are not written a few hundred bytes at a time.
  constexpr std::size_t kBand = std::size_t{1} << 20, kLeast = std::size_t{64} << 10;
  const std::size_t group =
      std::min<std::size_t>(n, std::max({std::size_t{1}, kBand / (tileBytes * h), kLeast / tileBytes}));
  detail::UnfilledVector<std::uint8_t> band;
  band.resize(group * tileBytes * h);
  for (int first = 0; first < n; first += static_cast<int>(group)) {
    const std::size_t count = std::min<std::size_t>(group, static_cast<std::size_t>(n - first));
    const std::size_t part = count * tileBytes;
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint32_t* src = list.words(first + static_cast<int>(i));
      for (int y = 0; y < h; ++y, src += w) {
        // File rows run bottom-up.
        std::uint8_t* dst = band.data() + static_cast<std::size_t>(h - 1 - y) * part + i * tileBytes;
        for (int x = 0; x < w; ++x, dst += 3) {
          dst[0] = static_cast<std::uint8_t>(src[x]);
          dst[1] = static_cast<std::uint8_t>(src[x] >> 8);
          dst[2] = static_cast<std::uint8_t>(src[x] >> 16);
        }
      }
    }
    for (int k = 0; k < h; ++k)
      write(offset + k * rowBytes + static_cast<std::size_t>(first) * tileBytes, band.data() + k * part, part);
  }
  const std::size_t padding = rowBytes - static_cast<std::size_t>(width) * 3;
  if (padding > 0) {
    const std::uint8_t zeros[3] = {};
    for (int k = 0; k < h; ++k) write(offset + k * rowBytes + rowBytes - padding, zeros, padding);
  }
}

}  // namespace platform
