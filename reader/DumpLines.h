#pragma once

#include <cstdint>
#include <span>
#include <string>

// "Card[" + the block address as "00 000" + "]=": five digits, a blank after the second.
std::string DumpPrefix(std::int32_t blockAddress);

// The status-list line of a block: its first 16 bytes, the characters 0 to z shown as
// themselves followed by a blank, every other byte as two hexadecimal digits.
std::string BlockLine(std::int32_t blockAddress, std::span<const std::uint8_t> block);

// The log line of a block: every byte as two hexadecimal digits.
std::string BlockLogLine(std::int32_t blockAddress, std::span<const std::uint8_t> block);
