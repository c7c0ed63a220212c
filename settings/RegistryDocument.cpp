#include "settings/RegistryDocument.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::string_view FileHeader = "REGEDIT4";
constexpr std::string_view LineEnd = "\r\n";

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

std::optional<std::string_view> SectionKey(std::string_view line) {
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') {
        return std::nullopt;
    }
    return line.substr(1, line.size() - 2);
}

bool IsKeyOrBelow(std::string_view section, std::string_view keyPath) {
    if (section.size() == keyPath.size()) {
        return EqualsIgnoringCase(section, keyPath);
    }
    return section.size() > keyPath.size() && section[keyPath.size()] == '\\' &&
           EqualsIgnoringCase(section.substr(0, keyPath.size()), keyPath);
}

// Reads a quoted text with \\ and \" escapes; advances pos past the closing quote.
std::optional<std::string> ReadQuoted(std::string_view line, std::size_t& pos) {
    if (pos >= line.size() || line[pos] != '"') {
        return std::nullopt;
    }
    std::string text;
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '"') {
            ++pos;
            return text;
        }
        if (c == '\\') {
            if (++pos >= line.size()) {
                return std::nullopt;
            }
            c = line[pos];
        }
        text.push_back(c);
    }
    return std::nullopt;
}

std::string Quote(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted.push_back('\\');
        }
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = LowerAscii(c);
    return (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
}

std::optional<std::uint32_t> ParseHexNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t number = 0;
    for (const char c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        number = number * 16 + static_cast<std::uint32_t>(digit);
    }
    return number;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Reads "xx,xx,..." where a backslash at the end of a physical line continues the list.
std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    std::string digits;
    auto flush = [&]() {
        if (digits.empty()) {
            return true;
        }
        const auto value = ParseHexNumber(digits);
        if (digits.size() > 2 || !value) {
            return false;
        }
        bytes.push_back(static_cast<std::uint8_t>(*value));
        digits.clear();
        return true;
    };
    for (const char c : text) {
        if (c == ',') {
            if (digits.empty() || !flush()) {
                return std::nullopt;
            }
        } else if (IsBlank(c) || c == '\\') {
            continue;
        } else {
            digits.push_back(c);
        }
    }
    if (!flush()) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<RegistryValue> ParseData(std::string_view data) {
    if (!data.empty() && data.front() == '"') {
        std::size_t pos = 0;
        auto text = ReadQuoted(data, pos);
        if (!text || pos != data.size()) {
            return std::nullopt;
        }
        RegistryValue value{1, {text->begin(), text->end()}};
        value.Data.push_back(0);
        return value;
    }
    constexpr std::string_view Dword = "dword:";
    if (data.starts_with(Dword)) {
        const auto number = ParseHexNumber(data.substr(Dword.size()));
        if (!number) {
            return std::nullopt;
        }
        RegistryValue value{4, {}};
        for (int shift = 0; shift < 32; shift += 8) {
            value.Data.push_back(static_cast<std::uint8_t>(*number >> shift));
        }
        return value;
    }
    std::uint32_t type = 3;
    std::size_t bytesStart = 0;
    if (data.starts_with("hex:")) {
        bytesStart = 4;
    } else if (data.starts_with("hex(")) {
        const std::size_t close = data.find("):");
        const auto number = close == std::string_view::npos
                                ? std::nullopt
                                : ParseHexNumber(data.substr(4, close - 4));
        if (!number) {
            return std::nullopt;
        }
        type = *number;
        bytesStart = close + 2;
    } else {
        return std::nullopt;
    }
    auto bytes = ParseHexBytes(data.substr(bytesStart));
    if (!bytes) {
        return std::nullopt;
    }
    return RegistryValue{type, std::move(*bytes)};
}

bool IsPlainText(const RegistryValue& value) {
    if (value.Type != 1 || value.Data.empty() || value.Data.back() != 0) {
        return false;
    }
    return std::all_of(value.Data.begin(), value.Data.end() - 1,
                       [](std::uint8_t b) { return b >= 0x20; });
}

std::string FormatData(const RegistryValue& value) {
    if (IsPlainText(value)) {
        return Quote({reinterpret_cast<const char*>(value.Data.data()), value.Data.size() - 1});
    }
    char buffer[32];
    if (value.Type == 4 && value.Data.size() == 4) {
        const std::uint32_t number = value.Data[0] | value.Data[1] << 8 | value.Data[2] << 16 |
                                     static_cast<std::uint32_t>(value.Data[3]) << 24;
        std::snprintf(buffer, sizeof buffer, "dword:%08x", number);
        return buffer;
    }
    std::string text = "hex";
    if (value.Type != 3) {
        std::snprintf(buffer, sizeof buffer, "(%x)", value.Type);
        text += buffer;
    }
    text.push_back(':');
    for (std::size_t i = 0; i < value.Data.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, i == 0 ? "%02x" : ",%02x", value.Data[i]);
        text += buffer;
    }
    return text;
}

bool ContinuesOnNextLine(std::string_view line) {
    const std::size_t equals = line.find('=');
    return !line.empty() && line.back() == '\\' && equals != std::string_view::npos &&
           line.substr(equals + 1).starts_with("hex");
}

} // namespace

std::optional<ParsedValueLine> ParseValueLine(std::string_view line) {
    ParsedValueLine parsed;
    std::size_t pos = 0;
    if (line.starts_with('@')) {
        pos = 1;
    } else {
        auto name = ReadQuoted(line, pos);
        if (!name) {
            return std::nullopt;
        }
        parsed.Name = std::move(*name);
    }
    if (pos >= line.size() || line[pos] != '=') {
        return std::nullopt;
    }
    auto value = ParseData(line.substr(pos + 1));
    if (!value) {
        return std::nullopt;
    }
    parsed.Value = std::move(*value);
    return parsed;
}

std::string FormatValueLine(std::string_view name, const RegistryValue& value) {
    return Quote(name) + "=" + FormatData(value);
}

RegistryDocument RegistryDocument::Parse(std::string_view fileBytes) {
    RegistryDocument document;
    bool continuing = false;
    while (!fileBytes.empty()) {
        const std::size_t end = fileBytes.find('\n');
        std::string_view line = fileBytes.substr(0, end);
        fileBytes.remove_prefix(end == std::string_view::npos ? fileBytes.size() : end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (continuing) {
            document.lines_.back().append(LineEnd).append(line);
        } else {
            document.lines_.emplace_back(line);
        }
        continuing = ContinuesOnNextLine(document.lines_.back());
    }
    return document;
}

std::string RegistryDocument::Serialize() const {
    std::string file;
    if (lines_.empty() || lines_.front() != FileHeader) {
        file.append(FileHeader).append(LineEnd).append(LineEnd);
    }
    for (const std::string& line : lines_) {
        file.append(line).append(LineEnd);
    }
    return file;
}

bool RegistryDocument::HasKey(std::string_view keyPath) const {
    return std::any_of(lines_.begin(), lines_.end(), [&](const std::string& line) {
        const auto key = SectionKey(line);
        return key && IsKeyOrBelow(*key, keyPath);
    });
}

void RegistryDocument::AddKey(std::string_view keyPath) {
    for (const std::string& line : lines_) {
        const auto key = SectionKey(line);
        if (key && EqualsIgnoringCase(*key, keyPath)) {
            return;
        }
    }
    if (!lines_.empty() && !lines_.back().empty()) {
        lines_.emplace_back();
    }
    std::string header(1, '[');
    header.append(keyPath).push_back(']');
    lines_.push_back(std::move(header));
}

std::size_t RegistryDocument::SectionEnd(std::size_t headerIndex) const {
    std::size_t end = headerIndex + 1;
    while (end < lines_.size() && !SectionKey(lines_[end])) {
        ++end;
    }
    return end;
}

std::optional<RegistryValue> RegistryDocument::FindValue(std::string_view keyPath,
                                                         std::string_view name) const {
    // As when the file is imported, the last line of a name wins.
    std::optional<RegistryValue> found;
    bool inKey = false;
    for (const std::string& line : lines_) {
        if (const auto key = SectionKey(line)) {
            inKey = EqualsIgnoringCase(*key, keyPath);
        } else if (inKey) {
            auto parsed = ParseValueLine(line);
            if (parsed && EqualsIgnoringCase(parsed->Name, name)) {
                found = std::move(parsed->Value);
            }
        }
    }
    return found;
}

std::vector<std::pair<std::string, std::string>> RegistryDocument::ValueNames() const {
    std::vector<std::pair<std::string, std::string>> names;
    std::optional<std::string_view> key;
    for (const std::string& line : lines_) {
        if (const auto section = SectionKey(line)) {
            key = section;
        } else if (const auto parsed = key ? ParseValueLine(line) : std::nullopt) {
            names.emplace_back(*key, parsed->Name);
        }
    }
    return names;
}

void RegistryDocument::SetValue(std::string_view keyPath, std::string_view name,
                                const RegistryValue& value) {
    const std::string newLine = FormatValueLine(name, value);
    std::optional<std::size_t> lastSectionEnd;
    std::optional<std::size_t> replaced;
    bool inKey = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (const auto key = SectionKey(lines_[i])) {
            inKey = EqualsIgnoringCase(*key, keyPath);
            if (inKey) {
                lastSectionEnd = SectionEnd(i);
            }
            continue;
        }
        const auto parsed = inKey ? ParseValueLine(lines_[i]) : std::nullopt;
        if (parsed && EqualsIgnoringCase(parsed->Name, name)) {
            // Every older line of the name goes, so that the new one is the only one.
            lines_[i] = newLine;
            if (replaced) {
                lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*replaced));
                --i;
                --*lastSectionEnd;
            }
            replaced = i;
        }
    }
    if (replaced) {
        return;
    }
    if (!lastSectionEnd) {
        AddKey(keyPath);
        lines_.push_back(newLine);
        return;
    }
    std::size_t at = *lastSectionEnd;
    while (at > 0 && lines_[at - 1].empty()) {
        --at; // keep the blank lines that separate sections after the new value
    }
    if (at > 0 && ContinuesOnNextLine(lines_[at - 1])) {
        // A file may end in a value continued onto a line that never came: give it that line,
        // or it would take the new value in as its own.
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at++), std::string());
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), newLine);
}
