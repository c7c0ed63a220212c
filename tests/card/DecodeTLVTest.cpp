#include "card/DecodeTLV.h"

#include "base/RuntimeError.h"
#include "tests/support/CardBuilder.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

struct Decoded {
    std::uint8_t tag;
    std::string text;
    bool operator==(const Decoded&) const = default;
};

std::vector<Decoded> WalkBlockByBlock(const CardBuilder& card, ItemWalk& walk) {
    std::vector<Decoded> items;
    for (std::int32_t valid = 64; valid <= CardMemorySize && !walk.EndFound; valid += 64) {
        WalkItems(card.Image(), valid, walk, [&](const TLVItem& item) {
            items.push_back({item.Tag, item.Text});
        });
    }
    return items;
}

struct CompletenessCase {
    std::int32_t pos;        // where the item's tag stands
    std::uint8_t length;     // its length byte
    std::int32_t validCount; // bytes read so far
    std::int16_t next;       // 0: not complete yet
};

TEST(DecodeTLV, ItemIsCompleteOnlyWithTheByteAfterIt) {
    const CompletenessCase cases[] = {
        {60, 2, 64, 0},                // the last value byte is the last byte read
        {60, 2, 65, 64},               // one byte more
        {63, 0, 64, 0},                // the length byte is not read yet
        {64, 0, 64, 0},                // nothing of the item is read yet
        {32766, 0, CardMemorySize, 0}, // the last two bytes of the card: never complete
        {32764, 1, CardMemorySize, 32767},
    };
    for (const auto& c : cases) {
        CardBuilder card;
        card.Image()[static_cast<std::size_t>(c.pos)] = 0x10;
        card.Image()[static_cast<std::size_t>(c.pos) + 1] = c.length;
        TLVItem item;
        item.Text = "earlier";
        EXPECT_EQ(DecodeTLV(card.Image(), c.validCount, c.pos, item), c.next) << c.pos;
        EXPECT_EQ(item.Text, c.next == 0 ? "earlier" : std::string(c.length, '\xFF'));
    }
}

TEST(DecodeTLV, EmptyCardImageDecodesToCardApplicationAndEnd) {
    CardBuilder card;
    card.Image()[19] = 0x55;
    EXPECT_EQ(BuildEmptyCardImage(card.Image()), 19); // its bytes: the exchange's dump test
    EXPECT_EQ(card.Image()[19], 0x55) << "bytes after the image are kept";

    TLVItem item;
    EXPECT_EQ(DecodeTLV(card.Image(), 64, 0, item), 3);
    EXPECT_EQ(item.Number, 32u);
    EXPECT_EQ(DecodeTLV(card.Image(), 64, 3, item), 17);
    EXPECT_EQ(item.Text, "OSTRIVAN 007");
    EXPECT_EQ(DecodeTLV(card.Image(), 64, 17, item), 19);
    EXPECT_EQ(item.Tag, TagEnd);
    EXPECT_EQ(item.Length, 0);
}

TEST(DecodeTLV, NumberIsTheUnsignedValueOfTheFirstFourBytes) {
    const std::pair<std::vector<std::uint8_t>, std::uint32_t> cases[] = {
        {{}, 0},
        {{0x07}, 7},
        {{0xFF, 0xFF, 0xFF}, 16777215},
        {{0x7F, 0xFF, 0xFF, 0xFF}, 2147483647u},
        {{0x80, 0x00, 0x00, 0x00}, 2147483648u},
        {{0xFF, 0xFF, 0xFF, 0xFF}, 4294967295u},
        {{0xC4, 'r', 'e', 'n', 'a', 'u'}, 0xC472656Eu}};
    for (const auto& [value, number] : cases) {
        CardBuilder card;
        card.Item(0x01, value).End();
        TLVItem item;
        ASSERT_NE(DecodeTLV(card.Image(), 64, 0, item), 0);
        EXPECT_EQ(item.Number, number) << value.size() << " bytes";
        EXPECT_EQ(item.Text, std::string(value.begin(), value.end()));
    }
}

TEST(DecodeTLV, ThirtyThreeValueBytesFitAndTheThirtyFourthFails) {
    CardBuilder card;
    card.Item(0x10, std::vector<std::uint8_t>(33, 'a'))
        .Item(0x10, std::vector<std::uint8_t>(34, 'b'));
    TLVItem item;
    EXPECT_EQ(DecodeTLV(card.Image(), 128, 0, item), 35);
    EXPECT_EQ(item.Text, std::string(33, 'a'));
    EXPECT_THROW(DecodeTLV(card.Image(), 128, 35, item), RuntimeError);
    EXPECT_EQ(item.Text, std::string(33, 'b')) << "filled up to the byte that did not fit";
}

TEST(DecodeTLV, BytesBeyondTheLengthKeepEarlierItems) {
    CardBuilder card;
    card.Item(TagTimeStamp, {1, 2, 3, 4, 5, 6}).Item(TagTimeStamp, {9, 8}).End();
    TLVItem item;
    DecodeTLV(card.Image(), 64, DecodeTLV(card.Image(), 64, 0, item), item);
    EXPECT_EQ(item.Length, 2);
    EXPECT_EQ((std::vector<std::uint8_t>(item.Bytes.begin(), item.Bytes.begin() + 6)),
              (std::vector<std::uint8_t>{9, 8, 3, 4, 5, 6}));
}

TEST(ItemWalk, ItemsCutByABlockBoundaryAtEveryPlaceArriveOnceInOrder) {
    CardBuilder card;
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
    CardBuilder card;
    BuildEmptyCardImage(card.Image());
    card.At(19).Item(TagDraft, {'o', 'l', 'd'});
    ItemWalk walk;
    const auto items = WalkBlockByBlock(card, walk);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1], (Decoded{TagApplication, "OSTRIVAN 007"}));
    EXPECT_EQ(walk.Position, 19);
}

} // namespace
