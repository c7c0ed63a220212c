#include "card/RecordAssembler.h"

#include "base/RuntimeError.h"
#include "card/CardTags.h"
#include "card/CsvText.h"
#include "report/NumberText.h"
#include "report/Reporter.h"

#include <limits>
#include <optional>

namespace {

// Position at which the Origin and Receiver repeated groups write their rows.
constexpr std::int16_t GroupRowPosition = 5;
constexpr std::int16_t GroupStartPosition = 3;

} // namespace

RowCells Cells(const RowFieldArray& fields, std::string RowField::*cell) {
    RowCells cells;
    for (std::size_t slot = 0; slot < ExportColumnCount; ++slot) {
        cells[slot] = fields[slot].*cell;
    }
    return cells;
}

void RecordAssembler::SetColumnLabels() {
    for (std::size_t slot = 0; slot < ExportColumnCount; ++slot) {
        RowFields[slot].Label = ExportColumns[slot].label;
    }
}

void RecordAssembler::ClearValues() {
    for (std::size_t slot = 0; slot < ExportColumnCount; ++slot) {
        RowFields[slot].Value.clear();
    }
}

bool RecordAssembler::InRepeatedGroup() const {
    return (CurrentRecType == TagOrigin || CurrentRecType == TagReceiver) &&
           FieldCount >= GroupRowPosition;
}

std::int16_t RecordAssembler::TLVToCSV(const TLVItem& Item) {
    try {
        if (Item.Tag < TagFirstTopLevel) {
            // Counts carry over from read to read, so a long run of inner items can reach
            // the limit; like any arithmetic overflow that is a run-time error.
            if (FieldCount == std::numeric_limits<std::int16_t>::max()) {
                throw RuntimeError("Overflow");
            }
            ++FieldCount;
        } else {
            CurrentRecType = Item.Tag;
            FieldCount = 1;
            FieldsExpected = 0;
            ClearValues();
        }
        StoreItem(Item);
        if (FieldCount == FieldsExpected) {
            WriteCSVRow();
        }
        if (Item.Tag == TagTimeStamp && InRepeatedGroup()) {
            FieldCount = GroupStartPosition;
        }
    } catch (const std::exception& error) {
        report_->ReportRuntimeError("TLVToCSV()", error.what());
    }
    return 0;
}

void RecordAssembler::StoreItem(const TLVItem& Item) {
    switch (Item.Tag) {
    case TagCard:
    case TagApplication:
    case TagDevice:
    case TagDraft:
    case TagOrigin:
    case TagReceiver:
    case TagLocation:
    case TagPrint:
        StartRecord(Item);
        break;
    case TagTimeStamp: {
        const auto& b = Item.Bytes;
        Field(Column::Time).Value =
            TimeStampDigits(b[3]) + ":" + TimeStampDigits(b[4]) + ":" + TimeStampDigits(b[5]);
        Field(Column::Date).Value =
            TimeStampDigits(b[2]) + "/" + TimeStampDigits(b[1]) + "/" + TimeStampDigits(b[0]);
        if (InRepeatedGroup()) {
            FieldsExpected = GroupRowPosition;
        }
        break;
    }
    case TagTagNumber:
        Field(Column::TagNr).Value = Item.Text;
        break;
    case TagTextField:
        StoreTextField(Item);
        break;
    case TagNumberField:
        StoreNumberField(Item);
        break;
    default:
        break;
    }
}

void RecordAssembler::StartRecord(const TLVItem& Item) {
    struct RecordKind {
        const char* name;
        std::optional<Column> column; // where the top-level value goes
        bool asNumber;
        std::uint8_t rowPosition;
    };
    static constexpr RecordKind Kinds[] = {
        {"Card", Column::DeviceId, true, 1},        {"Application", Column::Version, false, 1},
        {"Device", Column::DeviceId, false, 3},     {"Draft", Column::TagNr, false, 4},
        {"Origin", Column::InvoiceNr, true, 3},     {"Receiver", Column::InvoiceNr, true, 3},
        {"Location", Column::LocationId, false, 2}, {"Print", std::nullopt, false, 2}};
    const RecordKind& kind = Kinds[Item.Tag - TagCard];
    Field(Column::RecType).Value = kind.name;
    if (kind.column) {
        Field(*kind.column).Value = kind.asNumber ? BlankLedNumber(Item.Number) : Item.Text;
    }
    FieldsExpected = kind.rowPosition;
}

void RecordAssembler::StoreNumberField(const TLVItem& Item) {
    if (CurrentRecType != TagDraft) {
        return;
    }
    if (FieldCount == 3) {
        Field(Column::Weight).Value = BlankLedNumber(Item.Number);
    } else if (FieldCount == 4) {
        Field(Column::GateNr).Value = BlankLedNumber(Item.Number);
    }
}

void RecordAssembler::StoreTextField(const TLVItem& Item) {
    const bool originOrReceiver = CurrentRecType == TagOrigin || CurrentRecType == TagReceiver;
    if (CurrentRecType == TagDevice && FieldCount == 3) {
        Field(Column::Version).Value = Item.Text;
    } else if (originOrReceiver && FieldCount == 3) {
        Field(Column::LocationId).Value = Item.Text;
    } else if (CurrentRecType == TagLocation && FieldCount == 2) {
        Field(Column::LocationName).Value = Item.Text;
    }
}

void RecordAssembler::WriteCSVRow() {
    if (writer_ == nullptr) {
        throw RuntimeError("Bad file name or number");
    }
    writer_->WriteRow(Cells(RowFields, &RowField::Value));
}
