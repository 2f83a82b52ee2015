#include "workspace/TileRules.h"

#include "platform/core/Convert.h"

namespace tlwk {

std::optional<std::int32_t> cellIndex(const std::string& text) {
  std::int32_t n = 0;
  if (text.empty() || !platform::tryStrToInt(text, n)) return std::nullopt;
  return n;
}

std::string renumberForDelete(const std::string& text, std::int32_t k) {
  const auto n = cellIndex(text);
  if (!n) return text;
  if (*n == k) return "";
  if (*n > k) return std::to_string(*n - 1);
  return text;
}

std::string renumberForInsert(const std::string& text, std::int32_t k) {
  const auto n = cellIndex(text);
  if (!n || *n < k || *n == INT32_MAX) return text;
  return std::to_string(*n + 1);
}

std::optional<std::string> placedText(const std::string& cellText, std::int32_t selectedTile, int tileCount,
                                      bool overwrite) {
  if (selectedTile < tileCount && overwrite && !cellText.empty()) return std::to_string(selectedTile);
  return std::nullopt;
}

}  // namespace tlwk
