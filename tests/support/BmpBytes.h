#pragma once

#include <cstdint>
#include <vector>

#include "platform/core/BmpFile.h"

namespace testing_support {

// The file form of a bitmap, from the writer that saveBmpFile writes through.
inline std::vector<std::uint8_t> bmpBytes(const platform::Bitmap& bitmap) {
  std::vector<std::uint8_t> out;
  platform::writeBmp(
      [&](const void* data, std::size_t size) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        out.insert(out.end(), bytes, bytes + size);
      },
      bitmap);
  return out;
}

}  // namespace testing_support
