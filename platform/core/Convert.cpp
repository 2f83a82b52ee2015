#include "platform/core/Convert.h"

namespace platform {

bool tryStrToInt(const std::string& text, std::int32_t& value) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  }
  if (i == text.size()) return false;
  // The magnitude may reach 2^31 for a negative value; anything past that overflows.
  const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const char ch = text[i];
    int digit;
    if (ch >= '0' && ch <= '9') {
      digit = ch - '0';
    } else if (base == 16 && ch >= 'a' && ch <= 'f') {
      digit = ch - 'a' + 10;
    } else if (base == 16 && ch >= 'A' && ch <= 'F') {
      digit = ch - 'A' + 10;
    } else {
      return false;
    }
    magnitude = magnitude * base + digit;
    if (magnitude > limit) return false;
  }
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return true;
}

std::int32_t strToInt(const std::string& text) {
  std::int32_t value = 0;
  if (tryStrToInt(text, value)) return value;
  // A NUL would end the message wherever it is shown as C text; it shows as the symbol for null (U+2400).
  std::string shown;
  for (const char ch : text) shown += ch == '\0' ? std::string("\xE2\x90\x80") : std::string(1, ch);
  throw ConversionError("'" + shown + "' is not a valid integer value");
}

}  // namespace platform
