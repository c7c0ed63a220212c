#include "card/RecordAssembler.h"

#include "base/RuntimeError.h"
#include "card/CardDescription.h"
#include "tests/support/ExchangeHarness.h"

#include <gtest/gtest.h>

namespace {

#define T0 "time 2023-12-31 09:05:00\n"
#define T1 "time 2024-01-02 13:45:59\n"
#define T2 "time 2024-01-02 14:00:01\n"

// What only the assembler's own state shows: counters carried from read to read, and a row that
// cannot be written. Rows ("row: ...") and reports stand in one list, in the order they came.
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

TEST_F(Rows, CountersCarryIntoTheNextRead) {
    EXPECT_TRUE(Read("Draft \"A1\"\n" T0).empty());
    EXPECT_EQ(Read("number 450\nnumber 2\n"), std::vector<std::string>{"row: ,,,,,,, 450, 2,,,"});
    EXPECT_EQ(harness.assembler.FieldCount, 4);
}

// Rows into the list, but for the one write that fails as a full disk does.
class FailingRows : public RowWriter {
public:
    FailingRows(RowWriter& rows, int failing) : rows_(rows), failing_(failing) {}
    void WriteRow(const RowCells& cells) override {
        if (writes_++ == failing_) {
            throw RuntimeError("Disk full");
        }
        rows_.WriteRow(cells);
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
