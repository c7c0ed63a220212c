#include "settings/registry_mdl.h"

#include "base/RuntimeError.h"

#include <charconv>
#include <cstring>
#include <vector>

namespace {

constexpr std::int32_t UnsupportedType = -1;

std::int32_t ToNumber(const SettingValue& value) {
    if (const auto* number = std::get_if<std::int32_t>(&value)) {
        return *number;
    }
    const auto* text = std::get_if<std::string>(&value);
    if (text == nullptr || text->empty()) {
        return 0;
    }
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), number);
    if (error != std::errc() || end != text->data() + text->size()) {
        throw RuntimeError("Type mismatch");
    }
    return number;
}

} // namespace

std::string SettingText(const SettingValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (const auto* number = std::get_if<std::int32_t>(&value)) {
        return std::to_string(*number);
    }
    return {};
}

void registry_mdl::SaveRegistrySetting(HKEY root, std::string_view subKey, std::string_view name,
                                       const SettingValue& value, std::uint32_t type) {
    HKEY key = 0;
    registry_.CreateKey(root, subKey, key);
    WriteRegistryValue(key, name, type, value);
    registry_.CloseKey(key);
}

SettingValue registry_mdl::LoadRegistrySetting(HKEY root, std::string_view subKey,
                                               std::string_view name) {
    HKEY key = 0;
    registry_.OpenKey(root, subKey, key);
    SettingValue value;
    ReadRegistryValue(key, name, value);
    registry_.CloseKey(key);
    return value;
}

bool registry_mdl::IsRegistrySettingPresent(HKEY root, std::string_view subKey,
                                            std::string_view name) {
    HKEY key = 0;
    registry_.OpenKey(root, subKey, key);
    SettingValue value;
    const std::int32_t status = ReadRegistryValue(key, name, value);
    registry_.CloseKey(key);
    return status == RegistryResult::Success || status == UnsupportedType ||
           status == RegistryResult::MoreData;
}

std::int32_t registry_mdl::WriteRegistryValue(HKEY key, std::string_view name, std::uint32_t type,
                                              const SettingValue& value) {
    if (type == REG_SZ) {
        const std::string text = SettingText(value);
        std::vector<std::uint8_t> data(text.begin(), text.end());
        data.push_back(0);
        return registry_.SetValue(key, name, REG_SZ, data);
    }
    if (type == REG_DWORD) {
        const std::int32_t number = ToNumber(value);
        std::uint8_t data[4];
        std::memcpy(data, &number, sizeof data);
        return registry_.SetValue(key, name, REG_DWORD, data);
    }
    return RegistryResult::Success;
}

std::int32_t registry_mdl::ReadRegistryValue(HKEY key, std::string_view name, SettingValue& value) {
    // Nothing that goes wrong while reading leaves this procedure: it becomes the status.
    std::int32_t status = RegistryResult::Success;
    try {
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        status = registry_.QueryValue(key, name, type, {}, size);
        if (status != RegistryResult::Success) {
            return status;
        }
        if (type == REG_SZ) {
            return status = ReadText(key, name, size, value);
        }
        if (type == REG_DWORD) {
            return status = ReadNumber(key, name, size, value);
        }
        return UnsupportedType;
    } catch (const std::exception&) {
        return status;
    }
}

std::int32_t registry_mdl::ReadText(HKEY key, std::string_view name, std::uint32_t size,
                                    SettingValue& value) {
    std::vector<std::uint8_t> buffer(size, 0);
    std::uint32_t type = 0;
    const std::int32_t status = registry_.QueryValue(key, name, type, buffer, size);
    if (status != RegistryResult::Success) {
        value = std::monostate{};
        return status;
    }
    // The last byte delivered is taken to be the terminating NUL.
    const std::size_t length = size == 0 ? 0 : size - 1;
    value = std::string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(length));
    return status;
}

std::int32_t registry_mdl::ReadNumber(HKEY key, std::string_view name, std::uint32_t size,
                                      SettingValue& value) {
    std::uint8_t data[4] = {};
    std::uint32_t type = 0;
    if (size > sizeof data) {
        return RegistryResult::MoreData;
    }
    const std::int32_t status =
        registry_.QueryValue(key, name, type, std::span<std::uint8_t>(data, size), size);
    if (status == RegistryResult::Success) {
        std::int32_t number = 0;
        std::memcpy(&number, data, sizeof number);
        value = number;
    }
    return status;
}
