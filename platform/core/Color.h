#pragma once

#include <cstdint>

namespace platform {

// A colour as the programs write it: $00BBGGRR, blue in the high byte.
using Color = std::uint32_t;

// What GetPixel answers outside a bitmap.
inline constexpr Color clInvalid = 0xFFFFFFFFu;

inline constexpr Color rgb(int r, int g, int b) {
  return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline constexpr int redOf(Color c) { return static_cast<int>(c & 0xFF); }
inline constexpr int greenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
inline constexpr int blueOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

inline constexpr Color clBlack = rgb(0, 0, 0);
inline constexpr Color clWhite = rgb(255, 255, 255);

// Direct pixels are held as 0xFFRRGGBB words so that a bitmap can be painted without conversion.
inline constexpr std::uint32_t toWord(Color c) {
  return 0xFF000000u | (static_cast<std::uint32_t>(redOf(c)) << 16) |
         (static_cast<std::uint32_t>(greenOf(c)) << 8) | static_cast<std::uint32_t>(blueOf(c));
}
inline constexpr Color fromWord(std::uint32_t w) {
  return rgb(static_cast<int>((w >> 16) & 0xFF), static_cast<int>((w >> 8) & 0xFF), static_cast<int>(w & 0xFF));
}

}  // namespace platform
