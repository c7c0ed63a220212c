#include "base/RuntimeError.h"
#include "reader/DumpLines.h"
#include "tests/support/CardBuilder.h"
#include "tests/support/ExchangeHarness.h"
#include "tests/support/FakeLibrary.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class Exchange : public testing::Test {
protected:
    TempDir dir;
    ExchangeHarness harness{dir / "log.txt"};
    FakeLibrary library;
    Lines& list = harness.window.lines;
    std::vector<FakeControls::Box>& boxes = harness.window.boxes;

    void LoadCard(const CardBuilder& card) { *library.card = card.Image(); }
    std::int32_t Run(ExchangeMode mode, const std::string& reader = "Reader 1") {
        return harness.Run(library, mode, reader);
    }
    std::int32_t Read() { return Run(ExchangeMode::ExchangeRead); }
    std::vector<std::string> Logged() const { return LogTexts(dir / "log.txt"); }
};

TEST_F(Exchange, FormattedCardNeedsOneRead) {
    BuildEmptyCardImage(*library.card);
    EXPECT_EQ(Read(), 0);
    EXPECT_EQ(library.calls,
              (std::vector<std::string>{"wait [Reader 1] 1 5000", "connect [Reader 1] 2",
                                        "read 7 0 0 64", "disconnect 7 6"}));
    EXPECT_EQ(list, (Lines{"Card Connect", "Reading card", "row: Card,,,,,,,,, 32,,",
                           "row: Application,,,,,,,,,,OSTRIVAN 007,",
                           "Card[00 000]=200120210CO S T R I V A N 200 0 ", "Disconnect card"}));
    const auto log = Logged();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "Reading card");
    EXPECT_EQ(log[1], "Card[00 000]=200120210C4F535452495641"
                      "4E20303037FF00" +
                          std::string(90, 'F'));
    EXPECT_EQ(harness.cardBytesRead, 64);
}

TEST_F(Exchange, ReadsUpToTheBlockWithTheEndMarker) {
    for (const int endBlock : {1, 5, 511}) {
        library.calls.clear();
        list.clear();
        LoadCard(CardBuilder::TagNumbersUpTo(endBlock * 64 + 10));
        EXPECT_EQ(Read(), 0);
        EXPECT_EQ(library.Count("read "), endBlock + 1);
        EXPECT_EQ(library.calls[library.calls.size() - 2],
                  "read 7 " + std::to_string(endBlock * 64) + " 0 64");
        EXPECT_EQ(std::count_if(list.begin(), list.end(),
                                [](const std::string& line) { return line.starts_with("Card["); }),
                  endBlock + 1);
    }
}

TEST_F(Exchange, CardWithoutEndMarkerStopsAfter512Blocks) {
    CardBuilder card;
    while (card.Length() < CardMemorySize) {
        card.Item(TagTagNumber, {}); // the last one ends on the last byte: never complete
    }
    LoadCard(card);
    EXPECT_EQ(Read(), -2);
    EXPECT_EQ(library.Count("read "), 512);
    EXPECT_EQ(library.calls.back(), "read 7 32704 0 64");
    EXPECT_EQ(library.Count("disconnect"), 0);
    EXPECT_EQ(list[list.size() - 2], "Error! No end of file found on card!");
    EXPECT_EQ(list.back(), "ASEMemReadDataOnly -2 ");
    const auto log = Logged();
    EXPECT_EQ(log.size(), 1u + 512u + 2u);
    EXPECT_EQ(boxes.size(), 1u);
}

struct StepFailure {
    std::string function;
    ExchangeMode mode;
    std::string label;
    int callsMade;
};

const StepFailure Steps[] = {
    {"wait", ExchangeMode::ExchangeRead, "ASEWaitForCardEvent()", 1},
    {"connect", ExchangeMode::ExchangeRead, "ASEMemConnect()", 2},
    {"read", ExchangeMode::ExchangeRead, "ASEMemReadDataOnly", 3},
    {"write", ExchangeMode::ExchangeFormat, "ASEMemWrite()", 3},
    {"disconnect", ExchangeMode::ExchangeFormat, "ASEMemDisconnect()", 4},
};

// A failure at any step ends the exchange there: 46 as a status line only, any other code
// reported with the step's label in a logged line and a box. No call follows, no disconnect.
TEST_F(Exchange, FailureAtAnyStepIsShownAndEndsTheExchange) {
    BuildEmptyCardImage(*library.card);
    for (const std::int32_t code : {46, 44}) {
        for (const auto& step : Steps) {
            library.calls.clear();
            boxes.clear();
            library.codes[step.function] = {code};
            EXPECT_EQ(Run(step.mode), code) << step.function;
            EXPECT_EQ(library.calls.size(), static_cast<std::size_t>(step.callsMade));
            if (code == 46) {
                EXPECT_EQ(list.back(), "Card not inserted!") << step.function;
                EXPECT_TRUE(boxes.empty()) << step.function;
                continue;
            }
            EXPECT_EQ(list.back(), step.label + "  44 Error - No smart card reader is available");
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, step.label + " Error - No smart card reader is available");
        }
    }
}

TEST_F(Exchange, CardOfAnotherTypeIsToldAndReadAnyway) {
    BuildEmptyCardImage(*library.card);
    library.cardType = 18;
    EXPECT_EQ(Read(), 0);
    EXPECT_EQ(list[1], "The inserted card is not an Extended I2C card");
    EXPECT_EQ(library.Count("disconnect"), 1);
}

TEST_F(Exchange, FailedConnectShowsTheTypeLineFirst) {
    library.codes["connect"] = {42};
    EXPECT_EQ(Read(), 42);
    EXPECT_EQ(list, (Lines{"Card Connect", "The inserted card is not an Extended I2C card",
                           "ASEMemConnect()  42 Error - The smart card cannot be accessed "
                           "because of other outstanding connections"}));
}

TEST_F(Exchange, ItemAcrossABlockBoundaryIsHandedOnAfterTheFirstBlocksDumps) {
    CardBuilder card;
    card.Item(TagCard, {1}).At(60).Text(TagApplication, "SPLIT").End();
    card.At(3)
        .Item(0x05, std::vector<std::uint8_t>(33, 0))
        .Item(0x05, std::vector<std::uint8_t>(20, 0));
    LoadCard(card);
    EXPECT_EQ(Read(), 0);
    EXPECT_EQ(list[2], "row: Card,,,,,,,,, 1,,");
    EXPECT_TRUE(list[3].starts_with("Card[00 000]="));
    EXPECT_EQ(list[4], "row: Application,,,,,,,,,,SPLIT,");
    EXPECT_TRUE(list[5].starts_with("Card[00 064]="));
}

TEST_F(Exchange, FormatWritesTheEmptyCardImageOnly) {
    harness.assembler.RowFields[3].Value = "kept";
    EXPECT_EQ(Run(ExchangeMode::ExchangeFormat), 0);
    EXPECT_EQ(library.calls,
              (std::vector<std::string>{"wait [Reader 1] 1 5000", "connect [Reader 1] 2",
                                        "write 7 0 19 0", "disconnect 7 6"}));
    EXPECT_EQ(list, (Lines{"Card Connect", "Disconnect card"}));
    CardBuffer expected{};
    BuildEmptyCardImage(expected);
    EXPECT_EQ(library.written, std::vector<std::uint8_t>(expected.begin(), expected.begin() + 19));
    EXPECT_EQ(harness.assembler.RowFields[3].Value, "kept");
}

TEST_F(Exchange, DecoderFailureLeavesTheExchangeAtOnce) {
    EXPECT_THROW(Read(), RuntimeError); // erased memory: an item of 255 bytes
    EXPECT_EQ(library.Count("read "), 5);
    EXPECT_EQ(library.Count("disconnect"), 0);
}

TEST_F(Exchange, ReaderTextGoesToTheLibraryUnchanged) {
    const std::string odd("Le\xE9 \x01", 5);
    library.codes["wait"] = {46, 0};
    library.codes["connect"] = {46};
    Run(ExchangeMode::ExchangeRead, "");
    Run(ExchangeMode::ExchangeRead, odd);
    EXPECT_EQ(library.calls,
              (std::vector<std::string>{"wait [] 1 5000", "wait [" + odd + "] 1 5000",
                                        "connect [" + odd + "] 2"}));
}

TEST(DumpLines, PrefixAndCellsAsTheOperatorReadsThem) {
    const std::pair<std::int32_t, std::string> prefixes[] = {{0, "Card[00 000]="},
                                                             {64, "Card[00 064]="},
                                                             {1024, "Card[01 024]="},
                                                             {32704, "Card[32 704]="}};
    for (const auto& [address, prefix] : prefixes) {
        EXPECT_EQ(DumpPrefix(address), prefix);
    }
    std::vector<std::uint8_t> block(64, 0x00);
    const std::uint8_t first[] = {0x0F, 0x10, 0x2F, 0x30, 0x7A, 0x7B, 0x05, 0x41, 0x20, 0xFF};
    std::copy(std::begin(first), std::end(first), block.begin());
    const std::string line = BlockLine(64, block);
    EXPECT_EQ(line, "Card[00 064]=0F102F0 z 7B05A 20FF000000000000");
    EXPECT_EQ(line.size(), 45u);
    const std::string logLine = BlockLogLine(64, block);
    EXPECT_EQ(logLine, "Card[00 064]=0F102F307A7B054120FF" + std::string(108, '0'));
    EXPECT_EQ(logLine.size(), 141u);
}

} // namespace
