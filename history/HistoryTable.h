#pragma once

#include "card/Table.h"
#include "history/Animals.h"

#include <filesystem>
#include <span>
#include <string>
#include <vector>

// What history writes: a table of its columns and rows of cells (code-page text), each column
// of a kind, as the export's are, so that a workbook takes numbers, dates and times as such.
struct HistoryTable {
    std::span<const TableColumn> columns;
    std::vector<std::vector<std::string>> rows;
    // One row per animal: its gains, which the workbook's chart shows spread over the herd.
    std::vector<std::int64_t> gains;
    // One row per weighing: the rows of each animal, from and to, for its line in the chart.
    struct Line {
        std::size_t first;
        std::size_t last;
    };
    std::vector<Line> lines;
};

// One row per animal: its weighings, the first and the last, the days between them, the gain
// per day and, where that is below zero, the trend "losing".
HistoryTable TagTable(const std::vector<AnimalSummary>& animals);

// One row per weighing of the animals, each animal's in time order, with the gain per day since
// its weighing before and the image the weighing was first seen in.
HistoryTable WeighingTable(const std::vector<AnimalHistory>& animals);

// Writes the table as CSV lines (commas between the cells, CR LF) to the file or standard output
// (an empty path); a name ending in ".xlsx" gives a workbook, with a chart: of how the gains per
// day spread over the herd, or of each animal's weights over time (the first 50 animals, which
// its title says when there are more).
// Failures throw RuntimeError, as an export's do.
void WriteHistory(const HistoryTable& table, const std::filesystem::path& file);
