#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform {

class ConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Text to integer, one rule for every caller: leading blanks skipped, one "+" or "-", then decimal digits,
// or "$", "x" or "X" followed by hexadecimal digits. Anything else, empty text and a value outside the
// 32-bit range raise ConversionError "'TEXT' is not a valid integer value", a NUL in TEXT shown as U+2400.
std::int32_t strToInt(const std::string& text);

// The same rule without the error: false when strToInt would raise.
bool tryStrToInt(const std::string& text, std::int32_t& value);

}  // namespace platform
