#include "card/RecordAssembler.h"

#include "base/RuntimeError.h"
#include "card/CardTags.h"
#include "card/CsvText.h"
#include "report/NumberText.h"
#include "report/Reporter.h"

#include <limits>

namespace {

enum Column : std::size_t {
    RecType = 0,
    Time = 1,
    Date = 2,
    TagNr = 3,
    InvoiceNr = 4,
    LocationId = 5,
    LocationName = 6,
    Weight = 7,
    GateNr = 8,
    DeviceId = 9,
    Version = 10,
};

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
        report_.ReportRuntimeError("TLVToCSV()", error.what());
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
        RowFields[Time].Value =
            TimeStampDigits(b[3]) + ":" + TimeStampDigits(b[4]) + ":" + TimeStampDigits(b[5]);
        RowFields[Date].Value =
            TimeStampDigits(b[2]) + "/" + TimeStampDigits(b[1]) + "/" + TimeStampDigits(b[0]);
        if (InRepeatedGroup()) {
            FieldsExpected = GroupRowPosition;
        }
        break;
    }
    case TagTagNumber:
        RowFields[TagNr].Value = Item.Text;
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
        int column; // where the top-level value goes; -1 for none
        bool asNumber;
        std::uint8_t rowPosition;
    };
    static constexpr RecordKind Kinds[] = {
        {"Card", DeviceId, true, 1},        {"Application", Version, false, 1},
        {"Device", DeviceId, false, 3},     {"Draft", TagNr, false, 4},
        {"Origin", InvoiceNr, true, 3},     {"Receiver", InvoiceNr, true, 3},
        {"Location", LocationId, false, 2}, {"Print", -1, false, 2}};
    const RecordKind& kind = Kinds[Item.Tag - TagCard];
    RowFields[RecType].Value = kind.name;
    if (kind.column >= 0) {
        RowFields[static_cast<std::size_t>(kind.column)].Value =
            kind.asNumber ? BlankLedNumber(Item.Number) : Item.Text;
    }
    FieldsExpected = kind.rowPosition;
}

void RecordAssembler::StoreNumberField(const TLVItem& Item) {
    if (CurrentRecType != TagDraft) {
        return;
    }
    if (FieldCount == 3) {
        RowFields[Weight].Value = BlankLedNumber(Item.Number);
    } else if (FieldCount == 4) {
        RowFields[GateNr].Value = BlankLedNumber(Item.Number);
    }
}

void RecordAssembler::StoreTextField(const TLVItem& Item) {
    const bool originOrReceiver = CurrentRecType == TagOrigin || CurrentRecType == TagReceiver;
    if (CurrentRecType == TagDevice && FieldCount == 3) {
        RowFields[Version].Value = Item.Text;
    } else if (originOrReceiver && FieldCount == 3) {
        RowFields[LocationId].Value = Item.Text;
    } else if (CurrentRecType == TagLocation && FieldCount == 2) {
        RowFields[LocationName].Value = Item.Text;
    }
}

void RecordAssembler::WriteCSVRow() {
    if (writer_ == nullptr) {
        throw RuntimeError("Bad file name or number");
    }
    writer_->WriteRow(Cells(RowFields, &RowField::Value));
}
