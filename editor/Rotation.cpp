#include "editor/Rotation.h"

namespace pxwk {

platform::Bitmap rotated(const platform::Bitmap& source, Turn turn) {
  const int w = source.width(), h = source.height();
  const bool quarter = turn != Turn::Right180;
  platform::Bitmap result(quarter ? h : w, quarter ? w : h, source.pixelFormat());
  result.setColorTable(source.colorTable());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const platform::Color c = source.pixel(x, y);
      switch (turn) {
        case Turn::Right90:
          result.setPixel(h - 1 - y, x, c);
          break;
        case Turn::Right180:
          result.setPixel(w - 1 - x, h - 1 - y, c);
          break;
        case Turn::Right270:
          result.setPixel(y, w - 1 - x, c);
          break;
      }
    }
  return result;
}

}  // namespace pxwk
