#include "card/RecordAssembler.h"

#include "base/RuntimeError.h"
#include "tests/support/CardBuilder.h"
#include "tests/support/ExchangeHarness.h"

#include <gtest/gtest.h>

namespace {

// Rows as the exchange makes them: values emptied, then every item in card order. Rows and
// reports stand in one list, as "row: ..." lines and status lines.
class Rows : public testing::Test {
protected:
    ExchangeHarness harness;

    std::vector<std::string> Read(const CardBuilder& card) {
        harness.window.lines.clear();
        harness.assembler.ClearValues();
        ItemWalk walk;
        WalkItems(card.Image(), CardMemorySize, walk,
                  [&](const TLVItem& item) { harness.assembler.TLVToCSV(item); });
        return {harness.window.lines.begin(), harness.window.lines.end()};
    }
};

const std::vector<std::uint8_t> T0 = {0x23, 0x12, 0x31, 0x09, 0x05, 0x00};
const std::vector<std::uint8_t> T1 = {0x24, 0x01, 0x02, 0x13, 0x45, 0x59};
const std::vector<std::uint8_t> T2 = {0x24, 0x01, 0x02, 0x14, 0x00, 0x01};

TEST_F(Rows, FormattedCardGivesCardAndApplicationRows) {
    CardBuilder card;
    card.Item(TagCard, {0x20}).Text(TagApplication, "OSTRIVAN 007").End();
    EXPECT_EQ(Read(card), (std::vector<std::string>{"row: Card,,,,,,,,, 32,,",
                                                    "row: Application,,,,,,,,,,OSTRIVAN 007,"}));
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
              (std::vector<std::string>{"row: Origin,09:05:00,31/12/23,, 123456,L7,,,,,,",
                                        "row: Origin,13:45:59,02/01/24,A1, 123456,L7,,,,,,",
                                        "row: Origin,14:00:01,02/01/24,A2, 123456,L7,,,,,,"}));
    EXPECT_EQ(harness.assembler.FieldCount, 3);
    EXPECT_EQ(harness.assembler.FieldsExpected, 5);
}

TEST_F(Rows, DraftCarriesWeightAndGateNumber) {
    CardBuilder card;
    card.Text(TagDraft, "A1")
        .Item(TagTimeStamp, T0)
        .Item(TagNumberField, {0x01, 0xC2})
        .Item(TagNumberField, {0x02});
    card.End();
    EXPECT_EQ(Read(card),
              (std::vector<std::string>{"row: Draft,09:05:00,31/12/23,A1,,,, 450, 2,,,"}));
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
         {"row: Print,09:05:00,31/12/23,,,,,,,,,"}},
        {"print with tag number",
         {{TagPrint, {7}}, {TagTagNumber, Bytes("A9")}},
         {"row: Print,,,A9,,,,,,,,"}},
        {"device of two items", {{TagDevice, Bytes("D1")}, {TagTimeStamp, T0}}, {}},
        {"device",
         {{TagDevice, Bytes("D1")}, {TagTimeStamp, T0}, {TagTextField, Bytes("v2")}},
         {"row: Device,09:05:00,31/12/23,,,,,,,D1,v2,"}},
        {"draft of three items",
         {{TagDraft, Bytes("A1")}, {TagTimeStamp, T0}, {TagNumberField, {9}}},
         {}},
        {"location of one item", {{TagLocation, Bytes("L1")}}, {}},
        {"location",
         {{TagLocation, Bytes("L1")}, {TagTextField, Bytes("Hill")}},
         {"row: Location,,,,,L1,Hill,,,,,"}},
        {"print of one item", {{TagPrint, {}}}, {}},
        {"unknown item still takes a position",
         {{TagLocation, Bytes("L1")}, {0x07, {1}}, {TagTextField, Bytes("x")}},
         {"row: Location,,,,,L1,,,,,,"}},
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
         {"row: Device,09:05:00,31/12/23,,,,,,,D,,"}},
        {"number field at position 2, text field at 4",
         {{TagDraft, Bytes("A")},
          {TagNumberField, {5}},
          {TagTimeStamp, T0},
          {TagTextField, Bytes("t")}},
         {"row: Draft,09:05:00,31/12/23,A,,,,,,,,"}},
        {"text field at position 3 of a draft",
         {{TagDraft, Bytes("A")},
          {TagTimeStamp, T0},
          {TagTextField, Bytes("t")},
          {TagNumberField, {1}}},
         {"row: Draft,09:05:00,31/12/23,A,,,,, 1,,,"}},
        {"card row at its top-level item only",
         {{TagCard, {0x01, 0x00}}, {TagTagNumber, Bytes("A")}},
         {"row: Card,,,,,,,,, 256,,"}},
        {"cells of one record never leak into the next",
         {{TagDevice, Bytes("D1")},
          {TagTimeStamp, T0},
          {TagTextField, Bytes("v1")},
          {TagLocation, Bytes("L")},
          {TagTextField, Bytes("N")}},
         {"row: Device,09:05:00,31/12/23,,,,,,,D1,v1,", "row: Location,,,,,L,N,,,,,"}},
        {"time stamp at position 6 writes nothing",
         {{TagReceiver, {1}},
          {TagTimeStamp, T0},
          {TagTextField, Bytes("L")},
          {TagTagNumber, Bytes("A")},
          {0x02, {}},
          {TagTimeStamp, T1},
          {TagTagNumber, Bytes("B")},
          {TagTimeStamp, T2}},
         {"row: Receiver,09:05:00,31/12/23,, 1,L,,,,,,",
          "row: Receiver,14:00:01,02/01/24,B, 1,L,,,,,,"}},
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
        {{0x23, 0x12, 0x31, 0x09, 0x05, 0x00}, "row: Print,09:05:00,31/12/23,"},
        {{0x1A, 0x0B, 0x00, 0x1E, 0x2D, 0xFF}, "row: Print,1E:2D:FF,00/B/1A,"},
        {{0x99, 0x0F, 0x10, 0xA0, 0x0A, 0x01}, "row: Print,A0:A:01,10/F/99,"}};
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
    EXPECT_EQ(Read(card), (std::vector<std::string>{"row: Print,64:65:66,63/02/01,,,,,,,,,"}));
}

TEST_F(Rows, CellsThatWouldBreakTheLineAreQuoted) {
    CardBuilder card;
    card.Text(TagLocation, "a,b").Text(TagTextField, "say \"hi\"\r\nnext").End();
    EXPECT_EQ(Read(card), (std::vector<std::string>{
                              "row: Location,,,,,\"a,b\",\"say \"\"hi\"\"\r\nnext\",,,,,"}));
}

TEST_F(Rows, CountersCarryIntoTheNextRead) {
    CardBuilder first;
    first.Text(TagDraft, "A1").Item(TagTimeStamp, T0).End();
    EXPECT_TRUE(Read(first).empty());
    CardBuilder second;
    second.Item(TagNumberField, {0x01, 0xC2}).Item(TagNumberField, {0x02}).End();
    EXPECT_EQ(Read(second), (std::vector<std::string>{"row: ,,,,,,, 450, 2,,,"}));
}

// Rows into the list, but for the one write that fails as a full disk does.
class FailingRows : public RowWriter {
public:
    FailingRows(RowWriter& rows, int failing) : rows_(rows), failing_(failing) {}
    void WriteLine(std::string_view line) override {
        if (writes_++ == failing_) {
            throw RuntimeError("Disk full");
        }
        rows_.WriteLine(line);
    }

private:
    RowWriter& rows_;
    int failing_;
    int writes_ = 0;
};

TEST_F(Rows, FailedRowWriteIsReportedAndTheWalkGoesOn) {
    FailingRows rows(harness.Rows(), 1); // the first group row of the Origin record
    harness.assembler.SetRowWriter(&rows);
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
    // The failed item skips its count reset, so the next group lands past the row position.
    EXPECT_EQ(Read(card), (std::vector<std::string>{"row: Origin,09:05:00,31/12/23,, 5,L,,,,,,",
                                                    "** Error in TLVToCSV() VB error = Disk full",
                                                    "row: Origin,09:05:00,31/12/23,A3, 5,L,,,,,,",
                                                    "row: Location,,,,,after,x,,,,,"}));
    harness.assembler.SetRowWriter(nullptr);
    Read(card);
    EXPECT_EQ(harness.window.lines.front(),
              "** Error in TLVToCSV() VB error = Bad file name or number")
        << "rows outside a read";
}

} // namespace
