#pragma once

#include "card/ExportRows.h"
#include "card/ReadSummary.h"
#include "card/Workbook.h"

#include <array>
#include <filesystem>

// The export as a workbook that reads at a glance. Its first sheet, "Rows", holds the header
// (bold, frozen, with a filter over every row) and the rows, in columns fitted to their longest
// cell: identifiers are always text, plain-number weights and gate numbers are numbers, valid
// dates and times are date and time cells that show the CSV's text, everything else is text;
// no cell is ever a formula. Its second, "Summary", shows what the read's summary line sums up,
// as a table, and the spread of the weights as a chart.
class WorkbookFile : public ExportRows {
public:
    explicit WorkbookFile(std::filesystem::path path);
    // A workbook not closed is completed all the same, so that the rows read before a failure
    // are kept; what cannot be completed is removed.
    ~WorkbookFile() override;
    WorkbookFile(const WorkbookFile&) = delete;
    WorkbookFile& operator=(const WorkbookFile&) = delete;

    // The first row written is the header.
    void WriteRow(const RowCells& cells) override;
    bool WriteFailed() const override { return book_.WriteFailed(); }
    void Close() override;

private:
    // The rows that the Summary sheet sums up go nowhere further.
    class NoRows : public RowWriter {
    public:
        void WriteRow(const RowCells&) override {}
    };

    Workbook book_;
    lxw_worksheet* rows_;
    lxw_format* header_;
    std::uint32_t row_ = 0;
    std::array<std::size_t, ExportColumnCount> widths_{}; // the longest cell, in characters
    NoRows counted_;
    ReadSummary summary_{counted_};
    bool finished_ = false;

    // Lays out the Rows sheet and writes the Summary sheet, once.
    void Finish();
    void WriteSummary();
};
