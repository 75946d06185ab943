#pragma once

#include "platform/GridControl.h"

#include <QColor>
#include <QObject>

#include <optional>
#include <string>
#include <vector>

class QTableWidget;

namespace tresol::app {

// The grid contract over a QTableWidget whose first row and first column are drawn as fixed
// header cells. Widths in twips are least widths in device-independent pixels: columns widen to
// their contents in the platform's font (fitColumns). The contract's current cell is kept here, as
// the library moves it while it writes; only a current cell chosen by the user is reported, through
// rowPicked().
class QtGrid : public QObject, public platform::GridControl {
    Q_OBJECT
  public:
    explicit QtGrid(QTableWidget* table);

    std::int32_t Cols() const override;
    void Cols(std::int32_t n) override;
    std::int32_t ColWidth(std::int32_t column) const override;
    void ColWidth(std::int32_t column, std::int32_t twips) override;
    std::int32_t Rows() const override;
    void Rows(std::int32_t n) override;
    std::int32_t Row() const override { return row_; }
    void Row(std::int32_t row) override;
    std::int32_t col() const override { return col_; }
    void col(std::int32_t column) override;
    std::string Text() const override { return TextMatrix(row_, col_); }
    void Text(const std::string& text) override;
    std::string TextMatrix(std::int32_t row, std::int32_t column) const override;

    QTableWidget* table() const { return table_; }

    // Every column as wide as its contents and no narrower than the width given to it; every row
    // a line of the table's font high.
    void fitColumns();
    // A row whose line cannot be taken as it reads: its text in the disabled colour (or the one
    // given) and a tool tip saying why; an empty reason clears the mark.
    void markRow(std::int32_t row, const std::string& reason,
                 std::optional<QColor> colour = std::nullopt);
    bool isMarked(std::int32_t row) const;

  signals:
    // The user made a row 1…Rows-1 current (mouse or keys).
    void rowPicked(int row);

  private:
    void userMoved(int row, int column);
    void styleFixedCells();
    void showCurrent();

    QTableWidget* table_;
    std::int32_t row_ = 0;
    std::int32_t col_ = 0;
    bool writing_ = false;
    std::vector<int> minWidths_; // pixels, by column
};

} // namespace tresol::app
