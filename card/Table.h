#pragma once

#include <span>
#include <string_view>

// How a spreadsheet is to take a column's cells.
enum class CellKind {
    Text,       // as it stands
    Identifier, // always text, though it may look like a number: leading zeros and 15 digits stay
    Number,     // a number where the cell is a plain decimal number, text otherwise
    Decimal,    // the same, shown with two decimals
    Date,       // dd/mm/yy
    Time,       // hh:mm:ss
};

// A column of a table: its label in the header, the kind of its cells, and how narrow it may
// be in a workbook, where it is as wide as its longest cell otherwise.
struct TableColumn {
    std::string_view label;
    CellKind kind;
    double narrowest = 8;
};

// A column that holds a 15-digit tag number, whole.
constexpr double IdentifierWidth = 16;

// How a table's CSV lines separate their cells: the export's, whose every cell is followed by a
// comma, or commas between the cells alone.
enum class CsvCommas { AfterEachCell, BetweenCells };

// A table as the programs write it: a header of its columns' labels, then rows of cells
// (code-page text, in column order), as CSV lines or as a sheet of a workbook.
struct Table {
    std::string_view sheet; // its name in a workbook
    std::span<const TableColumn> columns;
    CsvCommas commas;
};

// One row of a table, header or cells.
using TableRow = std::span<const std::string_view>;
