#pragma once

#include <cstdint>
#include <string>

// A number as the system shows it in cells and messages: a blank where a minus sign would
// stand, then the digits. Negative numbers show their minus sign instead of the blank.
inline std::string BlankLedNumber(std::int64_t number) {
    return number < 0 ? std::to_string(number) : " " + std::to_string(number);
}
