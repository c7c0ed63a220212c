#pragma once

#include "card/Table.h"
#include "card/Workbook.h"

#include <cstdint>
#include <vector>

// A table in a sheet of a workbook, laid out to read at a glance: a bold header that stays in
// view, a filter over every row, each column as wide as its longest cell within its limits, and
// every cell of the kind its column says; no cell is ever a formula.
class TableSheet {
public:
    TableSheet(Workbook& book, const Table& table);

    // The first row written is the header.
    void WriteRow(TableRow cells);
    // Lays the sheet out, once its rows are in; again does nothing.
    void Finish();

    Workbook& Book() { return book_; }
    Workbook::Sheet Sheet() const { return sheet_; }
    std::string_view Name() const { return table_.sheet; }
    // Rows written, the header among them.
    std::uint32_t Rows() const { return rows_; }

private:
    Workbook& book_;
    Table table_;
    Workbook::Sheet sheet_;
    std::uint32_t rows_ = 0;
    std::vector<std::size_t> widths_; // the longest cell of each column, in characters
    bool finished_ = false;
};
