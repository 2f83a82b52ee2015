#include "platform/core/LargeBlocks.h"

#include <cstdlib>
#include <mutex>

namespace platform::detail {

namespace {

// Each large block carries its size in front, so that a block kept may serve a smaller request.
constexpr std::size_t kHead = 64;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kKeeps = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kKeeps = false;
#else
constexpr bool kKeeps = true;
#endif
#else
constexpr bool kKeeps = true;
#endif

std::mutex keptLock;
void* kept = nullptr;  // the block kept, or nothing

std::size_t& sizeOf(void* block) { return *reinterpret_cast<std::size_t*>(static_cast<char*>(block) - kHead); }
void release(void* block) { std::free(static_cast<char*>(block) - kHead); }

}  // namespace

void* takeLargeBlock(std::size_t bytes) {
  {
    const std::lock_guard<std::mutex> hold(keptLock);
    if (kept && sizeOf(kept) >= bytes && sizeOf(kept) / 2 <= bytes) return std::exchange(kept, nullptr);
  }
  if (bytes > static_cast<std::size_t>(-1) - kHead) throw std::bad_alloc();
  char* base = static_cast<char*>(std::malloc(bytes + kHead));
  if (!base) throw std::bad_alloc();
  void* block = base + kHead;
  sizeOf(block) = bytes;
  return block;
}

void giveLargeBlock(void* block) noexcept {
  if (!block) return;
  if (!kKeeps || sizeOf(block) > kKeptMost) return release(block);
  void* old;
  {
    const std::lock_guard<std::mutex> hold(keptLock);
    old = std::exchange(kept, block);
  }
  if (old) release(old);
}

}  // namespace platform::detail
