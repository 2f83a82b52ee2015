#include "platform/core/BmpFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <limits>

#include "platform/core/Bytes.h"
#include "platform/core/Files.h"
#include "platform/core/LargeBlocks.h"

// Reading is strict about whatever decides how much memory is taken or how far the reader looks, and
// lenient where common writers are sloppy:
// - a colour count of 0 means the full table of the bit count;
// - a table may be shorter than declared: it ends where the pixel data starts, so it never runs past the
//   file's end;
// - a pixel index past the table reads as black (the index itself is kept);
// - the last row of uncompressed data may lack its padding bytes;
// - RLE: runs crossing the end of a row are clipped; a delta or end-of-line that leaves the image ends the
//   decode; pixels the stream never reaches keep index 0; a stream that ends early (even before its
//   end-of-bitmap mark) ends the decode and keeps what was decoded. Every step consumes input, so the
//   decode always ends.

namespace platform {

namespace {

enum Compression : std::uint32_t {
  kRgb = 0,
  kRle8 = 1,
  kRle4 = 2,
  kBitfields = 3,
  kAlphaBitfields = 6,
};

constexpr std::uint32_t kCoreHeader = 12;
constexpr std::uint32_t kInfoHeader = 40;
constexpr std::uint32_t kOs2Header = 64;
constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kMaxFileBytes = (std::size_t{11} << 30) / 10;  // 1.1 GiB, above the largest bitmap
// Every header, mask and colour table lies within this many bytes of the start: the largest header with its
// masks inside, then a full table of 256 entries.
constexpr std::size_t kMaxHeadBytes = kFileHeader + 124 + 256 * 4;

[[noreturn]] void fail(const std::string& why) { throw BitmapError("Invalid bitmap: " + why); }

std::uint16_t u16(const std::uint8_t* p) { return readLe16(p); }
std::uint32_t u32(const std::uint8_t* p) { return readLe32(p); }
std::int32_t i32(const std::uint8_t* p) { return static_cast<std::int32_t>(readLe32(p)); }

std::uint64_t checkedMul(std::uint64_t a, std::uint64_t b, const char* what) {
  std::uint64_t r;
  if (__builtin_mul_overflow(a, b, &r)) fail(std::string(what) + " overflows");
  return r;
}

// One channel of a bit-field pixel, widened to 8 bits by bit replication like the writer's narrowing.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  std::array<std::uint8_t, 256> widen{};

  Channel() = default;
  explicit Channel(std::uint32_t m) : mask(m) {
    if (m == 0) return;
    while (((m >> shift) & 1u) == 0) ++shift;
    while (bits + shift < 32 && ((m >> (shift + bits)) & 1u) != 0) ++bits;
    if (bits >= 8) return;
    for (std::uint32_t v = 0; v < (1u << bits); ++v) {
      std::uint32_t out = 0;
      for (int filled = 0; filled < 8; filled += bits) out |= ((v << (8 - bits)) >> filled);
      widen[v] = static_cast<std::uint8_t>(out);
    }
  }
  std::uint32_t operator()(std::uint32_t px) const {
    const std::uint32_t v = (px & mask) >> shift;
    return bits >= 8 ? (v >> (bits - 8)) & 0xFF : widen[v];
  }
};

void checkMasks(const std::array<std::uint32_t, 4>& masks, int bitCount) {
  static constexpr const char* kNames[4] = {"red", "green", "blue", "alpha"};
  const std::uint64_t limit = (std::uint64_t{1} << bitCount) - 1;
  std::uint32_t seen = 0;
  for (int i = 0; i < 4; ++i) {
    const std::uint32_t m = masks[i];
    if (m == 0) {
      if (i < 3) fail(std::string(kNames[i]) + " bit-field mask is empty");
      continue;
    }
    if (m > limit) fail(std::string(kNames[i]) + " bit-field mask is wider than the pixel");
    const std::uint32_t low = m & (~m + 1);
    if (((m + low) & m) != 0) fail(std::string(kNames[i]) + " bit-field mask is not contiguous");
    if ((seen & m) != 0) fail(std::string(kNames[i]) + " bit-field mask overlaps another");
    seen |= m;
  }
}

struct Header {
  std::uint32_t headerSize = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative: top-down
  int bitCount = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t colorsUsed = 0;
  std::size_t tableStart = 0;
  std::size_t entrySize = 4;
  std::size_t pixelOffset = 0;
  std::array<std::uint32_t, 4> masks{};
};

Header readHeader(const std::uint8_t* data, std::size_t size) {
  if (size < kFileHeader + 4) fail("the file is shorter than its headers");
  if (data[0] != 'B' || data[1] != 'M') fail("the file does not start with \"BM\"");
  Header h;
  h.pixelOffset = u32(data + 10);
  h.headerSize = u32(data + kFileHeader);
  const std::uint32_t hs = h.headerSize;
  if (hs != kCoreHeader && hs != 40 && hs != 52 && hs != 56 && hs != kOs2Header && hs != 108 && hs != 124) {
    fail("unknown header size " + std::to_string(hs));
  }
  if (size < kFileHeader + hs) fail("the file is shorter than its headers");
  const std::uint8_t* p = data + kFileHeader;
  int planes;
  if (hs == kCoreHeader) {
    h.width = u16(p + 4);
    h.height = u16(p + 6);
    planes = u16(p + 8);
    h.bitCount = u16(p + 10);
    h.entrySize = 3;
  } else {
    h.width = i32(p + 4);
    h.height = i32(p + 8);
    planes = u16(p + 12);
    h.bitCount = u16(p + 14);
    h.compression = u32(p + 16);
    h.colorsUsed = u32(p + 32);
  }
  if (planes != 1) fail("plane count " + std::to_string(planes) + " is not 1");
  const int bc = h.bitCount;
  const bool coreBits = bc == 1 || bc == 4 || bc == 8 || bc == 24;
  if (!(coreBits || (hs != kCoreHeader && (bc == 16 || bc == 32)))) {
    fail("unsupported bit count " + std::to_string(bc));
  }
  const std::uint32_t c = h.compression;
  if (hs == kOs2Header && c > kRle4) {
    // OS/2 numbers Huffman and RLE24 where Windows numbers bit fields.
    fail("OS/2 compression " + std::to_string(c) + " is not supported");
  }
  if (c != kRgb && c != kRle8 && c != kRle4 && c != kBitfields && c != kAlphaBitfields) {
    fail("unsupported compression " + std::to_string(c));
  }
  if ((c == kRle8 && bc != 8) || (c == kRle4 && bc != 4) ||
      ((c == kBitfields || c == kAlphaBitfields) && bc != 16 && bc != 32)) {
    fail("compression " + std::to_string(c) + " does not fit " + std::to_string(bc) + " bits per pixel");
  }
  if (h.width < 1) fail("width " + std::to_string(h.width) + " is invalid");
  if (h.height == 0 || h.height == std::numeric_limits<std::int32_t>::min()) {
    fail("height " + std::to_string(h.height) + " is invalid");
  }
  if ((c == kRle8 || c == kRle4) && h.height < 0) fail("a compressed bitmap cannot be top-down");

  std::size_t headersEnd = kFileHeader + hs;
  if (bc == 16) h.masks = {0x7C00, 0x03E0, 0x001F, 0};
  if (bc == 32) h.masks = {0xFF0000, 0xFF00, 0xFF, 0};
  if (c == kBitfields || c == kAlphaBitfields) {
    const std::size_t count = c == kAlphaBitfields ? 4 : 3;
    const std::uint8_t* m = p + kInfoHeader;
    if (hs == kInfoHeader) {
      // The masks follow a plain info header.
      headersEnd += count * 4;
      if (size < headersEnd) fail("the bit-field masks run past the end of the file");
    } else if (hs < kInfoHeader + count * 4) {
      fail("the header is too short for its bit-field masks");
    }
    h.masks = {0, 0, 0, 0};
    for (std::size_t i = 0; i < count; ++i) h.masks[i] = u32(m + 4 * i);
    checkMasks(h.masks, bc);
  }
  h.tableStart = headersEnd;
  if (h.pixelOffset < headersEnd) {
    fail("the pixel data offset " + std::to_string(h.pixelOffset) + " lies inside the headers");
  }
  if (h.pixelOffset > size) {
    fail("the pixel data offset " + std::to_string(h.pixelOffset) + " lies past the end of the file");
  }
  return h;
}

std::vector<Color> readTable(const Header& h, const std::uint8_t* data) {
  const std::uint64_t full = std::uint64_t{1} << h.bitCount;
  if (h.colorsUsed > full) {
    fail("colour count " + std::to_string(h.colorsUsed) + " is more than " + std::to_string(h.bitCount) +
         " bits per pixel allow");
  }
  const std::uint64_t declared = h.colorsUsed == 0 ? full : h.colorsUsed;
  // The pixel offset lies inside the file, so the table's room does too.
  const std::uint64_t room = (h.pixelOffset - h.tableStart) / h.entrySize;
  const std::size_t count = static_cast<std::size_t>(std::min(declared, room));
  std::vector<Color> table(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* e = data + h.tableStart + i * h.entrySize;
    table[i] = rgb(e[2], e[1], e[0]);
  }
  return table;
}

// The compressed stream, held in memory or read from a file a block at a time as the decode reaches it, so
// that a file is read no further than its stream's end.
class RleInput {
 public:
  RleInput(const std::uint8_t* data, std::size_t size) : in_(data), end_(data + size) {}
  RleInput(const RegularFile& file, std::uint64_t offset, const std::string& path)
      : file_(&file), path_(&path), next_(offset), block_(kBlock) {
    in_ = end_ = block_.data();
  }
  // Its place points into its own block.
  RleInput(const RleInput&) = delete;
  RleInput& operator=(const RleInput&) = delete;
  // The bytes at hand from the current position: at least n while the stream holds them.
  std::size_t want(std::size_t n) {
    if (static_cast<std::size_t>(end_ - in_) < n && file_ && next_ < file_->size()) refill();
    return static_cast<std::size_t>(end_ - in_);
  }
  const std::uint8_t* at() const { return in_; }
  void skip(std::size_t n) { in_ += n; }

 private:
  static constexpr std::size_t kBlock = std::size_t{64} << 10;
  void refill() {
    const std::size_t kept = static_cast<std::size_t>(end_ - in_);
    std::memmove(block_.data(), in_, kept);
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::uint64_t>(block_.size() - kept, file_->size() - next_));
    if (!file_->readAt(next_, block_.data() + kept, count)) throw readFailed(*path_);
    next_ += count;
    in_ = block_.data();
    end_ = in_ + kept + count;
  }

  const RegularFile* file_ = nullptr;
  const std::string* path_ = nullptr;
  std::uint64_t next_ = 0;
  std::vector<std::uint8_t> block_;
  const std::uint8_t* in_;
  const std::uint8_t* end_;
};

void decodeRle(const Header& h, RleInput& in, Bitmap& bmp) {
  const int w = bmp.width(), height = bmp.height();
  const bool four = h.compression == kRle4;
  int x = 0, y = 0;  // y counts rows from the bottom
  auto put = [&](std::uint8_t v) {
    if (x < w) bmp.indexRow(height - 1 - y)[x] = v;
    ++x;
  };
  while (in.want(2) >= 2) {
    const std::uint8_t count = in.at()[0], value = in.at()[1];
    in.skip(2);
    if (count > 0) {
      for (int i = 0; i < count && x < w; ++i) {
        put(four ? static_cast<std::uint8_t>(i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
      }
      continue;
    }
    if (value == 0) {
      x = 0;
      if (++y >= height) return;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      if (in.want(2) < 2) return;
      x += in.at()[0];
      y += in.at()[1];
      in.skip(2);
      if (x > w || y >= height) return;
    } else {
      const std::size_t bytes = four ? (value + 1u) / 2 : value;
      const std::size_t padded = (bytes + 1) & ~std::size_t{1};
      const std::size_t there = in.want(padded);
      const std::size_t have = std::min(there, bytes);
      const std::uint8_t* src = in.at();
      for (std::size_t i = 0; i < (four ? std::min<std::size_t>(value, have * 2) : have) && x < w; ++i) {
        put(four ? static_cast<std::uint8_t>(i % 2 == 0 ? src[i / 2] >> 4 : src[i / 2] & 0x0F) : src[i]);
      }
      if (there < padded) return;
      in.skip(padded);
    }
  }
}

// Decodes pixels of uncompressed rows as words (0xFFRRGGBB); indexed pixels through the colour table,
// an index past it reading as black.
class RowDecoder {
 public:
  RowDecoder(const Header& h, const std::vector<Color>& table)
      : bits_(h.bitCount), red_(h.masks[0]), green_(h.masks[1]), blue_(h.masks[2]) {
    plain32_ = h.bitCount == 32 && h.masks[0] == 0xFF0000 && h.masks[1] == 0xFF00 && h.masks[2] == 0xFF;
    for (std::size_t i = 0; i < lut_.size(); ++i) lut_[i] = i < table.size() ? toWord(table[i]) : 0xFF000000u;
  }

  // Pixel index x of an indexed row.
  std::uint8_t index(const std::uint8_t* src, int x) const {
    switch (bits_) {
      case 1:
        return (src[x >> 3] >> (7 - (x & 7))) & 1;
      case 4:
        return (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4);
      default:
        return src[x];
    }
  }

  // Pixels [x, x + n) of the row at src into dst.
  // Inline: a strip's tiles take a few pixels a call.
  [[gnu::always_inline]] void words(const std::uint8_t* src, int x, int n, std::uint32_t* dst) const {
    switch (bits_) {
      case 1:
      case 4:
        for (int i = 0; i < n; ++i) dst[i] = lut_[index(src, x + i)];
        break;
      case 8:
        src += x;
        for (int i = 0; i < n; ++i) dst[i] = lut_[src[i]];
        break;
      case 16:
        src += 2 * static_cast<std::size_t>(x);
        for (int i = 0; i < n; ++i) {
          const std::uint32_t px = u16(src + 2 * i);
          dst[i] = 0xFF000000u | (red_(px) << 16) | (green_(px) << 8) | blue_(px);
        }
        break;
      case 24:
        src += 3 * static_cast<std::size_t>(x);
        for (int i = 0; i < n; ++i, src += 3) {
          dst[i] = 0xFF000000u | (static_cast<std::uint32_t>(src[2]) << 16) |
                   (static_cast<std::uint32_t>(src[1]) << 8) | src[0];
        }
        break;
      default:
        src += 4 * static_cast<std::size_t>(x);
        for (int i = 0; i < n; ++i) {
          const std::uint32_t px = u32(src + 4 * i);
          dst[i] =
              plain32_ ? (0xFF000000u | px) : (0xFF000000u | (red_(px) << 16) | (green_(px) << 8) | blue_(px));
        }
        break;
    }
  }

 private:
  int bits_;
  Channel red_, green_, blue_;
  bool plain32_ = false;
  std::array<std::uint32_t, 256> lut_;
};

PixelFormat formatOf(const Header& h) {
  switch (h.bitCount) {
    case 1:
      return PixelFormat::pf1bit;
    case 4:
      return PixelFormat::pf4bit;
    case 8:
      return PixelFormat::pf8bit;
    case 16: {
      // Channels of 5-6-5 or 5-5-5 bits, wherever they lie, are held exactly by those formats; any other
      // widths need 8 bits a channel not to lose a level.
      const int r = Channel(h.masks[0]).bits, g = Channel(h.masks[1]).bits, b = Channel(h.masks[2]).bits;
      if (r == 5 && b == 5 && (g == 5 || g == 6)) return g == 6 ? PixelFormat::pf16bit : PixelFormat::pf15bit;
      return PixelFormat::pf24bit;
    }
    case 24:
      return PixelFormat::pf24bit;
    default:
      return PixelFormat::pf32bit;
  }
}

}  // namespace

namespace {

// What a file's headers promise, checked against the file's length before any of its pixel data is read.
struct Plan {
  Header h;
  int width = 0, height = 0;
  std::uint64_t rowBytes = 0;
  // How many bytes from the pixel offset the decode reads; a compressed stream's, up to its end code once
  // its claim is checked.
  std::uint64_t pixelBytes = 0;
  bool rle = false;
  std::vector<Color> table;
};

// Where image row y starts among the pixel data of an uncompressed file, which holds its rows bottom-up
// unless its height is negative.
std::uint64_t rowOffset(const Plan& p, std::int64_t y) {
  return static_cast<std::uint64_t>(p.h.height > 0 ? p.height - 1 - y : y) * p.rowBytes;
}

// The rows of an uncompressed file into bmp: indexed pixels keep their index, others become words.
void decodeRows(const Plan& p, const std::uint8_t* pixels, Bitmap& bmp) {
  const int w = bmp.width();
  const RowDecoder decoder(p.h, {});
  for (int row = 0; row < bmp.height(); ++row) {
    const std::uint8_t* src = pixels + rowOffset(p, row);
    if (p.h.bitCount == 8) {
      std::memcpy(bmp.indexRow(row), src, static_cast<std::size_t>(w));
    } else if (p.h.bitCount < 8) {
      std::uint8_t* dst = bmp.indexRow(row);
      for (int x = 0; x < w; ++x) dst[x] = decoder.index(src, x);
    } else {
      decoder.words(src, 0, w, bmp.wordRow(row));
    }
  }
}

// A file's bytes from its pixel offset on: held in memory, or read from the file as they are needed.
class PixelData {
 public:
  PixelData(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  PixelData(const RegularFile& file, std::uint64_t offset, const std::string& path)
      : file_(&file), offset_(offset), path_(&path) {}
  // The count bytes from at, which the plan says lie in the file; nullptr when the file does not give them.
  const std::uint8_t* bytes(std::uint64_t at, std::size_t count) {
    if (!file_) return data_ + at;
    if (buffer_.capacity() < count) detail::reserveLarge(buffer_, count);
    buffer_.resize(count);
    return file_->readAt(offset_ + at, buffer_.data(), count) ? buffer_.data() : nullptr;
  }
  RleInput rle() const { return file_ ? RleInput(*file_, offset_, *path_) : RleInput(data_, size_); }
  const std::string& path() const { return *path_; }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  const RegularFile* file_ = nullptr;
  std::uint64_t offset_ = 0;
  const std::string* path_ = nullptr;
  // Written whole by each read, so never zeroed first.
  detail::UnfilledVector<std::uint8_t> buffer_;
};

// head holds the file's first min(fileSize, kMaxHeadBytes) bytes: all its headers and colour table.
Plan planOf(const std::uint8_t* head, std::uint64_t fileSize) {
  Plan p;
  p.h = readHeader(head, static_cast<std::size_t>(fileSize));
  const Header& h = p.h;
  const std::uint64_t width = static_cast<std::uint64_t>(h.width);
  const std::uint64_t height = static_cast<std::uint64_t>(h.height < 0 ? -h.height : h.height);
  if (checkedMul(width, height, "the pixel count") > static_cast<std::uint64_t>(kMaxBitmapPixels)) {
    fail("a bitmap of " + std::to_string(width) + " x " + std::to_string(height) + " pixels is too large");
  }
  p.width = static_cast<int>(width);
  p.height = static_cast<int>(height);
  const std::uint64_t rowBits = checkedMul(width, static_cast<std::uint64_t>(h.bitCount), "the row size");
  p.rowBytes = (rowBits + 31) / 32 * 4;
  const std::uint64_t imageBytes = checkedMul(p.rowBytes, height, "the image size");
  const std::uint64_t available = fileSize - h.pixelOffset;
  p.rle = h.compression == kRle8 || h.compression == kRle4;
  p.pixelBytes = available;
  if (!p.rle) {
    const std::uint64_t needed = imageBytes - p.rowBytes + (rowBits + 7) / 8;
    if (available < needed) {
      fail("the pixel data is shorter than its rows need (" + std::to_string(available) + " of " +
           std::to_string(needed) + " bytes)");
    }
    p.pixelBytes = needed;
  }
  if (h.bitCount <= 8) p.table = readTable(h, head);
  return p;
}

// The bytes of a compressed stream up to and with its end-of-bitmap code, or all it holds when it has none;
// whatever follows describes no pixel. Every code is counted whole, as the decode reads it.
std::uint64_t rleStreamBytes(const Header& h, RleInput in) {
  std::uint64_t bytes = 0;
  const auto take = [&](std::size_t n) {
    const std::size_t have = std::min(in.want(n), n);
    in.skip(have);
    bytes += have;
    return have == n;
  };
  while (in.want(2) >= 2) {
    const std::uint8_t count = in.at()[0], value = in.at()[1];
    take(2);
    if (count > 0 || value == 0) continue;
    if (value == 1) break;
    const std::size_t data = value == 2 ? 2 : h.compression == kRle4 ? (value + 1u) / 2 : value;
    if (!take((data + 1) & ~std::size_t{1})) break;
  }
  return bytes;
}

// A compressed stream is read to its end code before its pixels are allocated: a bitmap claiming far more
// pixels than its bytes can set is refused, and only those bytes count as its pixel data.
void checkRleClaim(Plan& p, const PixelData& data) {
  if (!p.rle) return;
  const std::uint64_t pixels = std::uint64_t{static_cast<std::uint32_t>(p.width)} * p.height;
  p.pixelBytes = rleStreamBytes(p.h, data.rle());
  if (pixels > kRleFreePixels && pixels > kRlePixelsPerByte * p.pixelBytes) {
    fail("a compressed bitmap of " + std::to_string(p.width) + " x " + std::to_string(p.height) +
         " pixels cannot be described by " + std::to_string(p.pixelBytes) + " bytes of data");
  }
}

// The bitmap a plan describes, with its colour table; a compressed one starts at index 0, an uncompressed
// one is left for its rows to fill.
Bitmap bitmapOf(const Plan& p) {
  Bitmap bmp(p.width, p.height, formatOf(p.h), Bitmap::Unfilled{});
  if (p.h.bitCount <= 8) bmp.setColorTable(p.table);
  if (p.rle) {
    for (int y = 0; y < bmp.height(); ++y)
      std::memset(bmp.indexRow(y), 0, static_cast<std::size_t>(bmp.width()));
  }
  return bmp;
}

[[noreturn]] void failNamed(const std::string& path, const BitmapError& e) {
  std::string why = e.what();
  why[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(why[0])));
  throw BitmapError("Cannot read \"" + path + "\": " + why);
}

// The file opened and its headers read and checked, against the file's length: a file that is no bitmap,
// or shorter than its headers promise, is refused before its body is read.
struct CheckedFile {
  std::unique_ptr<RegularFile> file;
  Plan plan;
};

CheckedFile openChecked(const std::string& path) {
  CheckedFile c{std::make_unique<RegularFile>(path), {}};
  const std::uint64_t size = c.file->size();
  if (size > kMaxFileBytes)
    throw FileError("Cannot read \"" + path + "\": the file is larger than " + std::to_string(kMaxFileBytes) +
                    " bytes");
  std::vector<std::uint8_t> head(static_cast<std::size_t>(std::min<std::uint64_t>(size, kMaxHeadBytes)));
  if (!c.file->readAt(0, head.data(), head.size())) throw readFailed(path);
  try {
    c.plan = planOf(head.data(), size);
    checkRleClaim(c.plan, PixelData(*c.file, c.plan.h.pixelOffset, path));
  } catch (const BitmapError& e) {
    failNamed(path, e);
  }
  return c;
}

// The one decoder of a whole file's pixels, planned and checked.
Bitmap decodePixels(const Plan& p, PixelData& data) {
  Bitmap bmp = bitmapOf(p);
  if (p.rle) {
    RleInput in = data.rle();
    decodeRle(p.h, in, bmp);
    return bmp;
  }
  // Only what the rows need is read, once.
  const std::uint8_t* pixels = data.bytes(0, static_cast<std::size_t>(p.pixelBytes));
  if (!pixels) throw readFailed(data.path());
  decodeRows(p, pixels, bmp);
  return bmp;
}

// A checked file's pixels decoded, its faults naming it.
Bitmap decodeFile(const CheckedFile& c, const std::string& path) {
  PixelData data(*c.file, c.plan.h.pixelOffset, path);
  try {
    return decodePixels(c.plan, data);
  } catch (const BitmapError& e) {
    failNamed(path, e);
  }
}

}  // namespace

Bitmap decodeBmp(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr) size = 0;
  Plan p = planOf(data, size);
  PixelData pixels(data + p.h.pixelOffset, size - p.h.pixelOffset);
  checkRleClaim(p, pixels);
  return decodePixels(p, pixels);
}

// An uncompressed file whose headers are checked; its pixels stay in the file until tiles are cut.
struct BmpSource::File {
  std::string path;
  CheckedFile checked;
};

BmpSource::BmpSource(Bitmap bitmap)
    : bitmap_(std::move(bitmap)),
      bytes_((std::uint64_t{static_cast<std::uint32_t>(bitmap_.width())} * bitmap_.bitsPerPixel() + 31) / 32 *
             4 * static_cast<std::uint32_t>(bitmap_.height())) {}
BmpSource::BmpSource(Bitmap bitmap, std::uint64_t fileBytes) : bitmap_(std::move(bitmap)), bytes_(fileBytes) {}
BmpSource::BmpSource(BmpSource&&) noexcept = default;
BmpSource& BmpSource::operator=(BmpSource&&) noexcept = default;
BmpSource::~BmpSource() = default;

int BmpSource::width() const { return file_ ? file_->checked.plan.width : bitmap_.width(); }
int BmpSource::height() const { return file_ ? file_->checked.plan.height : bitmap_.height(); }

void BmpSource::appendTilesTo(ImageList& list, int columns, int count) const {
  if (!file_) {
    list.appendTiles(bitmap_, columns, count);
    return;
  }
  if (count <= 0) return;
  if (columns < 1) throw BitmapError("A tile sheet needs at least one column");
  // The pixels go straight from the file into the tiles, through a buffer of one row's part at a time:
  // the tiles of a chunk of about 1 MiB stay in the cache while their rows are filled one by one.
  const Plan& l = file_->checked.plan;
  const RegularFile& file = *file_->checked.file;
  const int tw = list.width(), th = list.height(), bits = l.h.bitCount;
  const std::size_t tile = static_cast<std::size_t>(tw) * th;
  const int chunk = static_cast<int>(std::clamp<std::size_t>(
      (std::size_t{1} << 20) / 4 / std::max<std::size_t>(tile, 1), 1, static_cast<std::size_t>(columns)));
  const RowDecoder decoder(l.h, l.table);
  PixelData data(file, l.h.pixelOffset, file_->path);
  const std::uint8_t* part = nullptr;
  std::uint32_t* const first = list.appendUnwritten(count);
  constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
  for (int t0 = 0; t0 < count;) {
    // Tiles t0 .. t1 - 1 lie side by side in one row of the sheet.
    const int t1 = static_cast<int>(
        std::min<std::int64_t>({std::int64_t{t0} + chunk, count, (std::int64_t{t0} / columns + 1) * columns}));
    const std::int64_t sy = static_cast<std::int64_t>(t0 / columns) * th;
    const std::int64_t x0 = static_cast<std::int64_t>(t0 % columns) * tw;
    const std::int64_t x1 = std::min<std::int64_t>(x0 + std::int64_t{t1 - t0} * tw, l.width);
    // Whole bytes holding pixels x0 .. x1 - 1; skip is the pixel x0 within the first of them.
    const std::int64_t byte0 = x0 * bits / 8, byte1 = (x1 * bits + 7) / 8;
    const int skip = static_cast<int>(x0 - byte0 * 8 / bits);
    for (int row = 0; row < th; ++row) {
      const std::int64_t y = sy + row;
      const bool inside = y < l.height && x0 < x1;
      if (inside) {
        part = data.bytes(rowOffset(l, y) + static_cast<std::uint64_t>(byte0),
                          static_cast<std::size_t>(byte1 - byte0));
        if (!part) throw FileError("Cannot read \"" + file_->path + "\": the file changed while it was read");
      }
      for (int t = t0; t < t1; ++t) {
        std::uint32_t* dst = first + static_cast<std::size_t>(t) * tile + static_cast<std::size_t>(row) * tw;
        const std::int64_t sx = static_cast<std::int64_t>(t % columns) * tw;
        const int covered = inside ? static_cast<int>(std::clamp<std::int64_t>(l.width - sx, 0, tw)) : 0;
        if (covered > 0) decoder.words(part, static_cast<int>(sx - x0) + skip, covered, dst);
        std::fill(dst + covered, dst + tw, kWhite);
      }
    }
    t0 = t1;
  }
}

BmpSource loadBmpSource(const std::string& path) {
  CheckedFile checked = openChecked(path);
  // Compressed pixels are decoded whole: their stream decides where each pixel lands.
  // Past its end code, a compressed stream describes nothing: only the bytes up to it count.
  const std::uint64_t bytes =
      checked.plan.rle ? checked.plan.h.pixelOffset + checked.plan.pixelBytes : checked.file->size();
  BmpSource source{checked.plan.rle ? decodeFile(checked, path) : Bitmap()};
  if (!checked.plan.rle)
    source.file_ = std::make_unique<BmpSource::File>(BmpSource::File{path, std::move(checked)});
  source.bytes_ = bytes;
  return source;
}

Bitmap loadBmpFile(const std::string& path) {
  const CheckedFile checked = openChecked(path);
  return decodeFile(checked, path);
}

}  // namespace platform
