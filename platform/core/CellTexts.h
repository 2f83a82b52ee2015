#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The texts of a grid's cells, any text in any cell, held in a few bytes a cell: a grid of millions of
// cells is mostly empty cells and tile indices. A cell is a code: empty, a number whose text is its plain
// decimal digits ("0", "17", never "007" or "+1"), or the place of its text among the others.
class CellTexts {
 public:
  int cols() const { return cols_; }
  int rows() const { return rows_; }
  // New counts; cells in both the old and the new counts keep their texts, new cells are empty.
  void resize(int cols, int rows);
  // Empty text outside the counts.
  std::string text(int col, int row) const {
    Digits digits;
    return std::string(view(col, row, digits));
  }
  // The same text without a copy, valid while the cell and digits stay: a number is spelt into digits.
  using Digits = std::array<char, 11>;
  std::string_view view(int col, int row, Digits& digits) const;
  bool empty(int col, int row) const;
  // Ignored outside the counts.
  void set(int col, int row, const std::string& text);
  void clear();

 private:
  static constexpr std::int32_t kEmpty = -1;
  // Codes below kEmpty: other text k is -2 - k.
  static std::int32_t otherCode(std::size_t k) { return -2 - static_cast<std::int32_t>(k); }
  static std::size_t otherIndex(std::int32_t code) { return static_cast<std::size_t>(-2 - code); }
  bool inside(int col, int row) const { return col >= 0 && row >= 0 && col < cols_ && row < rows_; }
  std::size_t at(int col, int row) const { return static_cast<std::size_t>(row) * cols_ + col; }
  void release(std::int32_t code);

  int cols_ = 0, rows_ = 0;
  std::vector<std::int32_t> codes_;
  std::vector<std::string> others_;
  std::vector<std::size_t> freeOthers_;  // places in others_ no cell uses
};

}  // namespace platform
