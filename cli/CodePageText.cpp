#include "cli/CodePageText.h"

#include "card/CodePage.h"

#include <iterator>
#include <utf8.h>

std::string NotInCodePage(std::string_view what, std::string_view text, std::string_view holder) {
    const auto character = codepage::FirstUnstorable(text);
    if (!character) {
        return {};
    }
    std::string shown;
    if (*character == 0xFFFD) {
        shown = "a byte that is not UTF-8";
    } else {
        utf8::append(static_cast<std::uint32_t>(*character), std::back_inserter(shown));
        shown += " (" + codepage::CharacterCode(*character) + ")";
    }
    return "the " + std::string(what) + " holds " + shown + ", which " + std::string(holder) +
           " cannot hold";
}
