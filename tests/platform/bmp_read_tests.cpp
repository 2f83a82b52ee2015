#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/BmpFile.h"
#include "tests/support/BmpBytes.h"

using namespace platform;

namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t get32(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

Color hex(std::uint32_t rrggbb) { return rgb(rrggbb >> 16, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF); }

std::vector<Color> colorsOf(const Bitmap& b) {
  std::vector<Color> out;
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) out.push_back(b.pixel(x, y));
  return out;
}

std::vector<Color> hexes(std::initializer_list<std::uint32_t> list) {
  std::vector<Color> out;
  for (auto v : list) out.push_back(hex(v));
  return out;
}

// Colours the tools report for the two sources (convert FILE txt:-), row by row from the top.
const std::vector<Color> kFiveByThree =
    hexes({0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0xFFFF00, 0x00FFFF, 0xFF00FF, 0x808080, 0x402010,
           0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF});
const std::vector<Color> kFiveByThree565 =
    hexes({0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0xFFFF00, 0x00FFFF, 0xFF00FF, 0x7B7D7B, 0x391C08,
           0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF});
const std::vector<Color> kSevenByFour =
    hexes({0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0xFFFF00, 0x00FFFF,
           0xFF00FF, 0x808080, 0x402010, 0x0A141E, 0xC86432, 0xC86432, 0xC86432, 0x000000, 0xFAF0E6, 0x5AB42D,
           0x214263, 0x800000, 0x008000, 0x000080, 0x112233, 0x112233, 0x112233, 0x112233});
const std::vector<Color> kBits =
    hexes({0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF,
           0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF, 0x000000});

struct FixtureCase {
  const char* file;
  PixelFormat format;
  int width, height;
  const std::vector<Color>* colors;
};

void PrintTo(const FixtureCase& c, std::ostream* os) { *os << c.file; }

class BmpFixture : public testing::TestWithParam<FixtureCase> {};

TEST_P(BmpFixture, ReadsTheColoursTheToolsReport) {
  const auto& c = GetParam();
  const Bitmap b = loadBmpFile(std::string(TESSALY_FIXTURES) + "/bmp/" + c.file);
  EXPECT_EQ(b.pixelFormat(), c.format);
  ASSERT_EQ(b.width(), c.width);
  ASSERT_EQ(b.height(), c.height);
  EXPECT_EQ(colorsOf(b), *c.colors);
}

INSTANTIATE_TEST_SUITE_P(
    Tools, BmpFixture,
    testing::Values(FixtureCase{"netpbm_1bit.bmp", PixelFormat::pf1bit, 5, 3, &kBits},
                    FixtureCase{"netpbm_4bit.bmp", PixelFormat::pf4bit, 5, 3, &kFiveByThree},
                    FixtureCase{"im_v5_4bit.bmp", PixelFormat::pf4bit, 5, 3, &kFiveByThree},
                    FixtureCase{"im_8bit.bmp", PixelFormat::pf8bit, 7, 4, &kSevenByFour},
                    FixtureCase{"im_rle8.bmp", PixelFormat::pf8bit, 7, 4, &kSevenByFour},
                    FixtureCase{"im_os2_8bit.bmp", PixelFormat::pf8bit, 7, 4, &kSevenByFour},
                    FixtureCase{"im_v5_rgb565.bmp", PixelFormat::pf16bit, 5, 3, &kFiveByThree565},
                    FixtureCase{"pil_24bit.bmp", PixelFormat::pf24bit, 5, 3, &kFiveByThree},
                    FixtureCase{"pil_32bit.bmp", PixelFormat::pf32bit, 5, 3, &kFiveByThree},
                    FixtureCase{"im_v5_32bit.bmp", PixelFormat::pf32bit, 5, 3, &kFiveByThree}),
    [](const auto& info) {
      std::string name = info.param.file;
      return name.substr(0, name.find('.'));
    });

// A bitmap whose every pixel differs from its neighbours, with a table that is not the default one.
Bitmap patterned(PixelFormat f, int w, int h) {
  Bitmap b(w, h, f);
  if (b.indexed()) {
    const std::size_t n = f == PixelFormat::pf8bit ? 200 : (std::size_t{1} << b.bitsPerPixel());
    std::vector<Color> table;
    for (std::size_t i = 0; i < n; ++i) table.push_back(rgb(i * 37, 255 - i, i * 11));
    b.setColorTable(table);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) b.setIndex(x, y, static_cast<std::uint8_t>((x * 7 + y * 13) % n));
  } else {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) b.setPixel(x, y, rgb(x * 40 + y, 255 - x * 30, y * 70 + x * 3));
  }
  return b;
}

struct FormatCase {
  PixelFormat format;
  const char* name;
};
void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class BmpRoundTrip : public testing::TestWithParam<FormatCase> {};

TEST_P(BmpRoundTrip, EveryWidthReadsBackIdentically) {
  for (const int w : {1, 3, 5, 7, 8, 33}) {
    SCOPED_TRACE(w);
    const Bitmap b = patterned(GetParam().format, w, 3);
    const Bytes file = testing_support::bmpBytes(b);
    const std::uint32_t rowBytes = (w * b.bitsPerPixel() + 31) / 32 * 4;
    EXPECT_EQ(get32(file, 2), file.size());
    EXPECT_EQ(get32(file, 34), rowBytes * 3);
    EXPECT_EQ(get32(file, 10) + rowBytes * 3, file.size());
    EXPECT_EQ(decodeBmp(file), b);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, BmpRoundTrip,
    testing::Values(FormatCase{PixelFormat::pf1bit, "bits1"}, FormatCase{PixelFormat::pf4bit, "bits4"},
                    FormatCase{PixelFormat::pf8bit, "bits8"}, FormatCase{PixelFormat::pf15bit, "bits15"},
                    FormatCase{PixelFormat::pf16bit, "bits16"}, FormatCase{PixelFormat::pf24bit, "bits24"},
                    FormatCase{PixelFormat::pf32bit, "bits32"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BmpWrite, HeaderFieldsNameTheFormat) {
  struct Case {
    PixelFormat format;
    std::uint32_t bits, compression, colours;
  };
  for (const Case c : {Case{PixelFormat::pf1bit, 1, 0, 2}, Case{PixelFormat::pf4bit, 4, 0, 16},
                       Case{PixelFormat::pf8bit, 8, 0, 256}, Case{PixelFormat::pf15bit, 16, 0, 0},
                       Case{PixelFormat::pf16bit, 16, 3, 0}, Case{PixelFormat::pf24bit, 24, 0, 0},
                       Case{PixelFormat::pf32bit, 32, 0, 0}}) {
    const Bytes f = testing_support::bmpBytes(Bitmap(2, 2, c.format));
    EXPECT_EQ(get32(f, 14), 40u);
    EXPECT_EQ(f[28] | (f[29] << 8), c.bits);
    EXPECT_EQ(get32(f, 30), c.compression);
    EXPECT_EQ(get32(f, 46), c.colours);
    if (c.compression == 3) {
      EXPECT_EQ(get32(f, 54), 0xF800u);
      EXPECT_EQ(get32(f, 58), 0x07E0u);
      EXPECT_EQ(get32(f, 62), 0x001Fu);
    }
  }
  EXPECT_THROW(testing_support::bmpBytes(Bitmap()), BitmapError);
}

// Rows of a bottom-up file in reverse order under a negative height.
Bytes topDown(Bytes file) {
  const std::uint32_t offset = get32(file, 10);
  const auto height = static_cast<std::int32_t>(get32(file, 22));
  const std::size_t row = (file.size() - offset) / height;
  Bytes flipped(file.begin(), file.begin() + offset);
  for (int y = height - 1; y >= 0; --y) {
    flipped.insert(flipped.end(), file.begin() + offset + y * row, file.begin() + offset + (y + 1) * row);
  }
  put32(flipped, 22, static_cast<std::uint32_t>(-height));
  return flipped;
}

TEST(BmpRead, TopDownRowsReadInFileOrder) {
  for (const PixelFormat f : {PixelFormat::pf1bit, PixelFormat::pf4bit, PixelFormat::pf8bit,
                              PixelFormat::pf16bit, PixelFormat::pf24bit, PixelFormat::pf32bit}) {
    const Bitmap b = patterned(f, 5, 4);
    EXPECT_EQ(decodeBmp(topDown(testing_support::bmpBytes(b))), b);
  }
}

// The same file under a larger header: the fields past the info header's do not change the reading.
TEST(BmpRead, LongerInfoHeadersReadAlike) {
  const Bitmap b = patterned(PixelFormat::pf8bit, 5, 3);
  const Bytes base = testing_support::bmpBytes(b);
  for (const std::uint32_t size : {52u, 56u, 64u, 108u, 124u}) {
    Bytes f = base;
    f.insert(f.begin() + 54, size - 40, 0);
    put32(f, 14, size);
    put32(f, 10, get32(f, 10) + size - 40);
    EXPECT_EQ(decodeBmp(f), b) << size;
  }
}

Bytes bitfields(int bits, std::uint32_t r, std::uint32_t g, std::uint32_t b, const Bytes& pixelRow) {
  Bytes f = testing_support::bmpBytes(Bitmap(1, 1, bits == 16 ? PixelFormat::pf16bit : PixelFormat::pf32bit));
  if (bits == 32) {
    f.insert(f.begin() + 54, 12, 0);
    put32(f, 10, 66);
    put32(f, 30, 3);
  }
  put32(f, 54, r);
  put32(f, 58, g);
  put32(f, 62, b);
  f.resize(66);
  f.insert(f.end(), pixelRow.begin(), pixelRow.end());
  return f;
}

// A 16-bit file with an alpha mask after the three colour masks.
Bytes alphaBitfields16(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a, const Bytes& row) {
  Bytes f = bitfields(16, r, g, b, row);
  const Bytes mask = {static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(a >> 8), 0, 0};
  f.insert(f.begin() + 66, mask.begin(), mask.end());
  put32(f, 30, 6);
  put32(f, 10, 70);
  return f;
}

// Each channel is widened from its own width: nothing is lost on the way to the bitmap's format.
TEST(BmpRead, BitFieldsConvertEachChannel) {
  struct Case {
    const char* name;
    Bytes file;
    PixelFormat format;
    Color color;
  };
  const Case cases[] = {
      {"5-5-5 masks", bitfields(16, 0x7C00, 0x03E0, 0x001F, {0x1F, 0x7C, 0, 0}), PixelFormat::pf15bit,
       rgb(255, 0, 255)},
      {"5-6-5 with red low", bitfields(16, 0x001F, 0x07E0, 0xF800, {0x31, 0x2C, 0, 0}), PixelFormat::pf16bit,
       rgb(140, 134, 41)},
      {"4-4-4", bitfields(16, 0x0F00, 0x00F0, 0x000F, {0x8F, 0x0F, 0, 0}), PixelFormat::pf24bit,
       rgb(255, 136, 255)},
      {"4-4-4-4", alphaBitfields16(0x0F00, 0x00F0, 0x000F, 0xF000, {0x31, 0xA2, 0, 0}), PixelFormat::pf24bit,
       rgb(34, 51, 17)},
      {"3-3-2", bitfields(16, 0xE0, 0x1C, 0x03, {0xA9, 0x00, 0, 0}), PixelFormat::pf24bit, rgb(182, 73, 85)},
      {"6-6-4", bitfields(16, 0xFC00, 0x03F0, 0x000F, {0xA7, 0x84, 0, 0}), PixelFormat::pf24bit,
       rgb(134, 40, 119)},
      {"3-10-3", bitfields(16, 0xE000, 0x1FF8, 0x0007, {0x5B, 0xD5, 0, 0}), PixelFormat::pf24bit,
       rgb(219, 170, 109)},
      {"32 bits red in the low byte", bitfields(32, 0xFF, 0xFF00, 0xFF0000, {0x11, 0x22, 0x33, 0}),
       PixelFormat::pf32bit, rgb(0x11, 0x22, 0x33)},
      {"32 bits 10-10-10", bitfields(32, 0x3FF00000, 0x000FFC00, 0x000003FF, {0xFF, 0x03, 0x00, 0x20}),
       PixelFormat::pf32bit, rgb(0x80, 0x00, 0xFF)},
  };
  for (const auto& c : cases) {
    const Bitmap b = decodeBmp(c.file);
    EXPECT_EQ(b.pixelFormat(), c.format) << c.name;
    EXPECT_EQ(b.pixel(0, 0), c.color) << c.name;
  }
}

TEST(BmpRead, AlphaBitFieldsAfterAnInfoHeader) {
  Bytes f = bitfields(32, 0xFF0000, 0xFF00, 0xFF, {0x30, 0x20, 0x10, 0x00});
  f.insert(f.begin() + 66, {0, 0, 0, 0xFF});
  put32(f, 30, 6);
  put32(f, 10, 70);
  EXPECT_EQ(decodeBmp(f).pixel(0, 0), rgb(0x10, 0x20, 0x30));
}

TEST(BmpRead, DecodingLeavesTheInputAlone) {
  const Bytes file = testing_support::bmpBytes(patterned(PixelFormat::pf4bit, 5, 3));
  const Bytes copy = file;
  decodeBmp(file);
  EXPECT_EQ(file, copy);
}

// Writes a bitmap whose pixel (x, y) has colour paint(x, y) into a folder of this process's own, removed
// at its end.
std::string writeBitmap(const std::string& name, int w, int h, PixelFormat format,
                        const std::function<Color(int, int)>& paint) {
  static const struct Folder {
    std::string path;
    ~Folder() { std::filesystem::remove_all(path); }
  } folder{[] {
    std::string tmpl = (std::filesystem::temp_directory_path() / "bmp_read_tests.XXXXXX").string();
    return std::string(mkdtemp(tmpl.data())) + "/";
  }()};
  Bitmap b(w, h, format);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.setPixel(x, y, paint(x, y));
  saveBmpFile(folder.path + name, b);
  return folder.path + name;
}

// Every image of a list, row by row.
std::vector<std::uint32_t> wordsOf(const ImageList& list) {
  const std::size_t tile = static_cast<std::size_t>(list.width()) * list.height();
  return std::vector<std::uint32_t>(list.words(0), list.words(0) + tile * list.count());
}

// Tiles cut straight from a file are the tiles cut from the file's decoded bitmap, for every file the
// fixtures and the corpus hold (each pixel format, bottom-up and top-down, bit fields, RLE) and for tiles
// of one pixel, tiles that start inside a byte of 1- and 4-bit rows, tiles crossing the sheet's right and
// bottom edges and tiles wholly beside it; a file the one refuses the other refuses alike.
TEST(BmpSource, CutsTheTilesOfTheDecodedBitmap) {
  const struct {
    int width, height, columns, count;
  } cuts[] = {{1, 1, 7, 28}, {2, 2, 3, 6}, {3, 1, 2, 5},        {1, 3, 5, 5},
              {8, 8, 1, 2},  {5, 3, 1, 1}, {3, 2, 87383, 87383}};
  std::vector<std::string> paths;
  for (const char* folder : {"/bmp", "/../fuzz/corpus/bmp"})
    for (const auto& entry : std::filesystem::directory_iterator(std::string(TESSALY_FIXTURES) + folder))
      if (entry.is_regular_file()) paths.push_back(entry.path().string());
  // Rows longer than the part of a row read at a time, which then starts inside a byte.
  for (const auto format : {PixelFormat::pf1bit, PixelFormat::pf4bit})
    paths.push_back(writeBitmap("wide" + std::to_string(bitsPerPixelOf(format)) + ".bmp", 262150, 2, format,
                                [](int x, int y) { return (x * 7 + y) % 5 < 2 ? clBlack : clWhite; }));
  int files = 0;
  for (const std::string& path : paths) {
    std::string refused;
    Bitmap decoded;
    try {
      decoded = loadBmpFile(path);
    } catch (const BitmapError& e) {
      refused = e.what();
    }
    if (!refused.empty()) {
      try {
        loadBmpSource(path);
        ADD_FAILURE() << path << " is read from its source alone";
      } catch (const BitmapError& e) {
        EXPECT_EQ(e.what(), refused);
      }
      continue;
    }
    ++files;
    const BmpSource source = loadBmpSource(path);
    EXPECT_EQ(source.width(), decoded.width()) << path;
    EXPECT_EQ(source.height(), decoded.height()) << path;
    for (const auto& c : cuts) {
      if (c.count > 1000 && decoded.width() < 1000) continue;  // the long row is for the wide files
      // The list holds a tile already: the cut ones follow it.
      ImageList expected(c.width, c.height), cut(c.width, c.height);
      const Bitmap first(c.width, c.height, PixelFormat::pf8bit);
      expected.add(first);
      cut.add(first);
      expected.appendTiles(decoded, c.columns, c.count);
      source.appendTilesTo(cut, c.columns, c.count);
      ASSERT_EQ(cut.count(), expected.count());
      EXPECT_EQ(wordsOf(cut), wordsOf(expected))
          << path << ", tiles of " << c.width << " x " << c.height << ", " << c.columns << " a row";
    }
  }
  EXPECT_GE(files, 12);
}

// A file cut short after its headers were read fails the cut, instead of giving tiles of whatever the
// memory held.
TEST(BmpSource, AFileCutShortAfterItsHeadersFailsTheCut) {
  const std::string path = writeBitmap("shortened.bmp", 64, 8, PixelFormat::pf24bit,
                                       [](int x, int y) { return rgb(x * 4, y * 30, 7); });
  const BmpSource source = loadBmpSource(path);
  std::filesystem::resize_file(path, 200);
  ImageList list(8, 8);
  EXPECT_THROW(source.appendTilesTo(list, 8, 8), FileError);
}

}  // namespace
