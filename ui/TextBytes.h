#pragma once

#include "card/CodePage.h"

#include <QString>
#include <string>
#include <string_view>

// Where the window's text meets the system's code-page bytes.
inline QString FromCodePage(std::string_view bytes) {
    const std::u32string text = codepage::Decode(bytes);
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::u32string Characters(const QString& text) {
    const auto characters = text.toUcs4();
    return {reinterpret_cast<const char32_t*>(characters.data()),
            static_cast<std::size_t>(characters.size())};
}

inline std::string ToCodePage(const QString& text) {
    return codepage::Encode(Characters(text));
}
