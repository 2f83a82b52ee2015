#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/core/BmpFile.h"

namespace testing_support {

// A folder of the test's own for the files it makes.
inline std::string scratchFolder() {
  const std::string dir = std::string(std::getenv("TESSALY_TEST_HOME")) + "/files/";
  std::filesystem::create_directories(dir);
  return dir;
}

// Writes a bitmap file in the scratch folder whose pixel (x, y) has colour paint(x, y), nearest in the
// format.
template <class Paint>
std::string writeBitmapFile(const std::string& name, int w, int h, platform::PixelFormat format, Paint paint) {
  platform::Bitmap b(w, h, format);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.setPixel(x, y, paint(x, y));
  const std::string path = scratchFolder() + name;
  platform::saveBmpFile(path, b);
  return path;
}

}  // namespace testing_support
