#pragma once

#include "card/DecodeTLV.h"
#include "card/ExportRows.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class Reporter;

struct RowField {
    std::string Label;
    std::string Value;
};

// Slots 0 to 10 are the export columns; the others are never used.
using RowFieldArray = std::array<RowField, 21>;

// The export row of the slots: their Labels or their Values.
RowCells Cells(const RowFieldArray& fields, std::string RowField::*cell);

// Turns a card's items, in card order, into export rows. Its state lives as long as the
// window: a read does not reset the counters, only a top-level item does.
class RecordAssembler {
public:
    explicit RecordAssembler(Reporter& report) : report_(report) {}

    RowFieldArray RowFields;
    std::uint8_t CurrentRecType = 0;
    std::int16_t FieldCount = 0;
    std::uint8_t FieldsExpected = 0;

    // The file rows go to while a read runs; none outside a read.
    void SetRowWriter(RowWriter* writer) { writer_ = writer; }
    void ClearValues();

    // Never lets a run-time error out: it is reported and the item's later steps skipped.
    std::int16_t TLVToCSV(const TLVItem& Item);
    void StoreNumberField(const TLVItem& Item);
    void StoreTextField(const TLVItem& Item);
    void WriteCSVRow();

private:
    Reporter& report_;
    RowWriter* writer_ = nullptr;

    void StartRecord(const TLVItem& Item);
    void StoreItem(const TLVItem& Item);
    bool InRepeatedGroup() const;
};
