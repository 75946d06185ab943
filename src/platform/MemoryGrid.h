#pragma once

#include "platform/GridControl.h"

#include <vector>

namespace tresol::platform {

// A grid kept in memory: what the library writes when no window is around, and what tests read.
class MemoryGrid : public GridControl {
  public:
    static constexpr std::int32_t kDefaultColWidth = 960;

    MemoryGrid(std::int32_t rows = 2, std::int32_t cols = 2);

    std::int32_t Cols() const override { return cols_; }
    void Cols(std::int32_t n) override;
    std::int32_t ColWidth(std::int32_t column) const override;
    void ColWidth(std::int32_t column, std::int32_t twips) override;
    std::int32_t Rows() const override { return rows_; }
    void Rows(std::int32_t n) override;
    std::int32_t Row() const override { return row_; }
    void Row(std::int32_t row) override;
    std::int32_t col() const override { return col_; }
    void col(std::int32_t column) override;
    std::string Text() const override { return TextMatrix(row_, col_); }
    void Text(const std::string& text) override;
    std::string TextMatrix(std::int32_t row, std::int32_t column) const override;

  private:
    void resize(std::int32_t rows, std::int32_t cols);

    std::int32_t rows_ = 0, cols_ = 0, row_ = 0, col_ = 0;
    std::vector<std::vector<std::string>> cells_;
    std::vector<std::int32_t> widths_;
};

} // namespace tresol::platform
