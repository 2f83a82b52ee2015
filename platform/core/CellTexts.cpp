#include "platform/core/CellTexts.h"

#include <algorithm>
#include <charconv>

#include "platform/core/LargeBlocks.h"

namespace platform {

namespace {

// The number whose plain decimal text is text, or -1 when it is none.
std::int32_t plainNumber(const std::string& text) {
  if (text.empty() || text.size() > 10 || (text[0] == '0' && text.size() > 1)) return -1;
  std::int64_t n = 0;
  for (const char ch : text) {
    if (ch < '0' || ch > '9') return -1;
    n = n * 10 + (ch - '0');
  }
  return n > INT32_MAX ? -1 : static_cast<std::int32_t>(n);
}

}  // namespace

void CellTexts::resize(int cols, int rows) {
  cols = std::max(0, cols);
  rows = std::max(0, rows);
  if (cols == cols_ && rows == rows_) return;
  std::vector<std::int32_t> codes;
  detail::reserveLarge(codes, static_cast<std::size_t>(cols) * rows);
  codes.assign(static_cast<std::size_t>(cols) * rows, kEmpty);
  for (int r = 0; r < rows_; ++r)
    for (int c = 0; c < cols_; ++c) {
      const std::int32_t code = codes_[at(c, r)];
      if (c < cols && r < rows)
        codes[static_cast<std::size_t>(r) * cols + c] = code;
      else
        release(code);
    }
  codes_ = std::move(codes);
  cols_ = cols;
  rows_ = rows;
}

std::string_view CellTexts::view(int col, int row, Digits& digits) const {
  if (!inside(col, row)) return {};
  const std::int32_t code = codes_[at(col, row)];
  if (code >= 0) {
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), code).ptr;
    return {digits.data(), static_cast<std::size_t>(end - digits.data())};
  }
  return code == kEmpty ? std::string_view() : std::string_view(others_[otherIndex(code)]);
}

bool CellTexts::empty(int col, int row) const { return !inside(col, row) || codes_[at(col, row)] == kEmpty; }

void CellTexts::set(int col, int row, const std::string& text) {
  if (!inside(col, row)) return;
  std::int32_t& code = codes_[at(col, row)];
  if (text.empty() || plainNumber(text) >= 0) {
    release(code);
    code = text.empty() ? kEmpty : plainNumber(text);
    return;
  }
  if (code < kEmpty) {
    others_[otherIndex(code)] = text;
    return;
  }
  std::size_t k = others_.size();
  if (!freeOthers_.empty()) {
    k = freeOthers_.back();
    freeOthers_.pop_back();
    others_[k] = text;
  } else {
    others_.push_back(text);
  }
  code = otherCode(k);
}

void CellTexts::clear() {
  std::fill(codes_.begin(), codes_.end(), kEmpty);
  others_.clear();
  freeOthers_.clear();
}

void CellTexts::release(std::int32_t code) {
  if (code >= kEmpty) return;
  const std::size_t k = otherIndex(code);
  others_[k] = std::string();
  freeOthers_.push_back(k);
  // Once no cell holds another text, their places go too.
  if (freeOthers_.size() == others_.size()) {
    others_.clear();
    freeOthers_.clear();
  }
}

}  // namespace platform
