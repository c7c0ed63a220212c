#include "tests/support/ExchangeHarness.h"
#include "tests/support/FakeLibrary.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

class Exchange : public testing::Test {
protected:
    TempDir dir;
    ExchangeHarness harness{dir / "log.txt"};
    FakeLibrary library;
    Lines& list = harness.window.lines;
    std::vector<FakeControls::Box>& boxes = harness.window.boxes;

    std::int32_t Run(ExchangeMode mode, const std::string& reader = "Reader 1") {
        return harness.Run(library, mode, reader);
    }
    std::int32_t Read() { return Run(ExchangeMode::ExchangeRead); }
};

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

TEST_F(Exchange, EachModeCallsTheLibraryWithItsFixedArguments) {
    harness.assembler.RowFields[3].Value = "kept";
    EXPECT_EQ(Run(ExchangeMode::ExchangeFormat), 0);
    EXPECT_EQ(harness.assembler.RowFields[3].Value, "kept") << "a format leaves the row alone";
    EXPECT_EQ(Read(), 0);
    EXPECT_EQ(library.calls, (std::vector<std::string>{
                                 "wait [Reader 1] 1 5000", "connect [Reader 1] 2", "write 7 0 19 0",
                                 "disconnect 7 6", "wait [Reader 1] 1 5000", "connect [Reader 1] 2",
                                 "read 7 0 0 64", "disconnect 7 6"}));
    const std::string emptyCard("\x20\x01\x20\x21\x0COSTRIVAN 007\xFF\x00", 19);
    EXPECT_EQ(std::string(library.card->begin(), library.card->begin() + 20), emptyCard + "\xFF")
        << "written over an erased card, and read back";
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

} // namespace
