#pragma once

#include "card/Table.h"

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

constexpr std::array<TableColumn, ExportColumnCount> ExportColumns = {{
    {"RecType", CellKind::Text},
    {"Time", CellKind::Time},
    {"Date", CellKind::Date},
    {"Tag Nr", CellKind::Identifier, IdentifierWidth},
    {"Invoice Nr", CellKind::Identifier, IdentifierWidth},
    {"Location Id", CellKind::Identifier, IdentifierWidth},
    {"Location Name", CellKind::Text},
    {"Weight", CellKind::Number},
    {"Gate Nr", CellKind::Number},
    {"Device Id", CellKind::Text},
    {"Version", CellKind::Text},
}};

// The export as a table: the rows of a read, every CSV cell followed by its comma.
constexpr Table ExportTable = {"Rows", ExportColumns, CsvCommas::AfterEachCell};

constexpr std::size_t Index(Column column) {
    return static_cast<std::size_t>(column);
}

// One row of the export, header or record: its cells, code-page text, in column order.
using RowCells = std::array<std::string_view, ExportColumnCount>;

constexpr std::string_view Cell(const RowCells& cells, Column column) {
    return cells[Index(column)];
}
