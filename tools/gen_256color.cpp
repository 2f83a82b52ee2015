// Writes the palette template "256color": a 75 x 75 white bitmap of 8 bits per pixel carrying the 3-3-2
// colour cube. The build runs this and compiles the result into each program's resources.
#include <cstdio>
#include <exception>

#include "platform/core/Bitmap.h"
#include "platform/core/BmpFile.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gen_256color OUTPUT.bmp\n");
    return 2;
  }
  try {
    platform::Bitmap b(75, 75, platform::PixelFormat::pf8bit);
    b.setColorTable(platform::palette332());
    b.fillRect(platform::Rect{0, 0, 75, 75}, platform::clWhite);
    platform::saveBmpFile(argv[1], b);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "gen_256color: %s\n", e.what());
    return 1;
  }
  return 0;
}
