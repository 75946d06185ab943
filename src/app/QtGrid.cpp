#include "app/QtGrid.h"

#include "app/Twips.h"
#include "platform/ProgrammingError.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QTableWidget>

namespace tresol::app {

namespace {
constexpr int kMaxCells = 1 << 20;
} // namespace

QtGrid::QtGrid(QTableWidget* table) : QObject(table), table_(table) {
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    if (table_->rowCount() < 1)
        table_->setRowCount(2);
    if (table_->columnCount() < 1)
        table_->setColumnCount(2);
    styleFixedCells();
    fitColumns();
    connect(table_, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int, int) { userMoved(row, column); });
}

void QtGrid::userMoved(int row, int column) {
    if (writing_ || row < 1 || column < 0)
        return; // the header row is not a choice
    row_ = row;
    col_ = column;
    emit rowPicked(row);
}

std::int32_t QtGrid::Cols() const {
    return table_->columnCount();
}

void QtGrid::Cols(std::int32_t n) {
    if (n < 1 || static_cast<std::int64_t>(n) * Rows() > kMaxCells)
        throw ProgrammingError("invalid grid column count");
    QSignalBlocker block(table_);
    table_->setColumnCount(n);
    col_ = std::min(col_, n - 1);
    styleFixedCells();
}

std::int32_t QtGrid::ColWidth(std::int32_t column) const {
    checkIndex(column, Cols(), "column");
    return table_->columnWidth(column) * 15;
}

void QtGrid::ColWidth(std::int32_t column, std::int32_t tw) {
    checkIndex(column, Cols(), "column");
    const int width = twips(std::max(tw, 0));
    if (minWidths_.size() <= static_cast<std::size_t>(column))
        minWidths_.resize(static_cast<std::size_t>(column) + 1, 0);
    minWidths_[static_cast<std::size_t>(column)] = width;
    table_->setColumnWidth(column, width);
}

void QtGrid::fitColumns() {
    // A row a line of the font high, at least the table's original 240 twips.
    table_->verticalHeader()->setDefaultSectionSize(
        std::max(twips(240), table_->fontMetrics().height() + 6));
    for (int c = 0; c < table_->columnCount(); ++c) {
        const auto i = static_cast<std::size_t>(c);
        const int least = i < minWidths_.size() ? minWidths_[i] : 0;
        table_->resizeColumnToContents(c);
        if (table_->columnWidth(c) < least)
            table_->setColumnWidth(c, least);
    }
}

void QtGrid::markRow(std::int32_t row, const std::string& reason, std::optional<QColor> colour) {
    checkIndex(row, Rows(), "row");
    const QString tip = QString::fromStdString(reason);
    for (int c = 0; c < table_->columnCount(); ++c) {
        QTableWidgetItem* item = table_->item(row, c);
        if (!item) {
            item = new QTableWidgetItem;
            table_->setItem(row, c, item);
        }
        if (reason.empty())
            item->setData(Qt::ForegroundRole, QVariant());
        else if (colour)
            item->setForeground(*colour);
        else
            item->setForeground(table_->palette().brush(QPalette::Disabled, QPalette::Text));
        item->setToolTip(tip);
    }
}

bool QtGrid::isMarked(std::int32_t row) const {
    checkIndex(row, Rows(), "row");
    const QTableWidgetItem* item = table_->item(row, 0);
    return item && !item->toolTip().isEmpty();
}

std::int32_t QtGrid::Rows() const {
    return table_->rowCount();
}

void QtGrid::Rows(std::int32_t n) {
    if (n < 1 || static_cast<std::int64_t>(n) * Cols() > kMaxCells)
        throw ProgrammingError("invalid grid row count");
    QSignalBlocker block(table_);
    table_->setRowCount(n);
    row_ = std::min(row_, n - 1);
    styleFixedCells();
}

void QtGrid::Row(std::int32_t row) {
    checkIndex(row, Rows(), "row");
    row_ = row;
    showCurrent();
}

void QtGrid::col(std::int32_t column) {
    checkIndex(column, Cols(), "column");
    col_ = column;
}

void QtGrid::Text(const std::string& text) {
    QTableWidgetItem* item = table_->item(row_, col_);
    if (!item) {
        item = new QTableWidgetItem;
        table_->setItem(row_, col_, item);
    }
    item->setText(QString::fromStdString(text));
}

std::string QtGrid::TextMatrix(std::int32_t row, std::int32_t column) const {
    checkIndex(row, Rows(), "row");
    checkIndex(column, Cols(), "column");
    const QTableWidgetItem* item = table_->item(row, column);
    return item ? item->text().toStdString() : std::string();
}

// The selection follows the contract's current row, without reporting it as the user's pick.
void QtGrid::showCurrent() {
    writing_ = true;
    {
        QSignalBlocker block(table_);
        if (row_ >= 1) {
            table_->setCurrentCell(row_, std::max(1, std::min(col_, Cols() - 1)));
        } else {
            // No current cell left behind by the writing, or a click on it would not count.
            table_->setCurrentIndex(QModelIndex());
            table_->clearSelection();
        }
    }
    writing_ = false;
    table_->viewport()->update();
}

void QtGrid::styleFixedCells() {
    const QBrush fixed = table_->palette().button();
    for (int r = 0; r < table_->rowCount(); ++r) {
        for (int c = 0; c < table_->columnCount(); ++c) {
            if (r != 0 && c != 0)
                continue;
            QTableWidgetItem* item = table_->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                table_->setItem(r, c, item);
            }
            item->setBackground(fixed);
            if (r == 0)
                item->setFlags(Qt::ItemIsEnabled);
        }
    }
}

} // namespace tresol::app
