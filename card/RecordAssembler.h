#pragma once

#include "card/DecodeTLV.h"
#include "card/ExportRows.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

class Reporter;

struct RowField {
    std::string Label;
    std::string Value;
};

// The row being assembled, in the window's 21 slots: the first are the export's columns, in
// their order; the window has always had ten more, which nothing uses.
using RowFieldArray = std::array<RowField, 21>;

// The export row of the slots: their Labels or their Values.
RowCells Cells(const RowFieldArray& fields, std::string RowField::*cell);

// Turns a card's items, in card order, into export rows. Its state lives as long as the
// window: a read does not reset the counters, only a top-level item does.
class RecordAssembler {
public:
    explicit RecordAssembler(Reporter& report) : report_(&report) {}

    // The Labels: the export's column names, which its header line shows.
    void SetColumnLabels();
    RowFieldArray RowFields;
    std::uint8_t CurrentRecType = 0;
    std::int16_t FieldCount = 0;
    std::uint8_t FieldsExpected = 0;

    // The file rows go to while a read runs; none outside a read.
    void SetRowWriter(RowWriter* writer) { writer_ = writer; }
    // Where its run-time errors are told from now on; where they were told before.
    Reporter& SetReporter(Reporter& report) { return *std::exchange(report_, &report); }
    void ClearValues();

    // Never lets a run-time error out: it is reported and the item's later steps skipped. The
    // result is always 0, which the item walk does not look at; it is the procedure's shape of
    // old, kept as callers know it.
    std::int16_t TLVToCSV(const TLVItem& Item);
    void StoreNumberField(const TLVItem& Item);
    void StoreTextField(const TLVItem& Item);
    void WriteCSVRow();

private:
    Reporter* report_;
    RowWriter* writer_ = nullptr;

    RowField& Field(Column column) { return RowFields[Index(column)]; }
    void StartRecord(const TLVItem& Item);
    void StoreItem(const TLVItem& Item);
    bool InRepeatedGroup() const;
};

// The assembler lent to one read: while this lives, its rows go to the read's writer and its
// run-time errors to the read's lines; then it has no writer again and reports where it did.
class AssemblerLent {
public:
    AssemblerLent(RecordAssembler& assembler, RowWriter* rows, Reporter& report)
        : assembler_(assembler), reportAfter_(assembler.SetReporter(report)) {
        assembler_.SetRowWriter(rows);
    }
    ~AssemblerLent() {
        assembler_.SetRowWriter(nullptr);
        assembler_.SetReporter(reportAfter_);
    }
    AssemblerLent(const AssemblerLent&) = delete;
    AssemblerLent& operator=(const AssemblerLent&) = delete;

private:
    RecordAssembler& assembler_;
    Reporter& reportAfter_;
};
