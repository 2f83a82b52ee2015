#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <string>

#include "platform/core/BmpFile.h"
#include "platform/core/Files.h"
#include "platform/core/ImageList.h"
#include "tests/support/BmpBytes.h"

using namespace platform;
namespace fs = std::filesystem;

// Bytes held and the most held since the last reset, to measure what a save adds.
static std::atomic<std::size_t> liveBytes{0}, peakBytes{0};

void* operator new(std::size_t n) {
  void* p = std::malloc(n == 0 ? 1 : n);
  if (!p) throw std::bad_alloc();
  const std::size_t live = liveBytes += malloc_usable_size(p);
  std::size_t seen = peakBytes.load();
  while (live > seen && !peakBytes.compare_exchange_weak(seen, live)) {
  }
  return p;
}
// Out of line, so that the compiler does not pair an inlined free with new at each call site.
[[gnu::noinline]] void operator delete(void* p) noexcept {
  if (p) liveBytes -= malloc_usable_size(p);
  std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

std::string scratchFile(const std::string& name) {
  return (fs::temp_directory_path() / (name + "." + std::to_string(getpid()))).string();
}
std::string bytesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Tiles whose pixels all differ, so that a misplaced row or tile shows.
ImageList numberedTiles(int count, int w, int h) {
  ImageList list(w, h);
  Bitmap sheet(count * w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < count * w; ++x) sheet.setPixel(x, y, rgb(x & 0xFF, (x >> 8) & 0xFF, y * 7));
  list.appendTiles(sheet, count, count);
  return list;
}

// The strip written a group of tiles at a time is the very file a bitmap of all tiles side by side encodes
// to, for rows that need padding and rows that do not, in one group and in several (narrow tiles and wide).
TEST(Strip, IsTheFileOfTheTilesDrawnSideBySide) {
  const struct {
    int count, w, h;
  } cases[] = {{1, 1, 1}, {3, 5, 2}, {7, 8, 8}, {600, 3, 4}, {180001, 1, 2}, {1501, 101, 3}};
  for (const auto& c : cases) {
    const ImageList list = numberedTiles(c.count, c.w, c.h);
    Bitmap drawn(c.count * c.w, c.h);
    for (int i = 0; i < c.count; ++i) list.draw(i, drawn, i * c.w, 0);
    const std::string path = scratchFile("strip.bmp");
    FileReplacement files({path});
    writeBmpStrip(files.output(0), list);
    files.commit();
    const std::vector<std::uint8_t> expected = testing_support::bmpBytes(drawn);
    EXPECT_EQ(bytesOf(path), std::string(expected.begin(), expected.end())) << c.count << " x " << c.w;
    fs::remove(path);
  }
  FileReplacement files({scratchFile("empty.bmp")});
  EXPECT_THROW(writeBmpStrip(files.output(0), ImageList(8, 8)), BitmapError);
}

// A strip of 8192 tiles of 32 x 32 is 24 MiB on disk and 32 MiB as a bitmap; writing it takes a band's
// worth of memory.
TEST(Strip, WritingABigStripTakesLittleMemory) {
  const ImageList list = numberedTiles(8192, 32, 32);
  const std::string path = scratchFile("big.bmp");
  peakBytes = liveBytes.load();
  const std::size_t before = liveBytes;
  {
    FileReplacement files({path});
    writeBmpStrip(files.output(0), list);
    files.commit();
  }
  EXPECT_LT(peakBytes - before, std::size_t{4} << 20) << "bytes taken while writing";
  EXPECT_EQ(fs::file_size(path), 54u + 8192u * 32 * 32 * 3);
  EXPECT_EQ(loadBmpFile(path).pixel(8191 * 32 + 5, 31), list.image(8191).pixel(5, 31));
  fs::remove(path);
}

}  // namespace
