#pragma once

#include "platform/ProgrammingError.h"

#include <cstdint>
#include <string>

namespace tresol::platform {

// The table control the arrangement search writes to: a grid with a fixed first row and column,
// addressed through its current cell ("Row", "col") and the properties "Cols", "ColWidth",
// "Rows" and "Text". Setting a current row or column outside the grid, or a count below one,
// is a programming error.
class GridControl {
  public:
    virtual ~GridControl() = default;

    virtual std::int32_t Cols() const = 0;
    virtual void Cols(std::int32_t n) = 0;
    virtual std::int32_t ColWidth(std::int32_t column) const = 0; // twips
    virtual void ColWidth(std::int32_t column, std::int32_t twips) = 0;
    virtual std::int32_t Rows() const = 0;
    virtual void Rows(std::int32_t n) = 0;
    virtual std::int32_t Row() const = 0;
    virtual void Row(std::int32_t row) = 0;
    virtual std::int32_t col() const = 0;
    virtual void col(std::int32_t column) = 0;
    // Text of the current cell.
    virtual std::string Text() const = 0;
    virtual void Text(const std::string& text) = 0;

    // Text of any cell, without moving the current cell.
    virtual std::string TextMatrix(std::int32_t row, std::int32_t column) const = 0;

  protected:
    // A row or column index 0…n-1, or a programming error.
    static void checkIndex(std::int32_t i, std::int32_t n, const char* what) {
        if (i < 0 || i >= n)
            throw ProgrammingError(std::string("grid ") + what +
                                   " out of range: " + std::to_string(i));
    }
};

} // namespace tresol::platform
