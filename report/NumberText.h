#pragma once

#include <charconv>
#include <cstdint>
#include <string>

// A number as the system shows it in cells and messages: a blank where a minus sign would
// stand, then the digits. Negative numbers show their minus sign instead of the blank.
inline std::string BlankLedNumber(std::int64_t number) {
    return number < 0 ? std::to_string(number) : " " + std::to_string(number);
}

// The decimal digits of a number that is not negative, with leading zeros up to the width.
inline void AppendZeroPadded(std::string& text, std::uint32_t number, std::size_t width) {
    char digits[10];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    const auto count = static_cast<std::size_t>(end - digits);
    text.append(width > count ? width - count : 0, '0').append(digits, count);
}
