#pragma once

#include "card/Table.h"
#include "history/Weighings.h"

#include <filesystem>
#include <span>
#include <string>
#include <vector>

// What history writes: a table of its columns and rows of cells (code-page text), each column
// of a kind, as the export's are, so that a workbook takes numbers, dates and times as such.
struct HistoryTable {
    std::span<const TableColumn> columns;
    std::vector<std::vector<std::string>> rows;
    // With tags asked for: the rows of each tag's weighings, from and to, for its chart line.
    struct Line {
        std::string tag;
        std::size_t first;
        std::size_t last;
    };
    std::vector<Line> lines;
};

// One row per tag: its weighings, the first and the last, the days between them and the gain
// per day.
HistoryTable TagTable(const std::vector<TagHistory>& tags);

// One row per weighing of the tags asked for (matched whatever the case and blanks), each tag's
// in time order, with the gain per day since its weighing before.
// Images are named by their number among those read.
HistoryTable WeighingTable(const std::vector<TagHistory>& tags,
                           const std::vector<std::string>& asked,
                           const std::vector<std::string>& images);

// Writes the table as CSV lines like the export's, to the file or standard output (an empty
// path); a name ending in ".xlsx" gives a workbook, with a chart of each tag's weights when
// the rows are weighings. Failures throw RuntimeError, as an export's do.
void WriteHistory(const HistoryTable& table, const std::filesystem::path& file);
