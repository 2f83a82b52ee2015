#include "tests/fuzz/FuzzTargets.h"

// libFuzzer's entry, bound to one target by the build.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return fuzz::TESSALY_FUZZ_TARGET(data, size);
}
