// Any bytes as a card written as text, the one input a person writes by hand: it becomes a card
// image, always the same for the same text, or a one-line reason that names its line and quotes
// a bounded part of it.

#include "card/CardDescription.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const CardDescription card = CardFromDescription(text);
    if (card.image == nullptr) {
        // "line N: ", a reason of a few words, at most 80 quoted characters of up to four bytes
        // each, and "...".
        constexpr std::size_t LongestReason = 48 + 80 * 4 + 3;
        if (!card.error.starts_with("line ") || card.error.size() > LongestReason ||
            card.error.find('\n') != std::string::npos) {
            std::abort();
        }
        return 0;
    }
    const CardDescription again = CardFromDescription(text);
    if (!card.error.empty() || again.image == nullptr || *again.image != *card.image) {
        std::abort();
    }
    return 0;
}
