#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace platform::detail {

// Reserves room for n elements. Large blocks ask the kernel for huge pages before they are touched: faulting
// in a sheet's worth of memory page by page costs more than decoding or cutting it.
template <typename T>
void reserveLarge(std::vector<T>& v, std::size_t n) {
  v.reserve(n);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
  if (v.capacity() * sizeof(T) < 2 * kHuge) return;
  const auto begin = (reinterpret_cast<std::uintptr_t>(v.data()) + kHuge - 1) & ~(kHuge - 1);
  const auto end = reinterpret_cast<std::uintptr_t>(v.data() + v.capacity()) & ~(kHuge - 1);
  // Only advice: without huge pages the block works the same.
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

}  // namespace platform::detail
