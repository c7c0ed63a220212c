#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// Card memory as the system sees it: card address n is CardBuffer index n. The extra last
// byte (index 32768) never receives card data.
constexpr std::int32_t CardMemorySize = 32768;
using CardBuffer = std::array<std::uint8_t, CardMemorySize + 1>;

// A read takes the card block by block: at most this many.
constexpr std::int32_t CardBlockSize = 64;
constexpr std::int32_t CardBlocks = CardMemorySize / CardBlockSize;

constexpr std::string_view ApplicationText = "OSTRIVAN 007";

// Builds the empty-card image (Card item, Application item, end marker) into bytes 0 to 18
// of the buffer and returns the number of bytes to write at card address 0.
std::int32_t BuildEmptyCardImage(CardBuffer& buffer);
