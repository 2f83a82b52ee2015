#include "platform/core/BmpFile.h"
#include "tests/fuzz/FuzzTargets.h"
#include "tests/support/BmpBytes.h"

namespace fuzz {

namespace {
constexpr std::int64_t kMaxRoundTripPixels = std::int64_t{1} << 16;
}  // namespace

int bmpTarget(const std::uint8_t* data, std::size_t size) {
  platform::Bitmap first;
  try {
    first = platform::decodeBmp(data, size);
  } catch (const platform::BitmapError&) {
    return 0;
  }
  check(!first.empty(), "a decoded bitmap has pixels");
  // Writing and reading are row by row whatever the size; large bitmaps would only slow the search.
  if (std::int64_t{first.width()} * first.height() > kMaxRoundTripPixels) return 0;
  const platform::Bitmap second = platform::decodeBmp(testing_support::bmpBytes(first));
  // An indexed bitmap without a table is written with a full black one, which reads the same colours.
  platform::Bitmap expected = first;
  if (expected.indexed() && expected.colorTable().empty())
    expected.setColorTable(
        std::vector<platform::Color>(std::size_t{1} << expected.bitsPerPixel(), platform::clBlack));
  check(second == expected, "encoding and decoding again gives the same bitmap");
  return 0;
}

}  // namespace fuzz
