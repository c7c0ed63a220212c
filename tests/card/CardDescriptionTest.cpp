#include "card/CardDescription.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<std::uint8_t> Start(const CardDescription& card, std::size_t count) {
    return {card.image->begin(), card.image->begin() + static_cast<std::ptrdiff_t>(count)};
}

TEST(CardDescription, EachLineIsOneItem) {
    const std::pair<std::string, std::vector<std::uint8_t>> cases[] = {
        {"Card 32", {0x20, 1, 0x20}},
        {"Origin 123456", {0x24, 3, 0x01, 0xE2, 0x40}},
        {"number 0", {0x01, 1, 0x00}},
        {"  Draft \"A1\"  # a cow", {0x23, 2, 'A', '1'}},
        {"Print \"\"", {0x27, 0}},
        {"time 2023-12-31 09:05:00", {0x03, 6, 0x23, 0x12, 0x31, 0x09, 0x05, 0x00}},
        {"tag \"x\"", {0x10, 1, 'x'}},
        {"text \"Hill\"", {0x04, 4, 'H', 'i', 'l', 'l'}},
        {"item 7 a1 FF", {0x07, 2, 0xA1, 0xFF}},
        {"end", {0xFF, 0}}};
    for (const auto& [line, bytes] : cases) {
        const CardDescription card = CardFromDescription(line + "\r\n# next\n");
        ASSERT_TRUE(card.image) << line << ": " << card.error;
        auto erasedAfter = bytes;
        erasedAfter.push_back(0xFF);
        EXPECT_EQ(Start(card, erasedAfter.size()), erasedAfter) << line;
    }
}

TEST(CardDescription, WrongLinesAreNamed) {
    const std::pair<std::string, std::string> cases[] = {
        {"Card 32\nCard x", "line 2: not an item: Card x"},
        {"\n\nDraft A1", "line 3: not an item: Draft A1"},
        {"time 2024-13-01 00:00:00", "line 1: not an item: time 2024-13-01 00:00:00"},
        {"number 4294967296", "line 1: not an item: number 4294967296"},
        {"end 1", "line 1: not an item: end 1"},
        {"item", "line 1: not an item: item"},
        {"Sheep \"x\"", "line 1: not an item: Sheep \"x\""}};
    for (const auto& [text, error] : cases) {
        const CardDescription card = CardFromDescription(text);
        EXPECT_FALSE(card.image) << text;
        EXPECT_EQ(card.error, error);
    }
    std::string full;
    for (int i = 0; i < 1000; ++i) {
        full += "text \"" + std::string(33, 'x') + "\"\n";
    }
    EXPECT_EQ(CardFromDescription(full).error, "line 937: the card is full");
}

} // namespace
