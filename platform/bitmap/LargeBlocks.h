#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace platform::detail {

// An allocator whose elements made without a value are left as the memory holds them: a block that is
// written whole right after it grows is then written once, not zeroed first.
template <typename T>
struct UnfilledAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = UnfilledAllocator<U>;
  };
  UnfilledAllocator() = default;
  template <typename U>
  UnfilledAllocator(const UnfilledAllocator<U>&) noexcept {}
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

// A vector of plain values whose resize leaves the new elements unwritten.
template <typename T>
using UnfilledVector = std::vector<T, UnfilledAllocator<T>>;

// Makes to a copy of from. A vector of this allocator copies element by element; plain values copy as
// one block.
template <typename Vector>
void copyBlock(Vector& to, const Vector& from) {
  to.resize(from.size());
  if (!from.empty()) std::memcpy(to.data(), from.data(), from.size() * sizeof(typename Vector::value_type));
}

// Reserves room for n elements. Large blocks ask the kernel for huge pages before they are touched: faulting
// in a sheet's worth of memory page by page costs more than decoding or cutting it.
template <typename Vector>
void reserveLarge(Vector& v, std::size_t n) {
  v.reserve(n);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  using T = typename Vector::value_type;
  constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
  if (v.capacity() * sizeof(T) < 2 * kHuge) return;
  const auto begin = (reinterpret_cast<std::uintptr_t>(v.data()) + kHuge - 1) & ~(kHuge - 1);
  const auto end = reinterpret_cast<std::uintptr_t>(v.data() + v.capacity()) & ~(kHuge - 1);
  // Only advice: without huge pages the block works the same.
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

}  // namespace platform::detail
