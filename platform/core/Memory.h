#pragma once

#include <cstddef>

namespace platform {

// The machine's physical memory in bytes; 0 when the system does not tell.
std::size_t physicalMemoryBytes();

}  // namespace platform
