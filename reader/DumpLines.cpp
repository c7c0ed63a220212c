#include "reader/DumpLines.h"

#include "report/NumberText.h"

#include <algorithm>

namespace {

constexpr std::size_t BlockLineBytes = 16;
constexpr std::size_t CellWidth = 2;

// Writes the byte's two hexadecimal digits where the cell stands.
void PutHex(char* cell, std::uint8_t byte) {
    constexpr char Digits[] = "0123456789ABCDEF";
    cell[0] = Digits[byte >> 4];
    cell[1] = Digits[byte & 0x0F];
}

// The prefix and room for a cell per byte; every line is the same length for its bytes.
std::string LineFor(std::int32_t blockAddress, std::size_t cells) {
    std::string line = DumpPrefix(blockAddress);
    line.resize(line.size() + cells * CellWidth);
    return line;
}

} // namespace

std::string DumpPrefix(std::int32_t blockAddress) {
    const auto address = static_cast<std::uint32_t>(blockAddress);
    std::string prefix = "Card[";
    AppendZeroPadded(prefix, address / 1000, 2);
    prefix.push_back(' ');
    AppendZeroPadded(prefix, address % 1000, 3);
    return prefix.append("]=");
}

std::string BlockLine(std::int32_t blockAddress, std::span<const std::uint8_t> block) {
    const auto shown = block.first(std::min(block.size(), BlockLineBytes));
    std::string line = LineFor(blockAddress, shown.size());
    char* cell = line.data() + line.size() - shown.size() * CellWidth;
    for (const std::uint8_t byte : shown) {
        if (byte >= '0' && byte <= 'z') {
            cell[0] = static_cast<char>(byte);
            cell[1] = ' ';
        } else {
            PutHex(cell, byte);
        }
        cell += CellWidth;
    }
    return line;
}

std::string BlockLogLine(std::int32_t blockAddress, std::span<const std::uint8_t> block) {
    std::string line = LineFor(blockAddress, block.size());
    char* cell = line.data() + line.size() - block.size() * CellWidth;
    for (const std::uint8_t byte : block) {
        PutHex(cell, byte);
        cell += CellWidth;
    }
    return line;
}
