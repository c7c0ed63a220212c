#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// The export's columns, in their order: the one place that says which column holds what, and
// how a spreadsheet is to take its cells.
enum class Column : std::size_t {
    RecType,
    Time,
    Date,
    TagNr,
    InvoiceNr,
    LocationId,
    LocationName,
    Weight,
    GateNr,
    DeviceId,
    Version,
};
constexpr std::size_t ExportColumnCount = 11;

enum class CellKind {
    Text,       // as it stands
    Identifier, // always text, though it may look like a number: leading zeros and 15 digits stay
    Number,     // a number where the cell is a plain decimal number, text otherwise
    Date,       // dd/mm/yy
    Time,       // hh:mm:ss
};

struct ExportColumn {
    std::string_view label; // the header's
    CellKind kind;
};

constexpr std::array<ExportColumn, ExportColumnCount> ExportColumns = {{
    {"RecType", CellKind::Text},
    {"Time", CellKind::Time},
    {"Date", CellKind::Date},
    {"Tag Nr", CellKind::Identifier},
    {"Invoice Nr", CellKind::Identifier},
    {"Location Id", CellKind::Identifier},
    {"Location Name", CellKind::Text},
    {"Weight", CellKind::Number},
    {"Gate Nr", CellKind::Number},
    {"Device Id", CellKind::Text},
    {"Version", CellKind::Text},
}};

constexpr std::size_t Index(Column column) {
    return static_cast<std::size_t>(column);
}

// One row of the export, header or record: its cells, code-page text, in column order.
using RowCells = std::array<std::string_view, ExportColumnCount>;

constexpr std::string_view Cell(const RowCells& cells, Column column) {
    return cells[Index(column)];
}
