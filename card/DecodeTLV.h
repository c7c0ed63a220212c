#pragma once

#include "card/CardImage.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

// One decoded card item. Bytes beyond Length are never written by the decoder, so they keep
// what earlier items of the same walk left there.
struct TLVItem {
    std::uint8_t Tag = 0;
    std::int16_t Length = 0;
    std::array<std::uint8_t, 33> Bytes{};
    std::string Text;         // one code-page character per value byte
    std::uint32_t Number = 0; // the first one to four value bytes, big-endian
};

// Decodes the item whose tag stands at pos. Returns the position of the next item, or 0 while
// the item, and the byte after it, do not yet lie within the first validCount bytes.
// Throws RuntimeError for a value longer than the 33 bytes an item can hold.
std::int16_t DecodeTLV(const CardBuffer& buffer, std::int32_t validCount, std::int32_t pos,
                       TLVItem& item);

// The walk over a card's items while it is being read block by block; kept for a whole
// exchange, so that an item cut by a block boundary is decoded once its rest has arrived.
struct ItemWalk {
    std::int32_t Position = 0;
    bool EndFound = false;
    TLVItem Item;
};

using ItemHandler = std::function<void(const TLVItem&)>;

// Decodes every complete item below validCount, handing each one but the end marker to
// onItem, until the end marker is found or the bytes run out.
void WalkItems(const CardBuffer& buffer, std::int32_t validCount, ItemWalk& walk,
               const ItemHandler& onItem);
