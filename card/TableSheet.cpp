#include "card/TableSheet.h"

#include <algorithm>
#include <utility>

namespace {

constexpr double WidestColumn = 50;

} // namespace

TableSheet::TableSheet(Workbook& book, const Table& table)
    : book_(book), table_(table), sheet_(book.AddSheet(table.sheet)),
      widths_(table.columns.size()) {}

void TableSheet::WriteRow(TableRow cells) {
    for (std::size_t column = 0; column < cells.size() && column < widths_.size(); ++column) {
        widths_[column] = std::max(widths_[column], cells[column].size());
        const auto at = static_cast<std::uint16_t>(column);
        if (rows_ == 0) {
            // The header is text, whatever its labels look like.
            book_.Text(sheet_, 0, at, cells[column], CellStyle::Bold);
        } else if (!cells[column].empty()) {
            book_.Typed(sheet_, rows_, at, table_.columns[column].kind, cells[column]);
        }
    }
    ++rows_;
}

void TableSheet::Finish() {
    if (std::exchange(finished_, true)) {
        return;
    }
    for (std::size_t column = 0; column < widths_.size(); ++column) {
        const double narrowest = table_.columns[column].narrowest;
        book_.SetWidth(sheet_, static_cast<std::uint16_t>(column),
                       std::clamp(static_cast<double>(widths_[column]) + 1, narrowest,
                                  std::max(narrowest, WidestColumn)));
    }
    book_.FreezeTopRow(sheet_);
    book_.Filter(sheet_, std::max<std::uint32_t>(rows_, 1) - 1,
                 static_cast<std::uint16_t>(widths_.size() - 1));
}
