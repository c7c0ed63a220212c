#include "card/RecordAssembler.h"

#include "card/ExportFile.h"
#include "report/RuntimeError.h"
#include "tests/support/CardBuilder.h"
#include "tests/support/ReportFixture.h"

namespace {

class CapturedRows : public RowWriter {
public:
    std::vector<std::string> lines;
    int failingLine = -1; // index of the write that fails, if any

    void WriteLine(std::string_view line) override {
        if (static_cast<int>(writes++) == failingLine) {
            throw RuntimeError("Disk full");
        }
        lines.emplace_back(line);
    }

private:
    std::size_t writes = 0;
};

class Rows : public ReportFixture {
protected:
    RecordAssembler assembler{report};
    CapturedRows rows;

    Rows() { assembler.SetRowWriter(&rows); }

    // Reads the card as an exchange does: values emptied, then every item in card order.
    std::vector<std::string> Read(const CardBuilder& card) {
        rows.lines.clear();
        assembler.ClearValues();
        ItemWalk walk;
        WalkItems(card.Image(), CardMemorySize, walk,
                  [&](const TLVItem& item) { assembler.TLVToCSV(item); });
        return rows.lines;
    }
};

const std::vector<std::uint8_t> T0 = {0x23, 0x12, 0x31, 0x09, 0x05, 0x00};
const std::vector<std::uint8_t> T1 = {0x24, 0x01, 0x02, 0x13, 0x45, 0x59};
const std::vector<std::uint8_t> T2 = {0x24, 0x01, 0x02, 0x14, 0x00, 0x01};

TEST_F(Rows, FormattedCardGivesCardAndApplicationRows) {
    CardBuilder card;
    card.Item(TagCard, {0x20}).Text(TagApplication, "OSTRIVAN 007").End();
    EXPECT_EQ(Read(card), (std::vector<std::string>{"Card,,,,,,,,, 32,,\r\n",
                                                    "Application,,,,,,,,,,OSTRIVAN 007,\r\n"}));
}

TEST_F(Rows, OriginWithRepeatedGroupsWritesARowPerGroup) {
    CardBuilder card;
    card.Item(TagOrigin, {0x00, 0x01, 0xE2, 0x40})
        .Item(TagTimeStamp, T0)
        .Text(TagTextField, "L7")
        .Text(TagTagNumber, "A1")
        .Item(TagTimeStamp, T1)
        .Text(TagTagNumber, "A2")
        .Item(TagTimeStamp, T2)
        .End();
    EXPECT_EQ(Read(card),
              (std::vector<std::string>{"Origin,09:05:00,31/12/23,, 123456,L7,,,,,,\r\n",
                                        "Origin,13:45:59,02/01/24,A1, 123456,L7,,,,,,\r\n",
                                        "Origin,14:00:01,02/01/24,A2, 123456,L7,,,,,,\r\n"}));
    EXPECT_EQ(assembler.FieldCount, 3);
    EXPECT_EQ(assembler.FieldsExpected, 5);
}

TEST_F(Rows, DraftCarriesWeightAndGateNumber) {
    CardBuilder card;
    card.Text(TagDraft, "A1")
        .Item(TagTimeStamp, T0)
        .Item(TagNumberField, {0x01, 0xC2})
        .Item(TagNumberField, {0x02});
    card.End();
    EXPECT_EQ(Read(card),
              (std::vector<std::string>{"Draft,09:05:00,31/12/23,A1,,,, 450, 2,,,\r\n"}));
}

struct RecordCase {
    const char* name;
    std::vector<std::pair<std::uint8_t, std::vector<std::uint8_t>>> items;
    std::vector<std::string> rows;
};

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

TEST_F(Rows, RecordsWriteTheirRowOnlyAtTheirRowPosition) {
    const RecordCase cases[] = {
        {"print with time stamp",
         {{TagPrint, {}}, {TagTimeStamp, T0}},
         {"Print,09:05:00,31/12/23,,,,,,,,,\r\n"}},
        {"print with tag number",
         {{TagPrint, {7}}, {TagTagNumber, Bytes("A9")}},
         {"Print,,,A9,,,,,,,,\r\n"}},
        {"device of two items", {{TagDevice, Bytes("D1")}, {TagTimeStamp, T0}}, {}},
        {"device",
         {{TagDevice, Bytes("D1")}, {TagTimeStamp, T0}, {TagTextField, Bytes("v2")}},
         {"Device,09:05:00,31/12/23,,,,,,,D1,v2,\r\n"}},
        {"draft of three items",
         {{TagDraft, Bytes("A1")}, {TagTimeStamp, T0}, {TagNumberField, {9}}},
         {}},
        {"location of one item", {{TagLocation, Bytes("L1")}}, {}},
        {"location",
         {{TagLocation, Bytes("L1")}, {TagTextField, Bytes("Hill")}},
         {"Location,,,,,L1,Hill,,,,,\r\n"}},
        {"print of one item", {{TagPrint, {}}}, {}},
        {"unknown item still takes a position",
         {{TagLocation, Bytes("L1")}, {0x07, {1}}, {TagTextField, Bytes("x")}},
         {"Location,,,,,L1,,,,,,\r\n"}},
        {"unknown record writes nothing",
         {{0x28, Bytes("x")},
          {TagTimeStamp, T0},
          {TagTextField, Bytes("t")},
          {TagTagNumber, Bytes("A")}},
         {}},
        {"unknown record empties the row",
         {{TagDevice, Bytes("D1")}, {TagTimeStamp, T0}, {0xFE, {}}, {TagTextField, Bytes("v")}},
         {}},
        {"number field outside a draft",
         {{TagDevice, Bytes("D")}, {TagTimeStamp, T0}, {TagNumberField, {5}}},
         {"Device,09:05:00,31/12/23,,,,,,,D,,\r\n"}},
        {"number field at position 2, text field at 4",
         {{TagDraft, Bytes("A")},
          {TagNumberField, {5}},
          {TagTimeStamp, T0},
          {TagTextField, Bytes("t")}},
         {"Draft,09:05:00,31/12/23,A,,,,,,,,\r\n"}},
        {"text field at position 3 of a draft",
         {{TagDraft, Bytes("A")},
          {TagTimeStamp, T0},
          {TagTextField, Bytes("t")},
          {TagNumberField, {1}}},
         {"Draft,09:05:00,31/12/23,A,,,,, 1,,,\r\n"}},
        {"card row at its top-level item only",
         {{TagCard, {0x01, 0x00}}, {TagTagNumber, Bytes("A")}},
         {"Card,,,,,,,,, 256,,\r\n"}},
        {"cells of one record never leak into the next",
         {{TagDevice, Bytes("D1")},
          {TagTimeStamp, T0},
          {TagTextField, Bytes("v1")},
          {TagLocation, Bytes("L")},
          {TagTextField, Bytes("N")}},
         {"Device,09:05:00,31/12/23,,,,,,,D1,v1,\r\n", "Location,,,,,L,N,,,,,\r\n"}},
        {"time stamp at position 6 writes nothing",
         {{TagReceiver, {1}},
          {TagTimeStamp, T0},
          {TagTextField, Bytes("L")},
          {TagTagNumber, Bytes("A")},
          {0x02, {}},
          {TagTimeStamp, T1},
          {TagTagNumber, Bytes("B")},
          {TagTimeStamp, T2}},
         {"Receiver,09:05:00,31/12/23,, 1,L,,,,,,\r\n",
          "Receiver,14:00:01,02/01/24,B, 1,L,,,,,,\r\n"}},
    };
    for (const auto& c : cases) {
        CardBuilder card;
        card.Item(TagCard, {1}); // every case starts after a finished record
        for (const auto& [tag, value] : c.items) {
            card.Item(tag, value);
        }
        card.End();
        auto lines = Read(card);
        lines.erase(lines.begin());
        EXPECT_EQ(lines, c.rows) << c.name;
    }
}

TEST_F(Rows, TimeStampCellsShowTheDigitsOfEachByte) {
    const std::pair<std::vector<std::uint8_t>, std::string> cases[] = {
        {{0x23, 0x12, 0x31, 0x09, 0x05, 0x00}, "Print,09:05:00,31/12/23,"},
        {{0x1A, 0x0B, 0x00, 0x1E, 0x2D, 0xFF}, "Print,1E:2D:FF,00/B/1A,"},
        {{0x99, 0x0F, 0x10, 0xA0, 0x0A, 0x01}, "Print,A0:A:01,10/F/99,"}};
    for (const auto& [bytes, start] : cases) {
        CardBuilder card;
        card.Item(TagPrint, {}).Item(TagTimeStamp, bytes).End();
        const auto lines = Read(card);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].substr(0, start.size()), start);
    }
}

TEST_F(Rows, ShortTimeStampShowsBytesOfAnEarlierItem) {
    CardBuilder card;
    card.Text(TagTagNumber, "abcdef").Item(TagPrint, {}).Item(TagTimeStamp, {0x01, 0x02}).End();
    EXPECT_EQ(Read(card), (std::vector<std::string>{"Print,64:65:66,63/02/01,,,,,,,,,\r\n"}));
}

TEST_F(Rows, CellsThatWouldBreakTheLineAreQuoted) {
    CardBuilder card;
    card.Text(TagLocation, "a,b").Text(TagTextField, "say \"hi\"\r\nnext").End();
    EXPECT_EQ(Read(card), (std::vector<std::string>{
                              "Location,,,,,\"a,b\",\"say \"\"hi\"\"\r\nnext\",,,,,\r\n"}));
}

TEST_F(Rows, CountersCarryIntoTheNextRead) {
    CardBuilder first;
    first.Text(TagDraft, "A1").Item(TagTimeStamp, T0).End();
    EXPECT_TRUE(Read(first).empty());
    CardBuilder second;
    second.Item(TagNumberField, {0x01, 0xC2}).Item(TagNumberField, {0x02}).End();
    EXPECT_EQ(Read(second), (std::vector<std::string>{",,,,,,, 450, 2,,,\r\n"}));
}

TEST_F(Rows, FailedRowWriteIsReportedAndTheWalkGoesOn) {
    rows.failingLine = 1; // the first group row of the Origin record
    CardBuilder card;
    card.Item(TagOrigin, {5})
        .Item(TagTimeStamp, T0)
        .Text(TagTextField, "L")
        .Text(TagTagNumber, "A1")
        .Item(TagTimeStamp, T1)
        .Text(TagTagNumber, "A2")
        .Item(TagTimeStamp, T2)
        .Text(TagTagNumber, "A3")
        .Item(TagTimeStamp, T0)
        .Text(TagLocation, "after")
        .Text(TagTextField, "x")
        .End();
    const auto lines = Read(card);
    // The failed item skips its count reset, so the next group lands past the row position.
    EXPECT_EQ(lines, (std::vector<std::string>{"Origin,09:05:00,31/12/23,, 5,L,,,,,,\r\n",
                                               "Origin,09:05:00,31/12/23,A3, 5,L,,,,,,\r\n",
                                               "Location,,,,,after,x,,,,,\r\n"}));
    EXPECT_EQ(list.lines, (std::deque<std::string>{"** Error in TLVToCSV() VB error = Disk full"}));
}

TEST_F(Rows, RowsOutsideAReadAreRunTimeErrors) {
    assembler.SetRowWriter(nullptr);
    CardBuilder card;
    card.Item(TagCard, {1}).End();
    Read(card);
    EXPECT_EQ(list.lines.back(), "** Error in TLVToCSV() VB error = Bad file name or number");
}

using ExportFiles = Rows;

TEST_F(ExportFiles, HeaderAndCardBytesReachTheFileUnchanged) {
    const char* labels[] = {"RecType",    "Time",        "Date",          "Tag Nr",
                            "Invoice Nr", "Location Id", "Location Name", "Weight",
                            "Gate Nr",    "Device Id",   "Version"};
    for (std::size_t slot = 0; slot < 11; ++slot) {
        assembler.RowFields[slot].Label = labels[slot];
    }
    assembler.RowFields[15].Label = "unused";
    std::string allHigh;
    for (int byte = 0x80; byte <= 0xFF; byte += 4) {
        allHigh.push_back(static_cast<char>(byte));
    }
    CardBuilder card;
    card.Text(TagDraft, allHigh)
        .Item(TagTimeStamp, T0)
        .Item(TagNumberField, {1})
        .Item(TagNumberField, {2});
    card.End();

    ExportFile file(dir / "data.csv");
    assembler.SetRowWriter(&file);
    file.WriteLine(ExportLine(assembler.RowFields, &RowField::Label));
    Read(card);
    file.Close();
    EXPECT_EQ(ReadFileBytes(dir / "data.csv"),
              "RecType,Time,Date,Tag Nr,Invoice Nr,Location Id,Location Name,Weight,Gate Nr,"
              "Device Id,Version,\r\nDraft,09:05:00,31/12/23," +
                  allHigh + ",,,, 1, 2,,,\r\n");
}

TEST_F(ExportFiles, ExistingFileIsEmptiedFirst) {
    WriteFileBytes(dir / "data.csv", std::string(500, 'x'));
    ExportFile file(dir / "data.csv");
    file.Close();
    EXPECT_EQ(ReadFileBytes(dir / "data.csv"), "");
}

} // namespace
