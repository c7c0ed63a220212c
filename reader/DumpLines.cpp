#include "reader/DumpLines.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::size_t BlockLineBytes = 16;

void AppendHex(std::string& line, std::uint8_t byte) {
    constexpr char Digits[] = "0123456789ABCDEF";
    line.push_back(Digits[byte >> 4]);
    line.push_back(Digits[byte & 0x0F]);
}

} // namespace

std::string DumpPrefix(std::int32_t blockAddress) {
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "Card[%02d %03d]=", blockAddress / 1000,
                  blockAddress % 1000);
    return prefix;
}

std::string BlockLine(std::int32_t blockAddress, std::span<const std::uint8_t> block) {
    std::string line = DumpPrefix(blockAddress);
    for (const std::uint8_t byte : block.first(std::min(block.size(), BlockLineBytes))) {
        if (byte >= '0' && byte <= 'z') {
            line.push_back(static_cast<char>(byte));
            line.push_back(' ');
        } else {
            AppendHex(line, byte);
        }
    }
    return line;
}

std::string BlockLogLine(std::int32_t blockAddress, std::span<const std::uint8_t> block) {
    std::string line = DumpPrefix(blockAddress);
    for (const std::uint8_t byte : block) {
        AppendHex(line, byte);
    }
    return line;
}
