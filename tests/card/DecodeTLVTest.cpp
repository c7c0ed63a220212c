#include "card/DecodeTLV.h"

#include "report/RuntimeError.h"
#include "tests/support/CardBuilder.h"

#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <vector>

namespace {

using Card = CardBuilder;

struct Decoded {
    std::uint8_t tag;
    std::string text;
    bool operator==(const Decoded&) const = default;
};

std::vector<Decoded> WalkBlockByBlock(const Card& card, ItemWalk& walk) {
    std::vector<Decoded> items;
    for (std::int32_t valid = 64; valid <= CardMemorySize && !walk.EndFound; valid += 64) {
        WalkItems(card.Image(), valid, walk, [&](const TLVItem& item) {
            items.push_back({item.Tag, item.Text});
        });
    }
    return items;
}

TEST(DecodeTLV, ItemIsCompleteOnlyWithTheByteAfterIt) {
    Card card;
    card.Image()[60] = 0x10;
    card.Image()[61] = 2;
    TLVItem item;
    EXPECT_EQ(DecodeTLV(card.Image(), 64, 60, item), 0); // last value byte is byte 63
    EXPECT_EQ(item.Tag, 0x10) << "tag and length are taken before the test";
    EXPECT_EQ(DecodeTLV(card.Image(), 65, 60, item), 64);
    EXPECT_EQ(DecodeTLV(card.Image(), 128, 60, item), 64);
}

TEST(DecodeTLV, LengthByteNotYetReadLeavesItemUntouched) {
    Card card;
    TLVItem item;
    item.Tag = 0x42;
    EXPECT_EQ(DecodeTLV(card.Image(), 64, 63, item), 0);
    EXPECT_EQ(DecodeTLV(card.Image(), 64, 64, item), 0);
    EXPECT_EQ(item.Tag, 0x42);
}

TEST(DecodeTLV, LastBytesOfTheCardAreNeverComplete) {
    Card card;
    card.Image()[32766] = TagEnd;
    card.Image()[32767] = 0;
    TLVItem item;
    EXPECT_EQ(DecodeTLV(card.Image(), CardMemorySize, 32766, item), 0);
    card.Image()[32764] = 0x10;
    card.Image()[32765] = 1;
    EXPECT_EQ(DecodeTLV(card.Image(), CardMemorySize, 32764, item), 32767);
}

TEST(DecodeTLV, EmptyCardImageDecodesToCardApplicationAndEnd) {
    Card card;
    card.Image()[19] = 0x55;
    EXPECT_EQ(BuildEmptyCardImage(card.Image()), 19);
    const std::vector<std::uint8_t> expected = {0x20, 0x01, 0x20, 0x21, 0x0C, 'O', 'S',
                                                'T',  'R',  'I',  'V',  'A',  'N', ' ',
                                                '0',  '0',  '7',  0xFF, 0x00};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), card.Image().begin()));
    EXPECT_EQ(card.Image()[19], 0x55) << "bytes after the image are kept";

    TLVItem item;
    EXPECT_EQ(DecodeTLV(card.Image(), 64, 0, item), 3);
    EXPECT_EQ(item.Number, 32u);
    EXPECT_EQ(item.Text, " ");
    EXPECT_EQ(DecodeTLV(card.Image(), 64, 3, item), 17);
    EXPECT_EQ(item.Text, "OSTRIVAN 007");
    EXPECT_EQ(DecodeTLV(card.Image(), 64, 17, item), 19);
    EXPECT_EQ(item.Tag, TagEnd);
    EXPECT_EQ(item.Length, 0);
}

struct NumberCase {
    std::vector<std::uint8_t> value;
    std::uint32_t number;
};

void PrintTo(const NumberCase& numberCase, std::ostream* out) {
    *out << numberCase.value.size() << " bytes giving " << numberCase.number;
}

class DecodeNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(DecodeNumber, IsTheUnsignedValueOfTheFirstFourBytes) {
    Card card;
    card.Item(0x01, GetParam().value).End();
    TLVItem item;
    ASSERT_NE(DecodeTLV(card.Image(), 64, 0, item), 0);
    EXPECT_EQ(item.Number, GetParam().number);
    EXPECT_EQ(item.Text.size(), GetParam().value.size());
}

INSTANTIATE_TEST_SUITE_P(
    Values, DecodeNumber,
    testing::Values(NumberCase{{}, 0}, NumberCase{{0x07}, 7}, NumberCase{{0xFF}, 255},
                    NumberCase{{0xFF, 0xFF, 0xFF}, 16777215},
                    NumberCase{{0x7F, 0xFF, 0xFF, 0xFF}, 2147483647u},
                    NumberCase{{0x80, 0x00, 0x00, 0x00}, 2147483648u},
                    NumberCase{{0xFF, 0xFF, 0xFF, 0xFF}, 4294967295u},
                    NumberCase{{0xC4, 'r', 'e', 'n', 'a', 'u'}, 0xC472656Eu},
                    NumberCase{{0x99, 0x12, 0x31, 0x09, 0x05, 0x00}, 0x99123109u}));

TEST(DecodeTLV, ValueOfThirtyThreeBytesIsTheLongestThatFits) {
    Card card;
    card.Item(0x10, std::vector<std::uint8_t>(33, 'a')).End();
    TLVItem item;
    EXPECT_EQ(DecodeTLV(card.Image(), 64, 0, item), 35);
    EXPECT_EQ(item.Text, std::string(33, 'a'));
}

TEST(DecodeTLV, ValueOfThirtyFourBytesFailsAfterThirtyThree) {
    Card card;
    std::vector<std::uint8_t> value(34, 'b');
    value[0] = 0x01;
    card.Item(0x10, value).End();
    TLVItem item;
    EXPECT_THROW(DecodeTLV(card.Image(), 64, 0, item), RuntimeError);
    EXPECT_EQ(item.Text.size(), 33u);
    EXPECT_EQ(item.Number, 0x01626262u);
}

TEST(DecodeTLV, BytesBeyondTheLengthKeepEarlierItems) {
    Card card;
    card.Item(TagTimeStamp, {1, 2, 3, 4, 5, 6}).Item(TagTimeStamp, {9, 8}).End();
    TLVItem item;
    const std::int16_t next = DecodeTLV(card.Image(), 64, 0, item);
    DecodeTLV(card.Image(), 64, next, item);
    EXPECT_EQ(item.Length, 2);
    EXPECT_EQ((std::vector<std::uint8_t>(item.Bytes.begin(), item.Bytes.begin() + 6)),
              (std::vector<std::uint8_t>{9, 8, 3, 4, 5, 6}));
}

TEST(ItemWalk, ItemsCutByABlockBoundaryAtEveryPlaceArriveOnceInOrder) {
    Card card;
    std::vector<Decoded> expected;
    // cutSeen[c]: a block boundary fell c bytes after an item's tag (c = 2 + size: right after
    // its last value byte, so the byte that completes it is in the next block).
    std::vector<bool> cutSeen(36, false);
    std::mt19937 random(11);
    for (int n = 0; card.Length() < 30000; ++n) {
        const std::size_t size = random() % 34;
        const std::int32_t start = card.Length();
        const std::vector<std::uint8_t> value(size, static_cast<std::uint8_t>('A' + n % 26));
        const std::uint8_t tag = n % 7 == 0 ? TagDraft : TagTagNumber;
        card.Item(tag, value);
        const std::int32_t boundary = (start / 64 + 1) * 64;
        if (boundary <= card.Length()) {
            cutSeen[static_cast<std::size_t>(boundary - start)] = true;
        }
        expected.push_back({tag, std::string(value.begin(), value.end())});
    }
    card.End();
    for (std::size_t cut = 1; cut < cutSeen.size(); ++cut) {
        ASSERT_TRUE(cutSeen[cut]) << "no item is cut " << cut << " bytes after its tag";
    }

    ItemWalk walk;
    EXPECT_EQ(WalkBlockByBlock(card, walk), expected);
    EXPECT_TRUE(walk.EndFound);
    EXPECT_EQ(walk.Position, card.Length());
}

TEST(ItemWalk, StopsAtTheEndMarkerAndIgnoresWhatFollows) {
    Card card;
    BuildEmptyCardImage(card.Image());
    card.At(19);
    card.Item(TagDraft, {'o', 'l', 'd'});
    ItemWalk walk;
    const auto items = WalkBlockByBlock(card, walk);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1], (Decoded{TagApplication, "OSTRIVAN 007"}));
    EXPECT_EQ(walk.Position, 19);
}

} // namespace
