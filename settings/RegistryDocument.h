#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A value as the registry holds it: its type code and its raw bytes.
struct RegistryValue {
    std::uint32_t Type = 0;
    std::vector<std::uint8_t> Data;

    bool operator==(const RegistryValue&) const = default;
};

// The settings file in the registry's REGEDIT4 export form. The document keeps the file's
// lines as they are, so that keys, values and lines it does not understand survive every
// rewrite; only the line of a value that is set is replaced or added.
class RegistryDocument {
public:
    static RegistryDocument Parse(std::string_view fileBytes);
    std::string Serialize() const;

    // A key exists when it, or any key below it, has a section.
    bool HasKey(std::string_view keyPath) const;
    void AddKey(std::string_view keyPath);

    std::optional<RegistryValue> FindValue(std::string_view keyPath, std::string_view name) const;
    // Every value the file holds, as key path and name; a name set twice is there twice.
    std::vector<std::pair<std::string, std::string>> ValueNames() const;
    void SetValue(std::string_view keyPath, std::string_view name, const RegistryValue& value);

private:
    std::vector<std::string> lines_; // logical lines: a continued hex value is one line

    std::size_t SectionEnd(std::size_t headerIndex) const;
};

// The line that stores a value, as written to the file.
std::string FormatValueLine(std::string_view name, const RegistryValue& value);

struct ParsedValueLine {
    std::string Name;
    RegistryValue Value;
};

// Reads a line of the form "Name"=data (or @=data); nothing for any other line.
std::optional<ParsedValueLine> ParseValueLine(std::string_view line);
