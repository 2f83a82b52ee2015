#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace components {

// The ELF section into which the build puts a program's version block.
inline constexpr std::string_view kVersionSection = ".tessaly_version";

// The version block of a program file: the first RT_VERSION resource of a Windows program (PE) or the
// version section of an ELF program. Nothing when the file cannot be read, is neither, or carries no
// block; every offset and size read from the file is checked against the file before it is used.
std::optional<std::vector<std::uint8_t>> readVersionResource(const std::string& path);

}  // namespace components
