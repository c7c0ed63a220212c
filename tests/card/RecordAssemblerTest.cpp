#include "card/RecordAssembler.h"

#include "base/RuntimeError.h"
#include "card/CardDescription.h"
#include "tests/support/ExchangeHarness.h"

#include <gtest/gtest.h>

namespace {

#define T0 "time 2023-12-31 09:05:00\n"
#define T1 "time 2024-01-02 13:45:59\n"
#define T2 "time 2024-01-02 14:00:01\n"

// Rows as a read makes them from a card written down as text: values emptied, then every item
// in card order. Rows ("row: ...") and reports stand in one list, in the order they came.
class Rows : public testing::Test {
protected:
    ExchangeHarness harness;

    std::vector<std::string> Read(const std::string& card) {
        const CardDescription description = CardFromDescription(card + "end");
        EXPECT_TRUE(description.image) << description.error;
        harness.window.lines.clear();
        harness.assembler.ClearValues();
        ItemWalk walk;
        WalkItems(*description.image, CardMemorySize, walk,
                  [&](const TLVItem& item) { harness.assembler.TLVToCSV(item); });
        return {harness.window.lines.begin(), harness.window.lines.end()};
    }
};

struct RowsCase {
    const char* card;
    std::vector<std::string> rows;
};

TEST_F(Rows, RecordsWriteTheirRowsAtTheirRowPositionsOnly) {
    const RowsCase cases[] = {
        {"Card 32\nApplication \"OSTRIVAN 007\"\n",
         {"row: Card,,,,,,,,, 32,,", "row: Application,,,,,,,,,,OSTRIVAN 007,"}},
        {"Origin 123456\n" T0 "text \"L7\"\ntag \"A1\"\n" T1 "tag \"A2\"\n" T2,
         {"row: Origin,09:05:00,31/12/23,, 123456,L7,,,,,,",
          "row: Origin,13:45:59,02/01/24,A1, 123456,L7,,,,,,",
          "row: Origin,14:00:01,02/01/24,A2, 123456,L7,,,,,,"}},
        {"Receiver 1\n" T0 "text \"L\"\ntag \"A\"\nitem 02\n" T1 "tag \"B\"\n" T2,
         {"row: Receiver,09:05:00,31/12/23,, 1,L,,,,,,",
          "row: Receiver,14:00:01,02/01/24,B, 1,L,,,,,,"}}, // a group cut by another item
        {"Draft \"A1\"\n" T0 "number 450\nnumber 2\n",
         {"row: Draft,09:05:00,31/12/23,A1,,,, 450, 2,,,"}},
        {"Draft \"A\"\n" T0 "number 9\n", {}},
        {"Draft \"A\"\nnumber 5\n" T0 "text \"t\"\n", {"row: Draft,09:05:00,31/12/23,A,,,,,,,,"}},
        {"Draft \"A\"\n" T0 "text \"t\"\nnumber 1\n", {"row: Draft,09:05:00,31/12/23,A,,,,, 1,,,"}},
        {"Device \"D1\"\n" T0, {}},
        {"Device \"D1\"\n" T0 "text \"v2\"\n", {"row: Device,09:05:00,31/12/23,,,,,,,D1,v2,"}},
        {"Device \"D\"\n" T0 "number 5\n", {"row: Device,09:05:00,31/12/23,,,,,,,D,,"}},
        {"Location \"L1\"\n", {}},
        {"Location \"L1\"\ntext \"Hill\"\n", {"row: Location,,,,,L1,Hill,,,,,"}},
        {"Location \"L1\"\nitem 07 01\ntext \"x\"\n", {"row: Location,,,,,L1,,,,,,"}},
        {"Print \"\"\n", {}},
        {"Print \"\"\n" T0, {"row: Print,09:05:00,31/12/23,,,,,,,,,"}},
        {"item 27 07\ntag \"A9\"\n", {"row: Print,,,A9,,,,,,,,"}},
        {"item 28 78\n" T0 "text \"t\"\ntag \"A\"\n", {}},
        {"Device \"D1\"\n" T0 "item FE\ntext \"v\"\n", {}},
        {"Card 256\ntag \"A\"\n", {"row: Card,,,,,,,,, 256,,"}},
        {"Device \"D1\"\n" T0 "text \"v1\"\nLocation \"L\"\ntext \"N\"\n",
         {"row: Device,09:05:00,31/12/23,,,,,,,D1,v1,", "row: Location,,,,,L,N,,,,,"}},
        {"Location \"a,b\"\nitem 04 73 61 79 20 22 68 69 22 0D 0A 6E 65 78 74\n",
         {"row: Location,,,,,\"a,b\",\"say \"\"hi\"\"\r\nnext\",,,,,"}},
        {"Draft \"\xC4\x80\xFF\"\n" T0 "number 1\nnumber 2\n",
         {"row: Draft,09:05:00,31/12/23,\xC4\x80\xFF,,,, 1, 2,,,"}},
        {"Print \"\"\nitem 03 1A 0B 00 1E 2D FF\n", {"row: Print,1E:2D:FF,00/B/1A,,,,,,,,,"}},
        {"Print \"\"\nitem 03 99 0F 10 A0 0A 01\n", {"row: Print,A0:A:01,10/F/99,,,,,,,,,"}},
        {"tag \"abcdef\"\nPrint \"\"\nitem 03 01 02\n", {"row: Print,64:65:66,63/02/01,,,,,,,,,"}},
    };
    for (const auto& c : cases) {
        auto lines = Read(std::string("Card 1\n") + c.card); // after a finished record
        lines.erase(lines.begin());
        EXPECT_EQ(lines, c.rows) << c.card;
    }
}

TEST_F(Rows, CountersCarryIntoTheNextRead) {
    EXPECT_TRUE(Read("Draft \"A1\"\n" T0).empty());
    EXPECT_EQ(Read("number 450\nnumber 2\n"), std::vector<std::string>{"row: ,,,,,,, 450, 2,,,"});
    EXPECT_EQ(harness.assembler.FieldCount, 4);
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
    const std::string card = "Origin 5\n" T0 "text \"L\"\ntag \"A1\"\n" T1 "tag \"A2\"\n" T2
                             "tag \"A3\"\n" T0 "Location \"after\"\ntext \"x\"\n";
    // The failed item skips its count reset, so the next group lands past the row position.
    EXPECT_EQ(Read(card), (std::vector<std::string>{"row: Origin,09:05:00,31/12/23,, 5,L,,,,,,",
                                                    "** Error in TLVToCSV() VB error = Disk full",
                                                    "row: Origin,09:05:00,31/12/23,A3, 5,L,,,,,,",
                                                    "row: Location,,,,,after,x,,,,,"}));
    harness.assembler.SetRowWriter(nullptr);
    EXPECT_EQ(Read("Card 1\n"), std::vector<std::string>{"** Error in TLVToCSV() VB error = "
                                                         "Bad file name or number"})
        << "rows outside a read";
}

TEST_F(Rows, InnerItemsBeyondTheCounterAreAnOverflow) {
    harness.assembler.FieldCount = 32766;
    EXPECT_EQ(Read("tag \"A\"\ntag \"B\"\nCard 3\n"),
              (std::vector<std::string>{"** Error in TLVToCSV() VB error = Overflow",
                                        "row: Card,,,,,,,,, 3,,"}));
}

} // namespace
