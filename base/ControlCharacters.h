#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Names that end up on a line of their own (a setting in the settings file, a reader in a
// list, a file named in a status line or the log) must not hold a control character: a line
// break would split them, others would garble the terminal.
inline bool IsControlByte(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value < 0x20 || value == 0x7F;
}

// Where the first control character of the bytes stands; none when there is none.
inline std::optional<std::size_t> FirstControlCharacter(std::string_view bytes) {
    const auto found = std::find_if(bytes.begin(), bytes.end(), IsControlByte);
    if (found == bytes.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - bytes.begin());
}

// The bytes with every control character as '?', for a line that shows a name that holds some.
inline std::string ControlCharactersShown(std::string_view bytes) {
    std::string shown(bytes);
    std::replace_if(shown.begin(), shown.end(), IsControlByte, '?');
    return shown;
}
