#pragma once

#include <cstdint>
#include <string_view>

// The error message of a card-reader library code; empty for codes outside 32 to 49.
std::string_view CardErrorMessage(std::int32_t code);
