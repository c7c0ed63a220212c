#pragma once

#include "settings/Registry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

// A setting as callers see it: a text, a 32-bit number, or empty (absent or unreadable).
using SettingValue = std::variant<std::monostate, std::string, std::int32_t>;

// Empty reads as the empty text, a number as its decimal digits.
std::string SettingText(const SettingValue& value);

constexpr std::string_view SettingsKey = "SOFTWARE\\Trelk\\Ostrivan";

// The settings module: whole settings moved in and out of the registry, one key opened and
// closed for every call. Registry failures are silent: a write that cannot be made is lost,
// a value that cannot be read is empty.
class registry_mdl {
public:
    explicit registry_mdl(Registry& registry) : registry_(registry) {}

    void SaveRegistrySetting(HKEY root, std::string_view subKey, std::string_view name,
                             const SettingValue& value, std::uint32_t type);
    SettingValue LoadRegistrySetting(HKEY root, std::string_view subKey, std::string_view name);
    // Whether the value exists at all, whatever it holds; one of an unsupported type counts.
    bool IsRegistrySettingPresent(HKEY root, std::string_view subKey, std::string_view name);

    std::int32_t WriteRegistryValue(HKEY key, std::string_view name, std::uint32_t type,
                                    const SettingValue& value);
    std::int32_t ReadRegistryValue(HKEY key, std::string_view name, SettingValue& value);

private:
    Registry& registry_;

    std::int32_t ReadText(HKEY key, std::string_view name, std::uint32_t size, SettingValue& value);
    std::int32_t ReadNumber(HKEY key, std::string_view name, std::uint32_t size,
                            SettingValue& value);
};
