#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The system's 8-bit code page: Windows-1252, with its five unassigned bytes (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) mapped to the C1 controls of the same value, so that every byte has a
// character and converts back to itself. Texts inside the system are kept as code-page
// bytes; these conversions are used only where text meets the window.
namespace codepage {

char32_t ToUnicode(std::uint8_t byte);

// A character the code page cannot hold becomes '?'.
std::uint8_t FromUnicode(char32_t character);

std::u32string Decode(std::string_view bytes);
std::string Encode(std::u32string_view text);

// UTF-8, the desktop's encoding of file names and terminals: as code-page text (what the code
// page cannot hold, or what is not UTF-8, becomes '?'), and made of code-page text.
std::string FromUtf8(std::string_view text);
std::string ToUtf8(std::string_view text);
inline std::string FromFileName(const std::filesystem::path& name) {
    return FromUtf8(name.native());
}
inline std::filesystem::path ToFileName(std::string_view text) {
    return ToUtf8(text);
}

// A name the system gave as bytes (a reader's, a file's) for a line of code-page text: UTF-8
// converted, so that it reaches a terminal or the window as it was; other bytes as they are.
std::string FromSystemName(std::string_view name);

// The first character of the UTF-8 text that the code page cannot hold (U+FFFD for bytes that
// are not UTF-8); none when it holds them all.
std::optional<char32_t> FirstUnstorable(std::string_view utf8);
std::optional<char32_t> FirstUnstorable(std::u32string_view text);

// The letter in one case, the small one, across the whole code page ('Ø' is 'ø', 'Š' is 'š');
// any other byte as it is.
std::uint8_t FoldCase(std::uint8_t byte);
// Whether the byte is a blank: the space, the tab or the no-break space.
bool IsBlank(std::uint8_t byte);

// "U+65E5": how a character is named where it cannot be shown.
std::string CharacterCode(char32_t character);

} // namespace codepage
