#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// Little-endian fields of the Windows file formats (bitmap files, version blocks, program files).
inline void appendLe16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void appendLe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  appendLe16(out, v & 0xFFFF);
  appendLe16(out, v >> 16);
}

// The fields at p, which holds their bytes.
inline std::uint16_t readLe16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

inline std::uint32_t readLe32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(readLe16(p)) | (static_cast<std::uint32_t>(readLe16(p + 2)) << 16);
}

inline std::uint64_t readLe64(const std::uint8_t* p) {
  return static_cast<std::uint64_t>(readLe32(p)) | (static_cast<std::uint64_t>(readLe32(p + 4)) << 32);
}

}  // namespace platform
