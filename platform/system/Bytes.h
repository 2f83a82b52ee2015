#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// Little-endian fields of the Windows file formats (bitmap files, version blocks).
inline void appendLe16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void appendLe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  appendLe16(out, v & 0xFFFF);
  appendLe16(out, v >> 16);
}

}  // namespace platform
