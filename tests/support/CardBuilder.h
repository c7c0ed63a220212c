#pragma once

#include "card/CardImage.h"
#include "card/CardTags.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Builds card images item by item; memory beyond the items is erased (0xFF).
class CardBuilder {
public:
    CardBuilder() { image_->fill(0xFF); }

    CardBuilder& Item(std::uint8_t tag, const std::vector<std::uint8_t>& value) {
        (*image_)[static_cast<std::size_t>(length_++)] = tag;
        (*image_)[static_cast<std::size_t>(length_++)] = static_cast<std::uint8_t>(value.size());
        for (const std::uint8_t byte : value) {
            (*image_)[static_cast<std::size_t>(length_++)] = byte;
        }
        return *this;
    }
    CardBuilder& Text(std::uint8_t tag, const std::string& text) {
        return Item(tag, std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    CardBuilder& End() { return Item(TagEnd, {}); }

    // A card item, then empty tag numbers up to the address, then the end marker.
    static CardBuilder TagNumbersUpTo(std::int32_t address) {
        CardBuilder card;
        card.Item(TagCard, {1});
        while (card.Length() < address) {
            card.Text(TagTagNumber, "A");
        }
        return std::move(card.End());
    }

    // Moves the place of the next item.
    CardBuilder& At(std::int32_t address) {
        length_ = address;
        return *this;
    }

    CardBuffer& Image() { return *image_; }
    const CardBuffer& Image() const { return *image_; }
    std::int32_t Length() const { return length_; }

private:
    std::unique_ptr<CardBuffer> image_ = std::make_unique<CardBuffer>();
    std::int32_t length_ = 0;
};
