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

// Large blocks freed are kept, one at a time, for the next request of about their size: a load over an
// open project, or an import after another, then finds its memory mapped already, where faulting in tens of
// MiB of fresh pages costs it more than the decoding. Only blocks of kKeptLeast to kKeptMost are kept, so
// that a closed project never holds much; under AddressSanitizer none is, so that it sees every reuse.
inline constexpr std::size_t kKeptLeast = std::size_t{4} << 20;
inline constexpr std::size_t kKeptMost = std::size_t{128} << 20;
// A block of at least bytes (kKeptLeast or more): the one kept when it is no more than twice that.
void* takeLargeBlock(std::size_t bytes);
// Frees a block takeLargeBlock gave, or keeps it for the next.
void giveLargeBlock(void* block) noexcept;

// An allocator whose elements made without a value are left as the memory holds them: a block that is
// written whole right after it grows is then written once, not zeroed first. Its large blocks are kept
// as above.
template <typename T>
struct UnfilledAllocator : std::allocator<T> {
  T* allocate(std::size_t n) {
    if (n > kKeptLeast / sizeof(T)) return static_cast<T*>(takeLargeBlock(n * sizeof(T)));
    return std::allocator<T>::allocate(n);
  }
  void deallocate(T* p, std::size_t n) noexcept {
    if (n > kKeptLeast / sizeof(T)) return giveLargeBlock(p);
    std::allocator<T>::deallocate(p, n);
  }
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

// How reserveLarge prepares a large block that it has just allocated.
enum class LargeBlockPages {
  Plain,     // pages of 4 KiB fault in one by one as they are first written
  Prefault,  // the same pages, all mapped by one call before the block is written
  Huge,      // huge pages asked for: each fault zeroes 2 MiB at once
};
// Prefault: a block that is reserved is written whole right after, and mapping it in one call spares a
// trap per page. Huge pages make later faults rare but each one dear: on memory that another program has
// just freed (on a virtual machine, memory handed back to its host) their zeroing made a first import three
// times its cut. The benchmarks set the others to measure them side by side.
inline LargeBlockPages largeBlockPages = LargeBlockPages::Prefault;

// Reserves room for n elements, preparing a newly allocated large block as largeBlockPages says.
template <typename Vector>
void reserveLarge(Vector& v, std::size_t n) {
  const auto* before = v.data();
  v.reserve(n);
#if defined(__linux__)
  using T = typename Vector::value_type;
  constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
  if (v.data() == before || v.capacity() * sizeof(T) < 2 * kHuge) return;
  const auto start = reinterpret_cast<std::uintptr_t>(v.data());
  const auto stop = reinterpret_cast<std::uintptr_t>(v.data() + v.capacity());
  // Only advice: where the kernel refuses it, the block works the same.
  switch (largeBlockPages) {
    case LargeBlockPages::Plain:
      break;
    case LargeBlockPages::Prefault: {
#if defined(MADV_POPULATE_WRITE)
      constexpr std::uintptr_t kPage = 4096;
      // Pages that begin inside the block only: the page it shares with the allocator's header may be
      // another block's.
      const auto begin = (start + kPage - 1) & ~(kPage - 1), end = stop & ~(kPage - 1);
      if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#endif
      break;
    }
    case LargeBlockPages::Huge: {
#if defined(MADV_HUGEPAGE)
      const auto begin = (start + kHuge - 1) & ~(kHuge - 1), end = stop & ~(kHuge - 1);
      if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
      break;
    }
  }
#endif
}

}  // namespace platform::detail
