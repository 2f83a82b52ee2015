#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "platform/core/BmpFile.h"
#include "tests/support/BmpBytes.h"

using namespace platform;

// Largest single allocation since the last reset, to see that refusals come before pixel memory.
static std::atomic<std::size_t> largestAllocation{0};

void* operator new(std::size_t n) {
  std::size_t seen = largestAllocation.load();
  while (n > seen && !largestAllocation.compare_exchange_weak(seen, n)) {
  }
  if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
  throw std::bad_alloc();
}
// Out of line, so that the compiler does not pair an inlined free with new at each call site.
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void put16(Bytes& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
std::uint32_t get32(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

Bitmap withTable(int w, int h, std::size_t entries) {
  Bitmap b(w, h, PixelFormat::pf8bit);
  b.setColorTable(std::vector<Color>(entries, rgb(10, 20, 30)));
  b.fillRect({0, 0, w, h}, rgb(10, 20, 30));
  return b;
}

enum Base { k8bit, kShortTable, k16bit, k24bit, kRle8 };

Bytes base(Base which) {
  switch (which) {
    case k8bit:
      return testing_support::bmpBytes(Bitmap(4, 3, PixelFormat::pf8bit));
    case kShortTable:
      return testing_support::bmpBytes(withTable(2, 2, 16));
    case k16bit:
      return testing_support::bmpBytes(Bitmap(2, 2, PixelFormat::pf16bit));
    case k24bit:
      return testing_support::bmpBytes(Bitmap(5, 3, PixelFormat::pf24bit));
    case kRle8:
      break;
  }
  Bytes f = testing_support::bmpBytes(Bitmap(4, 3, PixelFormat::pf8bit));
  f.resize(get32(f, 10));
  put32(f, 30, 1);
  f.insert(f.end(), {4, 1, 0, 1});
  return f;
}

struct Refused {
  const char* name;
  Base base;
  std::function<void(Bytes&)> patch;
  const char* message;
};

const Refused kRefused[] = {
    {"empty", k8bit, [](Bytes& f) { f.clear(); }, "shorter than its headers"},
    {"cut inside the info header", k8bit, [](Bytes& f) { f.resize(40); }, "shorter than its headers"},
    {"no BM", k8bit, [](Bytes& f) { f[1] = 'A'; }, "does not start with \"BM\""},
    {"header size 41", k8bit, [](Bytes& f) { put32(f, 14, 41); }, "unknown header size 41"},
    {"header size past the end", k24bit,
     [](Bytes& f) {
       put32(f, 14, 124);
       f.resize(100);
     },
     "shorter than its headers"},
    {"OS/2 Huffman", k24bit,
     [](Bytes& f) {
       f.insert(f.begin() + 54, 24, 0);
       put32(f, 14, 64);
       put32(f, 10, get32(f, 10) + 24);
       put32(f, 30, 3);
     },
     "OS/2 compression 3"},
    {"two planes", k8bit, [](Bytes& f) { put16(f, 26, 2); }, "plane count 2"},
    {"7 bits", k8bit, [](Bytes& f) { put16(f, 28, 7); }, "unsupported bit count 7"},
    {"no bits", k8bit, [](Bytes& f) { put16(f, 28, 0); }, "unsupported bit count 0"},
    {"JPEG inside", k24bit, [](Bytes& f) { put32(f, 30, 4); }, "unsupported compression 4"},
    {"RLE8 on 24 bits", k24bit, [](Bytes& f) { put32(f, 30, 1); }, "compression 1 does not fit 24"},
    {"RLE4 on 8 bits", k8bit, [](Bytes& f) { put32(f, 30, 2); }, "compression 2 does not fit 8"},
    {"bit fields on 8 bits", k8bit, [](Bytes& f) { put32(f, 30, 3); }, "compression 3 does not fit 8"},
    {"width 0", k8bit, [](Bytes& f) { put32(f, 18, 0); }, "width 0 is invalid"},
    {"negative width", k8bit, [](Bytes& f) { put32(f, 18, static_cast<std::uint32_t>(-4)); },
     "width -4 is invalid"},
    {"height 0", k8bit, [](Bytes& f) { put32(f, 22, 0); }, "height 0 is invalid"},
    {"height INT32_MIN", k8bit, [](Bytes& f) { put32(f, 22, 0x80000000u); }, "height -2147483648 is invalid"},
    {"over the pixel limit", k8bit,
     [](Bytes& f) {
       put32(f, 18, 0x10000);
       put32(f, 22, 0x10000);
     },
     "too large"},
    {"largest sizes", k24bit,
     [](Bytes& f) {
       put32(f, 18, 0x7FFFFFFF);
       put32(f, 22, 0x80000001u);
     },
     "too large"},
    {"offset inside the headers", k8bit, [](Bytes& f) { put32(f, 10, 20); },
     "offset 20 lies inside the headers"},
    {"offset over the masks", k16bit, [](Bytes& f) { put32(f, 10, 60); }, "offset 60 lies inside the headers"},
    {"offset past the end", k24bit, [](Bytes& f) { put32(f, 10, 1000); }, "offset 1000 lies past the end"},
    {"rows cut short", k24bit, [](Bytes& f) { f.erase(f.end() - 2, f.end()); },
     "shorter than its rows need (46 of 47"},
    {"more colours than 8 bits hold", k8bit, [](Bytes& f) { put32(f, 46, 257); }, "colour count 257"},
    {"more colours than 1 bit holds", k8bit,
     [](Bytes& f) {
       put16(f, 28, 1);
       put32(f, 46, 3);
     },
     "colour count 3"},
    {"masks past the end", k16bit, [](Bytes& f) { f.resize(60); }, "masks run past the end"},
    {"empty red mask", k16bit, [](Bytes& f) { put32(f, 54, 0); }, "red bit-field mask is empty"},
    {"overlapping masks", k16bit, [](Bytes& f) { put32(f, 58, 0x0FE0); }, "green bit-field mask overlaps"},
    {"gap in a mask", k16bit, [](Bytes& f) { put32(f, 54, 0xE800); }, "red bit-field mask is not contiguous"},
    {"mask wider than 16 bits", k16bit, [](Bytes& f) { put32(f, 54, 0x1F800); }, "red bit-field mask is wider"},
    {"top-down RLE", kRle8, [](Bytes& f) { put32(f, 22, static_cast<std::uint32_t>(-3)); },
     "cannot be top-down"},
    {"RLE claim past its end code", kRle8,
     [](Bytes& f) {
       // The stream ends at its second code; the megabyte of zeros after it describes nothing.
       put32(f, 18, 4096);
       put32(f, 22, 2048);
       f.resize(f.size() + (std::size_t{1} << 20));
     },
     "4096 x 2048 pixels cannot be described by 4 bytes"},
};

void PrintTo(const Refused& c, std::ostream* os) { *os << c.name; }

class BmpRefused : public testing::TestWithParam<Refused> {};

TEST_P(BmpRefused, WithItsFaultNamed) {
  Bytes f = base(GetParam().base);
  GetParam().patch(f);
  try {
    decodeBmp(f);
    FAIL() << "read";
  } catch (const BitmapError& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Files, BmpRefused, testing::ValuesIn(kRefused), [](const auto& info) {
  std::string name;
  for (const char c : std::string(info.param.name))
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
});

TEST(BmpRefusedEarly, HugeDeclaredSizeWithoutDataAllocatesNothingLarge) {
  for (const int bits : {8, 24}) {
    Bytes f = base(bits == 8 ? k8bit : k24bit);
    put32(f, 18, 16384);
    put32(f, 22, 16384);  // exactly the pixel limit
    largestAllocation = 0;
    EXPECT_THROW(decodeBmp(f), BitmapError);
    EXPECT_LT(largestAllocation.load(), std::size_t{1} << 16);
  }
}

TEST(BmpLenient, SloppyButReadable) {
  struct Case {
    const char* name;
    Bytes file;
    std::function<void(const Bitmap&)> check;
  };
  Bytes fullTableNoCount = base(k8bit);
  put32(fullTableNoCount, 46, 0);
  // Large enough that a full table would still lie inside the file.
  Bytes shortTableNoCount = testing_support::bmpBytes(withTable(32, 32, 16));
  put32(shortTableNoCount, 46, 0);
  put32(shortTableNoCount, 2, 0);  // file sizes are never trusted
  Bytes pastTable = base(kShortTable);
  pastTable[get32(pastTable, 10)] = 200;
  // A table shorter than its count says, in a file too small to hold the full one; and the same in the core
  // header of OS/2 1.x, whose table is always the full one by its bit count.
  Bytes shortTableSmallFile = base(kShortTable);
  put32(shortTableSmallFile, 46, 0);
  Bytes coreShortTable = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 32, 0,  0,  0,  12, 0,
                          0,   0,   8, 0, 8, 0, 1, 0, 8, 0, 30, 20, 10, 60, 50, 40};
  for (int i = 0; i < 64; ++i) coreShortTable.push_back(i % 2);
  Bytes noLastPadding = base(k24bit);
  noLastPadding.pop_back();
  put32(noLastPadding, 34, 0);
  const Case cases[] = {
      {"colour count 0 means the full table", fullTableNoCount,
       [](const Bitmap& b) { EXPECT_EQ(b.colorTable(), palette332()); }},
      {"the table ends where the pixels start", shortTableNoCount,
       [](const Bitmap& b) { EXPECT_EQ(b.colorTable().size(), 16u); }},
      {"a short table in a small file", shortTableSmallFile,
       [](const Bitmap& b) {
         EXPECT_EQ(b.colorTable().size(), 16u);
         EXPECT_EQ(b.pixel(1, 1), rgb(10, 20, 30));
       }},
      {"a short table after a core header", coreShortTable,
       [](const Bitmap& b) {
         EXPECT_EQ(b.colorTable(), (std::vector<Color>{rgb(10, 20, 30), rgb(40, 50, 60)}));
         EXPECT_EQ(b.pixel(1, 7), rgb(40, 50, 60));
       }},
      {"an index past the table reads black", pastTable,
       [](const Bitmap& b) {
         EXPECT_EQ(b.index(0, 1), 200);
         EXPECT_EQ(b.pixel(0, 1), clBlack);
         EXPECT_EQ(b.pixel(1, 1), rgb(10, 20, 30));
       }},
      {"the last row may lack its padding", noLastPadding,
       [](const Bitmap& b) { EXPECT_EQ(b.pixel(4, 0), clWhite); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.check(decodeBmp(c.file));
  }
}

// An RLE file of the given size around a stream; its table is the default one of the format.
Bytes rle(PixelFormat f, int w, int h, const Bytes& stream) {
  Bytes file = testing_support::bmpBytes(Bitmap(w, h, f));
  file.resize(get32(file, 10));
  put32(file, 30, f == PixelFormat::pf8bit ? 1 : 2);
  put32(file, 34, static_cast<std::uint32_t>(stream.size()));
  file.insert(file.end(), stream.begin(), stream.end());
  put32(file, 2, static_cast<std::uint32_t>(file.size()));
  return file;
}

struct RleCase {
  const char* name;
  PixelFormat format;
  Bytes stream;
  std::vector<std::string> rows;  // indexes in hex, top row first
};

const RleCase kRle[] = {
    {"complete stream",
     PixelFormat::pf8bit,
     {2, 1, 2, 2, 0, 0, 0, 3, 5, 6, 7, 0, 0, 0, 4, 9, 0, 1},
     {"9999", "5670", "1122"}},
    {"run crossing the row end is clipped",
     PixelFormat::pf8bit,
     {6, 7, 0, 0, 1, 3, 0, 1},
     {"0000", "3000", "7777"}},
    {"absolute run crossing the row end is clipped",
     PixelFormat::pf8bit,
     {0, 6, 1, 2, 3, 4, 5, 6, 1, 8, 0, 1},
     {"0000", "0000", "1234"}},
    {"stream ending without its end mark", PixelFormat::pf8bit, {2, 5}, {"0000", "0000", "5500"}},
    {"absolute run cut short", PixelFormat::pf8bit, {0, 4, 1, 2}, {"0000", "0000", "1200"}},
    {"escape cut in half", PixelFormat::pf8bit, {1, 1, 0}, {"0000", "0000", "1000"}},
    {"delta cut short", PixelFormat::pf8bit, {1, 1, 0, 2, 3}, {"0000", "0000", "1000"}},
    {"delta moves the pen", PixelFormat::pf8bit, {0, 2, 2, 1, 1, 4, 0, 1}, {"0000", "0040", "0000"}},
    {"delta above the top ends the decode",
     PixelFormat::pf8bit,
     {1, 9, 0, 2, 0, 5, 1, 3},
     {"0000", "0000", "9000"}},
    {"delta past the row end ends the decode",
     PixelFormat::pf8bit,
     {0, 2, 5, 0, 0, 0, 1, 3},
     {"0000", "0000", "0000"}},
    {"end of line past the top ends the decode",
     PixelFormat::pf8bit,
     {0, 0, 0, 0, 1, 8, 0, 0, 1, 9},
     {"8000", "0000", "0000"}},
    {"RLE4 runs alternate nibbles",
     PixelFormat::pf4bit,
     {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1},
     {"34500", "12121"}},
    {"RLE4 absolute runs keep word alignment",
     PixelFormat::pf4bit,
     {0, 3, 0x67, 0x80, 2, 0x78, 0, 0, 0, 5, 0xAB, 0xCD, 0xE0, 0},
     {"abcde", "67878"}},
};

void PrintTo(const RleCase& c, std::ostream* os) { *os << c.name; }

class BmpRle : public testing::TestWithParam<RleCase> {};

TEST_P(BmpRle, DecodesWhatTheStreamReaches) {
  const auto& c = GetParam();
  const int w = static_cast<int>(c.rows[0].size()), h = static_cast<int>(c.rows.size());
  const Bitmap b = decodeBmp(rle(c.format, w, h, c.stream));
  ASSERT_EQ(b.pixelFormat(), c.format);
  std::vector<std::string> rows;
  for (int y = 0; y < h; ++y) {
    std::string row;
    for (int x = 0; x < w; ++x) row += "0123456789abcdef"[b.index(x, y) & 15];
    rows.push_back(row);
  }
  EXPECT_EQ(rows, c.rows);
}

INSTANTIATE_TEST_SUITE_P(Streams, BmpRle, testing::ValuesIn(kRle), [](const auto& info) {
  std::string name;
  for (const char c : std::string(info.param.name))
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
});

}  // namespace

namespace {

// An RLE8 file with a two-colour table around a stream, whatever size its header claims.
Bytes rle8Claiming(std::uint32_t w, std::uint32_t h, const Bytes& stream) {
  Bytes f = testing_support::bmpBytes(withTable(1, 1, 2));
  f.resize(get32(f, 10));
  put32(f, 18, w);
  put32(f, 22, h);
  put32(f, 30, 1);
  put32(f, 34, static_cast<std::uint32_t>(stream.size()));
  f.insert(f.end(), stream.begin(), stream.end());
  put32(f, 2, static_cast<std::uint32_t>(f.size()));
  return f;
}

// A stream of `bytes` bytes: runs of 255 of colour 1, then the end-of-bitmap mark.
Bytes whiteRuns(std::size_t bytes) {
  Bytes s;
  for (std::size_t i = 0; i + 2 < bytes; i += 2) s.insert(s.end(), {255, 1});
  s.insert(s.end(), {0, 1});
  return s;
}

// A stream of `bytes` bytes of end-of-line codes, the last one marking the end of the bitmap.
Bytes rowEnds(std::size_t bytes) {
  Bytes s(bytes, 0);
  s.back() = 1;
  return s;
}

}  // namespace

TEST(BmpRefusedEarly, CompressedSizeFarBeyondItsDataAllocatesNothingLarge) {
  struct Case {
    const char* name;
    Bytes file;
    bool refused;
  };
  const Case cases[] = {
      {"120 bytes claiming 16384 x 16384", rle8Claiming(16384, 16384, whiteRuns(120 - 62)), true},
      {"1 KiB strip of 16 tiles of 4096 x 4096", rle8Claiming(16 * 4096, 4096, whiteRuns(1024 - 62)), true},
      {"65 KiB claiming 16384 x 16384", rle8Claiming(16384, 16384, whiteRuns(65 * 1024 - 62)), true},
      {"65 KiB of row ends for 16 tiles of 4096 x 4096", rle8Claiming(16 * 4096, 4096, rowEnds(65 * 1024 - 62)),
       true},
      {"rows ending at once, one pixel wider than the stream allows", rle8Claiming(513, 16384, rowEnds(32768)),
       true},
      {"rows ending at once, as wide as the stream allows", rle8Claiming(512, 16384, rowEnds(32768)), false},
      {"as many pixels as need no stream", rle8Claiming(2048, 2048, whiteRuns(2)), false},
  };
  EXPECT_EQ(cases[0].file.size(), 120u);
  EXPECT_EQ(cases[1].file.size(), 1024u);
  EXPECT_EQ(cases[2].file.size(), 65u * 1024);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    largestAllocation = 0;
    if (!c.refused) {
      EXPECT_NO_THROW(decodeBmp(c.file));
      continue;
    }
    try {
      decodeBmp(c.file);
      ADD_FAILURE() << "read";
    } catch (const BitmapError& e) {
      EXPECT_NE(std::string(e.what()).find("cannot be described by"), std::string::npos) << e.what();
    }
    EXPECT_LT(largestAllocation.load(), std::size_t{1} << 16);
  }
}

TEST(BmpRleLarge, FullyEncodedSheetLoads) {
  // What an encoder writes for a white 4096 x 4096 sheet: 17 runs and an end of line a row.
  Bytes stream;
  for (int y = 0; y < 4096; ++y) {
    for (int x = 0; x < 4096; x += 255)
      stream.insert(stream.end(), {static_cast<std::uint8_t>(std::min(255, 4096 - x)), 1});
    stream.insert(stream.end(), {0, 0});
  }
  stream.back() = 1;
  const Bitmap b = decodeBmp(rle8Claiming(4096, 4096, stream));
  EXPECT_EQ(b.index(4095, 0), 1);
  EXPECT_EQ(b.index(0, 4095), 1);
}

namespace {

// Files of any length without the disk space: the part past what is written reads as zeros.
class BmpFileReading : public testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (std::filesystem::temp_directory_path() / "bmp_file_tests.XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string file(const Bytes& start, std::uint64_t length) {
    const std::string path = (dir_ / "f.bmp").string();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(start.data()), static_cast<std::streamsize>(start.size()));
    std::filesystem::resize_file(path, length);
    return path;
  }
  // Loads path, returning the error text or "" when it loads; the largest allocation and the time it took
  // are kept.
  std::string load(const std::string& path, Bitmap* out = nullptr) {
    largestAllocation = 0;
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    try {
      Bitmap b = loadBmpFile(path);
      if (out) *out = std::move(b);
    } catch (const std::exception& e) {
      error = e.what();
    }
    ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    largest = largestAllocation.load();
    return error;
  }
  std::filesystem::path dir_;
  long long ms = 0;
  std::size_t largest = 0;
};

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

}  // namespace

// The headers are read and checked first: a large file that is no bitmap, or one too short for what its
// headers announce, is refused without its body being read.
TEST_F(BmpFileReading, HeadersAreCheckedBeforeTheBodyIsRead) {
  Bytes big = testing_support::bmpBytes(Bitmap(1, 1, PixelFormat::pf24bit));
  put32(big, 18, 8192);
  put32(big, 22, 8192);  // 192 MiB of rows
  const struct {
    const char* name;
    Bytes start;
    std::uint64_t length;
    const char* says;
  } cases[] = {
      {"1000 MiB of zeros", {}, 1000 * kMiB, "does not start with \"BM\""},
      {"8192 x 8192 at 24 bits in 190 MiB", big, 190 * kMiB, "shorter than its rows need"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NE(load(file(c.start, c.length)).find(c.says), std::string::npos);
    EXPECT_LT(largest, std::size_t{1} << 16);
    EXPECT_LT(ms, 1000);
  }
}

// Of a file longer than its pixels, only what the headers call for is read: an uncompressed file up to its
// last row, a compressed one up to its end mark.
TEST_F(BmpFileReading, TrailingBytesAreNotRead) {
  Bitmap small(3, 2, PixelFormat::pf24bit);
  small.setPixel(2, 1, rgb(1, 2, 3));
  // A full bottom row, an empty one, two pixels and the end mark; the zeros after it would read as row ends.
  const Bytes rle = rle8Claiming(5, 4, {5, 1, 0, 0, 0, 0, 2, 1, 0, 1});
  // Longer than the blocks the stream is read in, with absolute runs across their edges.
  Bytes stream;
  for (int y = 0; y < 400; ++y) {
    for (const int n : {200, 55}) {
      stream.insert(stream.end(), {0, static_cast<std::uint8_t>(n)});
      for (int i = 0; i < n + n % 2; ++i) stream.push_back(static_cast<std::uint8_t>(i * 7 + y));
    }
    stream.insert(stream.end(), {0, 0});
  }
  stream.back() = 1;
  for (const Bytes& start : {testing_support::bmpBytes(small), rle, rle8Claiming(255, 400, stream)}) {
    Bitmap b;
    EXPECT_EQ(load(file(start, 1000 * kMiB), &b), "");
    EXPECT_LT(largest, std::size_t{1} << 17);
    EXPECT_LT(ms, 1000);
    EXPECT_EQ(b, decodeBmp(start));
  }
}
