#include "tests/support/FarmCard.h"

#include <algorithm>

namespace {

std::uint8_t Bcd(int value) {
    return static_cast<std::uint8_t>((value / 10) << 4 | value % 10);
}

std::vector<std::uint8_t> Stamp(int n) {
    return {Bcd(24), Bcd(1 + n % 12), Bcd(1 + n % 28), Bcd(n % 24), Bcd(n % 60), Bcd((n * 7) % 60)};
}

std::string TagNumber(int n) {
    return "IE" + std::to_string(1000000 + n * 37);
}

void AddRecords(CardBuilder& card, int n) {
    switch (n % 4) {
    case 0:
    case 1:
        card.Text(TagDraft, TagNumber(n))
            .Item(TagTimeStamp, Stamp(n))
            .Item(TagNumberField,
                  {static_cast<std::uint8_t>(1 + n % 3), static_cast<std::uint8_t>(n)})
            .Item(TagNumberField, {static_cast<std::uint8_t>(n % 9)});
        break;
    case 2:
        card.Item(n % 8 == 2 ? TagOrigin : TagReceiver,
                  {0x00, 0x01, static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)})
            .Item(TagTimeStamp, Stamp(n))
            .Text(TagTextField, "LOC" + std::to_string(n % 50));
        for (int group = 1; group <= 3; ++group) {
            card.Text(TagTagNumber, TagNumber(n + group)).Item(TagTimeStamp, Stamp(n + group));
        }
        break;
    default:
        card.Text(TagLocation, "LOC" + std::to_string(n % 50))
            .Text(TagTextField, "Pen " + std::to_string(n % 12));
        break;
    }
}

constexpr std::int32_t LargestItem = 35;
constexpr std::uint8_t FillerTag = 0x05;

void PadTo(CardBuilder& card, std::int32_t address) {
    while (address - card.Length() >= 2) {
        std::int32_t size = std::min(address - card.Length() - 2, LargestItem - 2);
        if (address - card.Length() - 2 - size == 1) {
            --size; // never leave a single byte, which no item can fill
        }
        card.Item(FillerTag, std::vector<std::uint8_t>(static_cast<std::size_t>(size), 0));
    }
}

} // namespace

CardBuilder FarmCard(std::int32_t endAddress) {
    CardBuilder card;
    card.Item(TagCard, {0x20}).Text(TagApplication, "OSTRIVAN 007");
    card.Text(TagDevice, "GATE-04").Item(TagTimeStamp, Stamp(0)).Text(TagTextField, "v2.1");
    constexpr std::int32_t LongestRecords = 140;
    for (int n = 1; card.Length() + LongestRecords < endAddress; ++n) {
        AddRecords(card, n);
    }
    PadTo(card, endAddress);
    card.End();
    return card;
}
