#include "card/CardImage.h"

#include "card/CardTags.h"

std::int32_t BuildEmptyCardImage(CardBuffer& buffer) {
    const auto textLength = static_cast<std::int32_t>(ApplicationText.size());
    std::int32_t at = 0;
    buffer[at++] = TagCard;
    buffer[at++] = 1;
    buffer[at++] = 0x20;
    buffer[at++] = TagApplication;
    buffer[at++] = static_cast<std::uint8_t>(textLength);
    for (const char character : ApplicationText) {
        buffer[at++] = static_cast<std::uint8_t>(character);
    }
    buffer[at++] = TagEnd;
    buffer[at++] = 0;
    return textLength + 7;
}
