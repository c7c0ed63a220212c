#include "card/CsvText.h"

#include <algorithm>
#include <charconv>

namespace {

bool BreaksTheLine(char c) {
    return c == ',' || c == '"' || c == '\r' || c == '\n';
}

} // namespace

void AppendCsvCell(std::string& line, std::string_view value) {
    if (std::none_of(value.begin(), value.end(), BreaksTheLine)) {
        line.append(value);
    } else {
        line.push_back('"');
        for (const char c : value) {
            if (c == '"') {
                line.push_back('"');
            }
            line.push_back(c);
        }
        line.push_back('"');
    }
    line.push_back(',');
}

std::string CsvLine(std::span<const std::string_view> cells, CsvCommas commas) {
    std::string line;
    line.reserve(128);
    for (const std::string_view cell : cells) {
        AppendCsvCell(line, cell);
    }
    if (commas == CsvCommas::BetweenCells && !line.empty()) {
        line.pop_back();
    }
    line.append("\r\n");
    return line;
}

std::optional<std::int64_t> PlainNumber(std::string_view cell) {
    const auto start = cell.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view digits = cell.substr(start, cell.find_last_not_of(' ') - start + 1);
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return number;
}

std::optional<double> PlainDecimal(std::string_view cell) {
    if (const auto whole = PlainNumber(cell)) {
        return static_cast<double>(*whole);
    }
    // Digits on both sides of one point, blanks around them as a plain number may have.
    const auto start = cell.find_first_not_of(' ');
    const std::string_view text = start == std::string_view::npos
                                      ? ""
                                      : cell.substr(start, cell.find_last_not_of(' ') + 1 - start);
    const auto point = text.find('.');
    const std::string_view decimals = point == std::string_view::npos ? "" : text.substr(point + 1);
    if (decimals.empty() || decimals.find_first_not_of("0123456789") != std::string_view::npos ||
        !PlainNumber(text.substr(0, point))) {
        return std::nullopt;
    }
    double number = 0;
    std::from_chars(text.data(), text.data() + text.size(), number);
    return number;
}

std::string TimeStampDigits(std::uint8_t byte) {
    constexpr char Digits[] = "0123456789ABCDEF";
    const char high = Digits[byte >> 4];
    const char low = Digits[byte & 0x0F];
    const bool allDecimal = (byte >> 4) < 10 && (byte & 0x0F) < 10;
    if (allDecimal) {
        return {high, low};
    }
    if (high == '0') {
        return {low};
    }
    return {high, low};
}
