#include "card/CodePage.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>
#include <utf8.h>

namespace codepage {
namespace {

// Characters of bytes 0x80 to 0x9F; every other byte is the character of the same value.
constexpr std::array<char32_t, 32> HighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr std::uint8_t RangeStart = 0x80;
constexpr std::uint8_t RangeEnd = 0x9F;

} // namespace

char32_t ToUnicode(std::uint8_t byte) {
    if (byte >= RangeStart && byte <= RangeEnd) {
        return HighControlRange[byte - RangeStart];
    }
    return byte;
}

std::uint8_t FromUnicode(char32_t character) {
    if (character <= 0xFF && (character < RangeStart || character > RangeEnd)) {
        return static_cast<std::uint8_t>(character);
    }
    const auto* found = std::find(HighControlRange.begin(), HighControlRange.end(), character);
    if (found == HighControlRange.end()) {
        return '?';
    }
    return static_cast<std::uint8_t>(RangeStart + (found - HighControlRange.begin()));
}

std::u32string Decode(std::string_view bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        text.push_back(ToUnicode(static_cast<std::uint8_t>(byte)));
    }
    return text;
}

std::string Encode(std::u32string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (const char32_t character : text) {
        bytes.push_back(static_cast<char>(FromUnicode(character)));
    }
    return bytes;
}

std::string FromUtf8(std::string_view text) {
    std::string valid;
    utf8::replace_invalid(text.begin(), text.end(), std::back_inserter(valid));
    std::u32string characters;
    utf8::utf8to32(valid.begin(), valid.end(), std::back_inserter(characters));
    return Encode(characters);
}

std::string ToUtf8(std::string_view text) {
    const std::u32string characters = Decode(text);
    std::string utf8;
    utf8::utf32to8(characters.begin(), characters.end(), std::back_inserter(utf8));
    return utf8;
}

std::string FromSystemName(std::string_view name) {
    return utf8::is_valid(name.begin(), name.end()) ? FromUtf8(name) : std::string(name);
}

std::optional<char32_t> FirstUnstorable(std::u32string_view text) {
    const auto* found = std::find_if(text.begin(), text.end(), [](char32_t character) {
        return character != '?' && FromUnicode(character) == '?';
    });
    return found == text.end() ? std::nullopt : std::optional(*found);
}

std::optional<char32_t> FirstUnstorable(std::string_view utf8) {
    std::string valid;
    utf8::replace_invalid(utf8.begin(), utf8.end(), std::back_inserter(valid), 0xFFFD);
    std::u32string characters;
    utf8::utf8to32(valid.begin(), valid.end(), std::back_inserter(characters));
    return FirstUnstorable(characters);
}

std::uint8_t FoldCase(std::uint8_t byte) {
    // Capitals and their small letters, where both are in the code page.
    static constexpr std::pair<std::uint8_t, std::uint8_t> HighPairs[] = {
        {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8E, 0x9E}, {0x9F, 0xFF}};
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7)) {
        return static_cast<std::uint8_t>(byte + 0x20);
    }
    for (const auto& [capital, small] : HighPairs) {
        if (byte == capital) {
            return small;
        }
    }
    return byte;
}

bool IsBlank(std::uint8_t byte) {
    return byte == ' ' || byte == '\t' || byte == 0xA0;
}

std::string CharacterCode(char32_t character) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
    return code;
}

} // namespace codepage
