#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The fuzz targets: each takes one input, returns 0, and aborts when a property it checks fails, so that
// libFuzzer and the corpus replay both report it.
namespace fuzz {

// Decodes a bitmap file; one that reads is written as saveBmpFile writes it, read again, and must come back
// equal.
int bmpTarget(const std::uint8_t* data, std::size_t size);
// Project text, optionally followed by a NUL and the bitmap file that serves as both strips: lines, key
// values, bounds, and the load of tiles and frames from the strips.
int projectTarget(const std::uint8_t* data, std::size_t size);
// A version block, or a program file (PE or ELF) from which the block is read first: the lists a load
// fills.
int versionTarget(const std::uint8_t* data, std::size_t size);

inline void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz property failed: %s\n", what);
  std::abort();
}

}  // namespace fuzz
