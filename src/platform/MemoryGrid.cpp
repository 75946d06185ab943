#include "platform/MemoryGrid.h"

#include "platform/ProgrammingError.h"

#include <algorithm>
#include <string>

namespace tresol::platform {

namespace {
// A grid large enough for any table the program writes, small enough to stay in memory.
constexpr std::int32_t kMaxCells = 1 << 22;
} // namespace

MemoryGrid::MemoryGrid(std::int32_t rows, std::int32_t cols) {
    resize(rows, cols);
}

void MemoryGrid::resize(std::int32_t rows, std::int32_t cols) {
    if (rows < 1 || cols < 1 || static_cast<std::int64_t>(rows) * cols > kMaxCells)
        throw ProgrammingError("invalid grid size");
    cells_.resize(static_cast<std::size_t>(rows));
    for (auto& r : cells_)
        r.resize(static_cast<std::size_t>(cols));
    widths_.resize(static_cast<std::size_t>(cols), kDefaultColWidth);
    rows_ = rows;
    cols_ = cols;
    row_ = std::min(row_, rows_ - 1);
    col_ = std::min(col_, cols_ - 1);
}

void MemoryGrid::Cols(std::int32_t n) {
    resize(rows_, n);
}

std::int32_t MemoryGrid::ColWidth(std::int32_t column) const {
    checkIndex(column, cols_, "column");
    return widths_[static_cast<std::size_t>(column)];
}

void MemoryGrid::ColWidth(std::int32_t column, std::int32_t twips) {
    checkIndex(column, cols_, "column");
    widths_[static_cast<std::size_t>(column)] = twips;
}

void MemoryGrid::Rows(std::int32_t n) {
    resize(n, cols_);
}

void MemoryGrid::Row(std::int32_t row) {
    checkIndex(row, rows_, "row");
    row_ = row;
}

void MemoryGrid::col(std::int32_t column) {
    checkIndex(column, cols_, "column");
    col_ = column;
}

void MemoryGrid::Text(const std::string& text) {
    cells_[static_cast<std::size_t>(row_)][static_cast<std::size_t>(col_)] = text;
}

std::string MemoryGrid::TextMatrix(std::int32_t row, std::int32_t column) const {
    checkIndex(row, rows_, "row");
    checkIndex(column, cols_, "column");
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

} // namespace tresol::platform
