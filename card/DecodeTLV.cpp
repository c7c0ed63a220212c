#include "card/DecodeTLV.h"

#include "base/RuntimeError.h"
#include "card/CardTags.h"

#include <algorithm>

std::int16_t DecodeTLV(const CardBuffer& buffer, std::int32_t validCount, std::int32_t pos,
                       TLVItem& item) {
    validCount = std::min(validCount, static_cast<std::int32_t>(buffer.size()));
    if (pos < 0 || pos + 1 >= validCount) {
        return 0;
    }
    item.Tag = buffer[pos];
    item.Length = buffer[pos + 1];
    const std::int32_t next = pos + 2 + item.Length;
    // The byte after the value, where the next tag would stand, must have been read too.
    if (next >= validCount) {
        return 0;
    }
    item.Number = 0;
    item.Text.clear();
    for (std::int32_t i = 0; i < item.Length; ++i) {
        if (i >= static_cast<std::int32_t>(item.Bytes.size())) {
            throw RuntimeError("Subscript out of range");
        }
        const std::uint8_t byte = buffer[pos + 2 + i];
        item.Bytes[i] = byte;
        item.Text.push_back(static_cast<char>(byte));
        if (i < 4) {
            item.Number = item.Number * 256 + byte;
        }
    }
    return static_cast<std::int16_t>(next);
}

void WalkItems(const CardBuffer& buffer, std::int32_t validCount, ItemWalk& walk,
               const ItemHandler& onItem) {
    while (walk.Position < validCount && !walk.EndFound) {
        const std::int16_t next = DecodeTLV(buffer, validCount, walk.Position, walk.Item);
        if (next == 0) {
            return;
        }
        walk.Position = next;
        if (walk.Item.Tag == TagEnd) {
            walk.EndFound = true;
        } else {
            onItem(walk.Item);
        }
    }
}
